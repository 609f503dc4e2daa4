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

// What leaving the result screen stores: the exam pushed into the course's
// history file, then, with the adaptive option, the adaptive file (created
// with one line per question on the first such exam). Each save is whole
// or not at all; the first failure is returned, naming its file.
Status saveExamResults(const CourseEntry& course, const QuestionBank& bank,
                       const std::vector<ExamQuestion>& exam, const Grading& grading,
                       const ExamProgress& progress, const SelectionSettings& settings,
                       const ExamDate& date);

}  // namespace tovalo
