#include "core/styles/descriptive.h"

#include <algorithm>

#include "core/text/trim.h"

namespace tovalo {

namespace {

char lowerAtoZ(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool judgeDescriptive(const DescriptiveAnswer& answer, std::string_view typed) {
    typed = text::trim(typed);
    const std::string_view expected = answer.expected;
    if (answer.caseRule == "on") {
        return typed == expected;
    }
    if (answer.caseRule == "off") {
        // Only A-Z fold: full-width letters and other scripts compare as
        // they are, and a UTF-8 continuation byte is never in A-Z.
        return std::equal(typed.begin(), typed.end(), expected.begin(), expected.end(),
                          [](char a, char b) { return lowerAtoZ(a) == lowerAtoZ(b); });
    }
    return false;
}

std::string limitTyped(std::string_view typed, int maxLength) {
    if (maxLength <= 0) {
        return std::string(typed);
    }
    int characters = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto byte = static_cast<unsigned char>(typed[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == maxLength) {
            return std::string(typed.substr(0, i));
        }
    }
    return std::string(typed);
}

}  // namespace tovalo
