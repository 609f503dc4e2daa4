#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/exam/choice_letters.h"
#include "core/exam/grading.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

ExamQuestion questionWithCorrect(std::initializer_list<int> slots, int style = 2) {
    ExamQuestion q;
    q.Style = style;
    q.ShowCount = 5;
    for (int s : slots)
        q.ShownCorrect[s - 1] = true;
    return q;
}

}  // namespace

TEST(Grading, RightExactlyWhenTheMarkedSlotsAreTheCorrectOnes) {
    std::vector<ExamQuestion> exam(5, questionWithCorrect({1, 3}));
    exam[4] = questionWithCorrect({2}, 3);  // graphic style
    ExamProgress p;
    p.reset(5);
    p.Answer[0][0] = p.Answer[0][2] = true;                   // 1 and 3: right
    p.Answer[1][0] = true;                                    // only 1: wrong
    p.Answer[2][0] = p.Answer[2][2] = p.Answer[2][3] = true;  // 1, 3, 4: wrong
    p.AnswerViewed[3] = true;                                 // nothing chosen: wrong
    p.Answer[4][1] = true;                                    // the solved window's mark
    const Grading g = gradeExam(exam, p, "a");
    EXPECT_EQ(g.PositionCorrect, (std::vector<bool>{true, false, false, false, true}));
    EXPECT_EQ(g.CorrectTotal, 2);
    EXPECT_EQ(g.ExamRate, 40);
    EXPECT_EQ(g.rows[0].number, "Q.1");
    EXPECT_EQ(g.rows[0].answer, " a c");
    EXPECT_EQ(g.rows[0].correct, " a c");
    EXPECT_EQ(g.rows[0].mark, "  ○");
    EXPECT_EQ(g.rows[2].answer, " a c d");
    EXPECT_EQ(g.rows[2].mark, "  ×");
    EXPECT_EQ(g.rows[3].answer, "");
    EXPECT_TRUE(g.rows[3].answerViewed);
    EXPECT_EQ(g.rows[4].answer, "ｸﾞﾗﾌｨｯｸ表示");
    EXPECT_EQ(g.rows[4].correct, "");

    EXPECT_EQ(gradeExam(exam, p, "A").rows[0].answer, " A C");
    EXPECT_EQ(gradeExam(exam, p, "ｱ").rows[0].answer, " ｱ ｳ");
    EXPECT_EQ(choiceLetter(10, "ｱ"), "ｺ");
    EXPECT_EQ(choiceLetter(10, "A"), "J");
    EXPECT_EQ(choiceLetter(10, "x"), "j");
}

TEST(Grading, RateIsTheTruncatedPercentOfRightPositions) {
    const struct {
        int right, asked, rate;
    } cases[] = {{7, 9, 77}, {2, 8, 25}, {24, 100, 24}, {81, 100, 81}, {0, 3, 0}, {3, 3, 100}};
    for (const auto& c : cases) {
        std::vector<ExamQuestion> exam(c.asked, questionWithCorrect({1}, 1));
        ExamProgress p;
        p.reset(c.asked);
        for (int k = 0; k < c.right; ++k) {
            p.Answer[k][0] = true;
        }
        const Grading g = gradeExam(exam, p, "A");
        EXPECT_EQ(g.CorrectTotal, c.right);
        EXPECT_EQ(g.ExamRate, c.rate) << c.right << "/" << c.asked;
    }
}
