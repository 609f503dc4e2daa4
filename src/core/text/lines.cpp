#include "core/text/lines.h"

namespace tovalo::text {

std::vector<std::string_view> splitLines(std::string_view contents) {
    std::vector<std::string_view> lines;
    lines.reserve(contents.size() / 24 + 1);
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(contents.substr(start));
            break;
        }
        std::size_t cut = end;
        if (cut > start && contents[cut - 1] == '\r') {
            --cut;
        }
        lines.push_back(contents.substr(start, cut - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace tovalo::text
