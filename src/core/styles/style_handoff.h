#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "core/styles/answer_style.h"

namespace tovalo {

// What the exam screen hands to the window (or picture) of a special style
// for the question on screen. The exam records a right answer as a mark on
// one slot: AnswerSlot.
struct StyleHandoff {
    AnswerStyle style = AnswerStyle::Single;
    // Groups a..e: the last scanned shown choice that starts with the group
    // letter and "@", less the style's prefix. Empty when no slot gives one.
    std::array<std::string, 5> groups;
    // The slot of the last scanned shown choice that starts with "a@" (the
    // correct one, which the file lists first); 0 when there is none, and
    // then the question can never be answered right.
    int answerSlot = 0;
    // Figures 1 and 2 of the question, as far as the style takes them.
    std::array<std::string, 2> pictures;
};

// The hand-off of a question with these shown choices (slot 1 first) and
// figure paths.
StyleHandoff styleHandoff(AnswerStyle style, std::span<const std::string> shown,
                          const std::vector<std::string>& figurePaths);

}  // namespace tovalo
