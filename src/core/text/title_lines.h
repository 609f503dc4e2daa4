#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tovalo::text {

// How a short text (a course's code and title) is set in a narrow box of a
// screen's side column.
struct TitleLines {
    std::vector<std::string> lines;
    // Set one font step smaller than the box's own font.
    bool smaller = false;
};

// The width of a piece of text in the box's font, or one step smaller.
using TitleMeasure = std::function<int(std::string_view text, bool smaller)>;

// Lines of `text` (paragraphs split at '\n') for a box `width` wide that
// holds `maxLines`. Lines break at blanks (ASCII or ideographic), so that
// "ケーススタディ" stays one word. When a word or the line count does not
// fit, the font goes one step smaller first; only when that does not fit
// either are words broken, at the box's own size, wherever the line is full.
TitleLines titleLines(std::string_view text, int width, int maxLines, const TitleMeasure& measure);

}  // namespace tovalo::text
