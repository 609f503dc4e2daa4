#include "core/exam/choice_letters.h"

namespace tovalo {

std::string choiceLetter(int slot, std::string_view labelStyle) {
    if (slot < 1 || slot > 10) {
        return {};
    }
    if (labelStyle == "A") {
        return std::string(1, static_cast<char>('A' + slot - 1));
    }
    if (labelStyle == "ｱ") {
        // U+FF71 onwards: ｱ ｲ ｳ ｴ ｵ ｶ ｷ ｸ ｹ ｺ are consecutive code points.
        const char32_t cp = 0xFF71 + slot - 1;
        std::string s;
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
        return s;
    }
    return std::string(1, static_cast<char>('a' + slot - 1));
}

}  // namespace tovalo
