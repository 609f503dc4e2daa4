#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/styles/answer_style.h"

namespace tovalo {

// A rectangle in picture pixels: (x1, y1) top-left, (x2, y2) bottom-right.
struct PictureRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const PictureRect&) const = default;
};

// One item of a panel list: a piece or a slot.
struct PanelItem {
    std::string text;  // as written after its "@": what the answer string uses (style 4)
    PictureRect rect;
    std::string id;  // the text after the fourth "," (style 6), which the answer uses instead
};

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

    // Graphic and click-picture styles: the target zones, from the groups
    // a.. that are not blank.
    std::vector<PictureRect> zones;
    // Panel styles: group b lists the destination slots, group c the pieces.
    // (Not "slots", which Qt takes for a keyword.)
    std::vector<PanelItem> destinations;
    std::vector<PanelItem> pieces;
    // A zone or list item whose numbers cannot be read: the question cannot
    // be answered as written.
    bool damaged = false;
};

// Four integers separated by "," (x1, y1, x2, y2); with `rest`, a fourth
// "," and whatever follows it are allowed and the text after it is stored
// there. nullopt when the numbers cannot be read.
std::optional<PictureRect> parsePictureRect(std::string_view text, std::string* rest = nullptr);

// The items of a panel list: each begins at an "@"; text before the first
// "@" belongs to none. At most 100 are read.
std::optional<std::vector<PanelItem>> parsePanelList(std::string_view list, bool withIds);

// The hand-off of a question with these shown choices (slot 1 first) and
// figure paths.
StyleHandoff styleHandoff(AnswerStyle style, std::span<const std::string> shown,
                          const std::vector<std::string>& figurePaths);

}  // namespace tovalo
