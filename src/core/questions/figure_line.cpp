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

std::string withoutFigureLines(std::string_view text) {
    if (text.find(kFigureMarker) == std::string_view::npos) {
        return std::string(text);
    }
    std::string kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t lf = text.find('\n', from);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        const std::string_view line = text.substr(from, end - from);
        if (line.find(kFigureMarker) == std::string_view::npos) {
            kept += line;
        } else if (lf == std::string_view::npos) {
            if (kept.ends_with('\n')) {
                kept.pop_back();
            }
            if (kept.ends_with('\r')) {
                kept.pop_back();
            }
        }
        from = end;
    }
    return kept;
}

}  // namespace tovalo
