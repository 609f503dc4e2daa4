#pragma once

#include <vector>

#include "core/catalog/catalog.h"
#include "core/common/result.h"
#include "core/exam/exam_progress.h"
#include "core/exam/selection.h"
#include "core/results/grading.h"

namespace tovalo {

struct ExamDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// What the learner is told after the failure itself, so that a half-stored
// exam is never a surprise.
inline constexpr const char* kExamNotStored =
    "この試験の結果は保存していません。履歴ファイルと拡張履歴ファイルは元のままです。";
inline constexpr const char* kAdaptiveNotUpdated =
    "この試験の結果は履歴ファイルに保存しましたが、拡張履歴ファイルは更新していません。";

// What leaving the result screen stores: the exam pushed into the course's
// history file, then, with the adaptive option, the adaptive file (created
// with one line per question on the first such exam). Both files are read
// first, and a file that exists but cannot be read stops everything: no
// file is written. Each save is whole or not at all, the history first;
// when the adaptive save then fails the history keeps the exam. The error
// names the file and ends with kExamNotStored or kAdaptiveNotUpdated.
Status saveExamResults(const CourseEntry& course, const QuestionBank& bank,
                       const std::vector<ExamQuestion>& exam, const Grading& grading,
                       const ExamProgress& progress, const SelectionSettings& settings,
                       const ExamDate& date);

}  // namespace tovalo
