#include "core/questions/figure_line.h"

namespace tovalo {

std::vector<std::string> figureLineNames(std::string_view line, std::size_t maxNames) {
    std::vector<std::string> names;
    // The marker starts the line; what it covers is dropped whatever it is.
    const std::string_view rest =
        line.size() > kFigureMarker.size() ? line.substr(kFigureMarker.size()) : std::string_view();
    bool inName = false;
    for (char c : rest) {
        if (c == '@') {
            if (names.size() == maxNames) {
                break;
            }
            names.emplace_back();
            inName = true;
        } else if (inName) {
            names.back() += c;
        }
    }
    return names;
}

}  // namespace tovalo
