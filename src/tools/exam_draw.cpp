#include "tools/exam_draw.h"

namespace tovalo::tool {

Status drawExam(ExamSession& session, const DrawRequest& request) {
    CategoryChecks& checks = session.checks();
    for (const auto& [c, s] : request.unchecked) {
        if (c >= 1 && c <= static_cast<int>(checks.minor.size()) && s >= 1 && s <= kSubCategories) {
            checks.minor[c - 1][s - 1] = false;
        }
    }
    const int count = modeLocksChoices(request.mode)
                          ? lockedCountAndTime(session.bank(), session.availableCount()).count
                          : request.count;
    RandomSource random = request.seed ? RandomSource(*request.seed) : RandomSource::fromClock();
    const StartCheck started =
        session.start({std::to_string(count), "0", request.mode, request.adaptive}, random);
    if (!started.ok) {
        return Error{started.message, "", 0};
    }
    return Ok{};
}

}  // namespace tovalo::tool
