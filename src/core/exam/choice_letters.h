#pragma once

#include <string>
#include <string_view>

namespace tovalo {

// The label of choice slot 1..10 under a vendor's label style: "A" gives
// A..J, "ｱ" the half-width katakana ｱ..ｺ, anything else a..j.
std::string choiceLetter(int slot, std::string_view labelStyle);

}  // namespace tovalo
