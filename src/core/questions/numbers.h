#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovalo {

namespace detail {
std::optional<int> parseFileIntegerInFull(std::string_view text);
}

// A decimal integer as question and settings files hold it: leading blanks
// allowed, an optional sign, digits, nothing after them, within 32 bits.
// Nearly every number in a question file is a few bare digits, read here
// without a call.
inline std::optional<int> parseFileInteger(std::string_view text) {
    if (!text.empty() && text.size() <= 9) {
        int value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') {
                return detail::parseFileIntegerInFull(text);
            }
            value = value * 10 + (c - '0');
        }
        return value;
    }
    return detail::parseFileIntegerInFull(text);
}

// "'%s' は整数ではありません" with the offending text.
std::string notAnIntegerMessage(std::string_view text);

}  // namespace tovalo
