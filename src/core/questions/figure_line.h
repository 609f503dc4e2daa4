#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovalo {

// A question text or explanation that shows figures starts with a line
// holding this marker and, for each figure, "@" and its file name.
inline constexpr std::string_view kFigureMarker = "<INCLUDE IMG>";

// The names on a figure line: the marker starts the line, and each "@"
// after it begins a name; text before the first "@" is no name. At most
// `maxNames` are kept.
std::vector<std::string> figureLineNames(std::string_view line, std::size_t maxNames);

// A question's text as the lists show it to be read: every line holding the
// marker goes, with its line end, so no file name or mark-up is shown. A
// last line that goes takes the line break before it along.
std::string withoutFigureLines(std::string_view text);

}  // namespace tovalo
