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

}  // namespace tovalo
