#include "core/results/exam_results.h"

#include "core/results/adaptive_file.h"
#include "core/results/history_file.h"

namespace tovalo {

Status saveExamResults(const CourseEntry& course, const QuestionBank& bank,
                       const std::vector<ExamQuestion>& exam, const Grading& grading,
                       const ExamProgress& progress, const SelectionSettings& settings,
                       const ExamDate& date) {
    HistoryFile history = readHistoryFile(course.HisPath);
    recordExam(history,
               gradedForHistory(exam, grading, bank, progress, static_cast<int>(settings.mode),
                                date.month, date.day, date.hour, date.minute),
               course.QdfPath);
    const Status saved = saveHistoryFile(course.HisPath, history);
    if (!saved || !settings.AdaptiveOn) {
        return saved;
    }
    auto existing = readAdaptiveFile(course.AdpPath);
    std::vector<std::string> lines = existing ? std::move(*existing) : newAdaptiveLines(bank);
    std::vector<AdaptiveAnswer> answers;
    for (std::size_t k = 0; k < exam.size(); ++k) {
        answers.push_back({exam[k].BankSlot, static_cast<bool>(grading.PositionCorrect[k]),
                           k < progress.TimeSpent.size() ? progress.TimeSpent[k] : 0});
    }
    updateAdaptiveLines(lines, answers, bank);
    return saveAdaptiveFile(course.AdpPath, lines);
}

}  // namespace tovalo
