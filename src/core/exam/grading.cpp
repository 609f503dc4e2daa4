#include "core/exam/grading.h"

#include "core/exam/choice_letters.h"
#include "core/styles/answer_style.h"

namespace tovalo {

Grading gradeExam(const std::vector<ExamQuestion>& exam, const ExamProgress& progress,
                  std::string_view labelStyle) {
    Grading g;
    const int n = static_cast<int>(exam.size());
    g.PositionCorrect.assign(n, true);
    g.rows.resize(n);
    for (int k = 0; k < n; ++k) {
        GradeRow& row = g.rows[k];
        row.number = "Q." + std::to_string(k + 1);
        const bool answered = k < progress.positions();
        for (int i = 1; i <= kMaxChoices; ++i) {
            const bool chosen = answered && progress.Answer[k][i - 1];
            const bool correct = exam[k].ShownCorrect[i - 1];
            if (chosen) {
                row.answer += " " + choiceLetter(i, labelStyle);
            }
            if (correct) {
                row.correct += " " + choiceLetter(i, labelStyle);
            }
            if (chosen != correct) {
                g.PositionCorrect[k] = false;
            }
        }
        if (const std::string_view special = traitsOf(exam[k].Style).gradeText; !special.empty()) {
            row.answer = special;
            row.correct.clear();
        }
        row.answerViewed = answered && progress.AnswerViewed[k];
        row.mark = g.PositionCorrect[k] ? "  ○" : "  ×";
        g.CorrectTotal += g.PositionCorrect[k] ? 1 : 0;
    }
    g.ExamRate = n > 0 ? g.CorrectTotal * 100 / n : 0;
    return g;
}

GradedExam gradedForHistory(const std::vector<ExamQuestion>& exam, const Grading& grading,
                            const QuestionBank& bank, const ExamProgress& progress, int mode,
                            int month, int day, int hour, int minute) {
    GradedExam g;
    for (std::size_t k = 0; k < exam.size(); ++k) {
        const int slot = exam[k].BankSlot;
        const int category = slot >= 1 && slot <= static_cast<int>(bank.questions.size())
                                 ? bank.question(slot).Category
                                 : 0;
        g.positions.push_back({slot, category, grading.PositionCorrect[k]});
    }
    g.ElapsedSeconds = progress.ElapsedSeconds;
    g.Month = month;
    g.Day = day;
    g.Hour = hour;
    g.Minute = minute;
    g.ExamRate = grading.ExamRate;
    g.Mode = mode;
    return g;
}

}  // namespace tovalo
