#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/exam/exam_progress.h"
#include "core/exam/selection.h"
#include "core/results/history_file.h"

namespace tovalo {

// One row of the result grid.
struct GradeRow {
    std::string number;   // "Q.k"
    std::string answer;   // the learner's letters, or the special style's text
    std::string correct;  // the correct letters, empty for special styles
    std::string mark;     // "  ○" or "  ×"
    bool answerViewed = false;
};

struct Grading {
    std::vector<bool> PositionCorrect;
    int CorrectTotal = 0;
    int ExamRate = 0;
    std::vector<GradeRow> rows;  // one per position
};

// A position is right exactly when the marked slots are the correct slots.
Grading gradeExam(const std::vector<ExamQuestion>& exam, const ExamProgress& progress,
                  std::string_view labelStyle);

// The graded exam as the history file records it.
GradedExam gradedForHistory(const std::vector<ExamQuestion>& exam, const Grading& grading,
                            const QuestionBank& bank, const ExamProgress& progress, int mode,
                            int month, int day, int hour, int minute);

}  // namespace tovalo
