#include "core/results/exam_results.h"

#include "core/results/adaptive_file.h"
#include "core/results/history_file.h"

namespace tovalo {

namespace {

Error withConsequence(Error error, const char* consequence) {
    error.message += "\n";
    error.message += consequence;
    return error;
}

}  // namespace

Status saveExamResults(const CourseEntry& course, const QuestionBank& bank,
                       const std::vector<ExamQuestion>& exam, const Grading& grading,
                       const ExamProgress& progress, const SelectionSettings& settings,
                       const ExamDate& date) {
    Result<HistoryFile> history = readHistoryFile(course.HisPath);
    if (!history) {
        return withConsequence(history.error(), kExamNotStored);
    }
    std::optional<std::vector<std::string>> adaptive;
    if (settings.AdaptiveOn) {
        auto existing = readAdaptiveFile(course.AdpPath);
        if (!existing) {
            return withConsequence(existing.error(), kExamNotStored);
        }
        adaptive = std::move(*existing);
    }

    recordExam(*history,
               gradedForHistory(exam, grading, bank, progress, static_cast<int>(settings.mode),
                                date.month, date.day, date.hour, date.minute),
               course.QdfPath);
    if (const Status saved = saveHistoryFile(course.HisPath, *history); !saved) {
        return withConsequence(saved.error(), kExamNotStored);
    }
    if (!settings.AdaptiveOn) {
        return Ok{};
    }
    std::vector<std::string> lines = adaptive ? std::move(*adaptive) : newAdaptiveLines(bank);
    std::vector<AdaptiveAnswer> answers;
    for (std::size_t k = 0; k < exam.size(); ++k) {
        answers.push_back({exam[k].BankSlot, static_cast<bool>(grading.PositionCorrect[k]),
                           k < progress.TimeSpent.size() ? progress.TimeSpent[k] : 0});
    }
    updateAdaptiveLines(lines, answers, bank);
    if (const Status saved = saveAdaptiveFile(course.AdpPath, lines); !saved) {
        return withConsequence(saved.error(), kAdaptiveNotUpdated);
    }
    return Ok{};
}

}  // namespace tovalo
