#include "core/exam/review_list.h"

#include "core/exam/page_writer.h"

namespace tovalo {

std::vector<ReviewRow> reviewRows(const std::vector<ExamQuestion>& exam,
                                  const ExamProgress& progress, int formatKind) {
    std::vector<ReviewRow> rows;
    rows.reserve(exam.size());
    for (std::size_t i = 0; i < exam.size(); ++i) {
        const bool marked = static_cast<int>(i) < progress.positions() && progress.Marked[i];
        rows.push_back({"Q." + std::to_string(i + 1), PageToListText(exam[i].QuesText, formatKind),
                        marked ? " X" : ""});
    }
    return rows;
}

int reviewGridHeight(int questionCount) {
    return (questionCount + 1) * kReviewRowHeight + 1;
}

int reviewScrollPosition(int row, int areaHeight) {
    return (row - 1) / kReviewRowsPerPage * areaHeight;
}

}  // namespace tovalo
