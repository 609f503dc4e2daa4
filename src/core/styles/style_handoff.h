#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/styles/answer_style.h"
#include "core/styles/connect.h"
#include "core/styles/descriptive.h"
#include "core/styles/panels.h"
#include "core/styles/picture_rect.h"

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

    // Graphic and click-picture styles: the target zones, groups a.. up to
    // the last one that is not blank.
    std::vector<PictureRect> zones;
    // Panel styles: group b lists the destination slots, group c the pieces.
    // (Not "slots", which Qt takes for a keyword.)
    std::vector<PanelItem> destinations;
    std::vector<PanelItem> pieces;
    // Typed-answer style: groups a, b and c.
    DescriptiveAnswer descriptive;
    // Connect style: groups a, b and c.
    ConnectLists connect;
    // The first data line that cannot be used as written; the question
    // cannot be answered then, and the window says why.
    std::optional<StyleDefect> defect;
};

// The hand-off of a question with these shown choices (slot 1 first) and
// figure paths.
StyleHandoff styleHandoff(AnswerStyle style, std::span<const std::string> shown,
                          const std::vector<std::string>& figurePaths);

// What the learner is told in place of the answer when the question's data
// lines cannot be used.
std::string defectNote(const StyleDefect& defect);

// What the learner is told in place of the answer when the question's
// figure (at `path`, empty when the question names none) cannot be read.
std::string unreadablePictureNote(std::string_view path, bool bitmapOnly = false);

}  // namespace tovalo
