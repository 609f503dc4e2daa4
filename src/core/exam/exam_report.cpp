#include "core/exam/exam_report.h"

#include "core/results/result_texts.h"

namespace tovalo {

HistoryChart examHistoryChart(const ExamSession& exam, const HistoryFile& stored,
                              const ExamDate& date) {
    return historyChart(stored,
                        {exam.grading().ExamRate, exam.progress().ElapsedSeconds / 60, date},
                        exam.bank().ExamTimeLimit);
}

PrintReport examPrintReport(const ExamSession& exam, const HistoryFile& stored,
                            const ExamDate& date, const std::string& userName) {
    const Grading& grading = exam.grading();
    const ExamProgress& progress = exam.progress();
    const CourseEntry& course = exam.course();
    const int mode = static_cast<int>(exam.selection().mode);
    PrintReport r;
    r.history = stored;
    r.categoryRates =
        categoryRates(gradedForHistory(exam.questions(), grading, exam.bank(), progress, mode,
                                       date.month, date.day, date.hour, date.minute)
                          .positions);
    const QuestionBank& bank = exam.bank();
    for (int c = 1; c <= bank.CategoryCount && c <= static_cast<int>(bank.categories.size()); ++c) {
        r.categoryNames.push_back(bank.category(c).CategoryName);
    }
    r.userName = userName;
    r.examCode = course.ExamCode;
    r.examTitle = course.ExamTitle;
    r.mode = mode;
    r.examRate = grading.ExamRate;
    r.questionCount = exam.questionCount();
    r.dateText =
        resultTexts(course, r.questionCount, r.examRate, date, progress.ElapsedSeconds).date;
    r.elapsedSeconds = progress.ElapsedSeconds;
    return r;
}

Status writeExamPrintReport(const ExamSession& exam, const HistoryFile& stored,
                            const ExamDate& date, const std::string& userName,
                            const std::string& templatePath, const std::string& dir) {
    return writePrintReport(templatePath, dir, examPrintReport(exam, stored, date, userName),
                            examHistoryChart(exam, stored, date));
}

}  // namespace tovalo
