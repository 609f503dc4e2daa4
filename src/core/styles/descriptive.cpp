#include "core/styles/descriptive.h"

#include <algorithm>

#include "core/text/characters.h"
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
    return std::string(
        maxLength <= 0 ? typed : text::firstCharacters(typed, static_cast<std::size_t>(maxLength)));
}

}  // namespace tovalo
