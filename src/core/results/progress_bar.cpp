#include "core/results/progress_bar.h"

namespace tovalo {

std::string progressBarRow(int height, int v) {
    if (v < 0 || v > 100) {
        return {};
    }
    const std::string h = " height=" + std::to_string(height);
    const auto piece = [&](const char* picture, int width) {
        return std::string("<img src=\"") + picture + "\" width=" + std::to_string(width) + h + ">";
    };
    std::string row = "<td>";
    if (v > 0) {
        row += piece("red.gif", 4 * v);
    }
    if (v < 100) {
        row += piece("black.gif", 4 * (100 - v));
    }
    return row + "</td></tr>";
}

}  // namespace tovalo
