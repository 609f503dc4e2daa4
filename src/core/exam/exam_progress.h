#pragma once

#include <array>
#include <vector>

#include "core/questions/question_bank.h"

namespace tovalo {

// What the learner did in one exam, per position in asking order (index 0
// is the first question asked).
struct ExamProgress {
    std::vector<std::array<bool, kMaxChoices>> Answer;  // marks on the shown choice slots
    std::vector<bool> Marked;                           // the sticky-note mark
    std::vector<bool> AnswerViewed;                     // the correct answer was displayed
    std::vector<int> TimeSpent;                         // seconds on screen, over all visits
    int ElapsedSeconds = 0;
    int CurrentIndex = 0;
    bool TimeUp = false;

    // Clears everything for an exam of `positions` questions.
    void reset(int positions) {
        Answer.assign(positions, {});
        Marked.assign(positions, false);
        AnswerViewed.assign(positions, false);
        TimeSpent.assign(positions, 0);
        ElapsedSeconds = 0;
        CurrentIndex = 0;
        TimeUp = false;
    }
    [[nodiscard]] int positions() const { return static_cast<int>(Answer.size()); }
};

}  // namespace tovalo
