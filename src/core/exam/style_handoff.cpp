#include "core/exam/style_handoff.h"

namespace tovalo {

int scannedSlots(int style) {
    switch (style) {
        case 3:
        case 8:
            return 6;
        case 4:
        case 5:
        case 6:
        case 7:
            return 3;
        default:
            return 0;
    }
}

std::array<std::string, 5> choiceGroups(const ExamQuestion& question) {
    std::array<std::string, 5> groups;
    const int strip = (question.Style == 3 || question.Style == 5 || question.Style == 8) ? 2 : 1;
    const int slots = std::min(scannedSlots(question.Style), kMaxChoices);
    for (int i = 0; i < slots; ++i) {
        const std::string& c = question.ShownChoice[i];
        if (c.size() >= 2 && c[1] == '@' && c[0] >= 'a' && c[0] <= 'e') {
            groups[c[0] - 'a'] = c.substr(strip);
        }
    }
    return groups;
}

int answerSlot(const ExamQuestion& question) {
    int slot = 0;
    const int slots = std::min(scannedSlots(question.Style), kMaxChoices);
    for (int i = 0; i < slots; ++i) {
        if (question.ShownChoice[i].rfind("a@", 0) == 0) {
            slot = i + 1;
        }
    }
    return slot;
}

}  // namespace tovalo
