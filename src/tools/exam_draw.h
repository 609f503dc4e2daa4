#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/common/result.h"
#include "core/exam/selection.h"

namespace tovalo::tool {

// What the category screen is given by the tool's options.
struct DrawRequest {
    SelectionMode mode = SelectionMode::Normal;
    int count = 0;                               // ignored in the modes that set their own count
    std::vector<std::pair<int, int>> unchecked;  // (major, minor), 1-based
    std::optional<std::uint64_t> seed;
    bool adaptive = false;
};

struct DrawnExam {
    CategoryChecks checks;
    SelectionSettings settings;
    std::vector<ExamQuestion> exam;
};

// Draws an exam from a loaded course as the category screen's start button
// does; fails with the screen's own message.
Result<DrawnExam> drawExam(const QuestionBank& bank, bool shuffleOrder,
                           const std::string& historyPath, const DrawRequest& request);

}  // namespace tovalo::tool
