#pragma once

#include <string_view>
#include <vector>

namespace tovalo::text {

// Splits file contents into lines as a text-file reader sees them: a line
// ends at LF, a CR right before that LF belongs to the line end, and a file
// that ends with a line end has no empty last line.
std::vector<std::string_view> splitLines(std::string_view contents);

// True when the contents end with a line end (so the last line had one).
inline bool endsWithLineEnd(std::string_view contents) {
    return !contents.empty() && contents.back() == '\n';
}

}  // namespace tovalo::text
