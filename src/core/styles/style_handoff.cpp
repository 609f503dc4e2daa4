#include "core/styles/style_handoff.h"

#include <algorithm>

namespace tovalo {

StyleHandoff styleHandoff(AnswerStyle style, std::span<const std::string> shown,
                          const std::vector<std::string>& figurePaths) {
    const AnswerStyleTraits& traits = traitsOf(style);
    StyleHandoff h;
    h.style = style;
    const int slots = std::min(traits.scannedSlots, static_cast<int>(shown.size()));
    for (int i = 0; i < slots; ++i) {
        const std::string& c = shown[i];
        if (c.size() >= 2 && c[1] == '@' && c[0] >= 'a' && c[0] <= 'e') {
            h.groups[c[0] - 'a'] = c.substr(traits.groupPrefix);
            if (c[0] == 'a') {
                h.answerSlot = i + 1;
            }
        }
    }
    const int figures = std::min<int>(traits.figuresTaken, static_cast<int>(figurePaths.size()));
    for (int k = 0; k < figures; ++k) {
        h.pictures[k] = figurePaths[k];
    }
    return h;
}

}  // namespace tovalo
