#pragma once

#include <string>
#include <vector>

#include "core/exam/exam_progress.h"
#include "core/exam/selection.h"

namespace tovalo {

// The review list shows 14 rows of 16 pixels (15 and a grid line) per
// page; its scrolling area is exactly one page high.
inline constexpr int kReviewRowsPerPage = 14;
inline constexpr int kReviewRowHeight = 16;
inline constexpr int kReviewAreaHeight = kReviewRowsPerPage * kReviewRowHeight;
inline constexpr const char* kReviewQuestion = "採点してよろしいですか?";
inline constexpr const char* kReviewJumpHint = "ダブルクリックすると該当問題に戻ります。";

struct ReviewRow {
    std::string number;  // "Q.3"
    std::string text;    // the question as one line of plain text
    std::string mark;    // " X" for a sticky note, else empty
};

// One row per exam position, in asking order.
std::vector<ReviewRow> reviewRows(const std::vector<ExamQuestion>& exam,
                                  const ExamProgress& progress, int formatKind);

// Height of a grid holding the questions and the row above them.
int reviewGridHeight(int questionCount);

// Where the area scrolls when grid row `row` (1-based) is selected: the
// top of the page that holds it.
int reviewScrollPosition(int row, int areaHeight = kReviewAreaHeight);

}  // namespace tovalo
