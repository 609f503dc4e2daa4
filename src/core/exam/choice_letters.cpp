#include "core/exam/choice_letters.h"

#include "core/text/cp932.h"

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
        std::string s;
        text::appendUtf8(s, 0xFF71 + slot - 1);
        return s;
    }
    return std::string(1, static_cast<char>('a' + slot - 1));
}

}  // namespace tovalo
