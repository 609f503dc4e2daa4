#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovalo {

// A decimal integer as question and settings files hold it: leading blanks
// allowed, an optional sign, digits, nothing after them, within 32 bits.
std::optional<int> parseFileInteger(std::string_view text);

// "'%s' は整数ではありません" with the offending text.
std::string notAnIntegerMessage(std::string_view text);

}  // namespace tovalo
