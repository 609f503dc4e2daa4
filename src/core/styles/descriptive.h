#pragma once

#include <string>
#include <string_view>

namespace tovalo {

// A typed-answer question: the expected text, the case rule and the most
// characters the field takes.
struct DescriptiveAnswer {
    std::string expected;  // as stored: a trailing blank can never be typed back
    std::string
        caseRule;       // "on": case-sensitive, "off": A-Z ignore case; anything else: never right
    int maxLength = 0;  // 0: no limit
};

// The typed text, trimmed, against the expected text under the case rule.
bool judgeDescriptive(const DescriptiveAnswer& answer, std::string_view typed);

// What the field keeps of `typed`: its first `maxLength` characters (not
// bytes), all of it when there is no limit.
std::string limitTyped(std::string_view typed, int maxLength);

}  // namespace tovalo
