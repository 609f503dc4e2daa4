#include "tools/exam_draw.h"

namespace tovalo::tool {

Result<DrawnExam> drawExam(const QuestionBank& bank, bool shuffleOrder,
                           const std::string& historyPath, const DrawRequest& request) {
    DrawnExam d;
    d.checks = CategoryChecks::allChecked(bank);
    for (const auto& [c, s] : request.unchecked) {
        if (c >= 1 && c <= static_cast<int>(d.checks.minor.size()) && s >= 1 &&
            s <= kSubCategories) {
            d.checks.minor[c - 1][s - 1] = false;
        }
    }
    const int available = availableCount(bank, d.checks);
    const int count =
        modeLocksChoices(request.mode) ? lockedCountAndTime(bank, available).count : request.count;
    const StartCheck start =
        validateStart(std::to_string(count), "0", request.mode, available, request.adaptive);
    if (!start.ok) {
        return Error{start.message, "", 0};
    }
    d.settings = start.settings;
    RandomSource random = request.seed ? RandomSource(*request.seed) : RandomSource::fromClock();
    d.exam = SelectQuestions(bank, d.checks, d.settings, shuffleOrder,
                             readTrainingWeights(historyPath), random);
    return d;
}

}  // namespace tovalo::tool
