#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/common/result.h"
#include "core/exam/exam_session.h"

namespace tovalo::tool {

// What the category screen is given by the tool's options.
struct DrawRequest {
    SelectionMode mode = SelectionMode::Normal;
    int count = 0;                               // ignored in the modes that set their own count
    std::vector<std::pair<int, int>> unchecked;  // (major, minor), 1-based
    std::optional<std::uint64_t> seed;
    bool adaptive = false;
};

// Starts an exam in the opened `session` as the category screen's start
// button does, the fields filled as the screen fills them; fails with the
// screen's own message.
Status drawExam(ExamSession& session, const DrawRequest& request);

}  // namespace tovalo::tool
