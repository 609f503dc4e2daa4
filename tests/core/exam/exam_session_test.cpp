#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/exam/exam_session.h"
#include "core/questions/qdf_builder.h"

using namespace tovalo;

namespace {

// A course of two questions in one category, each with four choices, and
// where its history goes.
class ExamSessionTest : public ::testing::Test {
  protected:
    ExamSessionTest() {
        QdfBuilder::Record a;
        QdfBuilder::Record b;
        b.num = 2;
        b.sub = 2;
        b.closing = "*EOF";
        QdfBuilder q;
        q.header("QFileFormat-v1.4", "20261201", "2")
            .category("ネットワーク", {"アドレス", "ルーティング"})
            .plain("*CE")
            .record(a)
            .record(b);
        course_.QdfPath = tree_.write("QDAT/v/NX-101.qdf", q.stored());
        tree_.dir("HIST/v");
        course_.HisPath = tree_.path("HIST/v/NX-101.HIS");
        course_.AdpPath = tree_.path("HIST/v/NX-101.ADP");
        course_.ExamTitle = "ネットワーク基礎";
    }

    int storedExams() {
        const auto history = readHistoryFile(course_.HisPath);
        int n = 0;
        for (const ExamRecord& r : history->exams) {
            n += r.empty() ? 0 : 1;
        }
        return n;
    }

    TempTree tree_;
    CourseEntry course_;
    RandomSource random_{5};
};

}  // namespace

// A course that cannot be loaded, and a start the fields refuse, leave the
// session exactly as it was.
TEST_F(ExamSessionTest, RefusalsChangeNothing) {
    ExamSession session;
    ASSERT_TRUE(session.open(course_).ok());
    ASSERT_TRUE(session.start({"2", "10", SelectionMode::Normal, false}, random_).ok);
    const std::vector<ExamQuestion> drawn = session.questions();

    CourseEntry broken = course_;
    broken.QdfPath = tree_.write("QDAT/v/BAD.qdf", "QFileFormat-v1.4\r\nx\r\n");
    const Status opened = session.open(broken);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().file, broken.QdfPath);
    EXPECT_EQ(session.course().QdfPath, course_.QdfPath);
    EXPECT_EQ(session.questionCount(), 2);

    const StartCheck tooMany = session.start({"3", "10", SelectionMode::Normal, false}, random_);
    EXPECT_FALSE(tooMany.ok);
    EXPECT_EQ(tooMany.message, "問題はそんなにありません");
    EXPECT_EQ(session.questionCount(), 2);
    EXPECT_EQ(session.questions()[0].BankSlot, drawn[0].BankSlot);

    // Unchecking a minor category takes its question out of the draw.
    session.checks().minor[0][1] = false;
    EXPECT_EQ(session.availableCount(), 1);
    ASSERT_TRUE(session.start({"1", "0", SelectionMode::Normal, false}, random_).ok);
    EXPECT_EQ(session.question(1).BankSlot, 1);
    EXPECT_FALSE(session.selection().TimeLimitOn);
    EXPECT_EQ(session.engine().positions(), 1);
}

// However often the result screen comes back, the exam is graded once and
// stored once; a new start is a new exam.
TEST_F(ExamSessionTest, GradesAndStoresEachExamOnce) {
    ExamSession session;
    ASSERT_TRUE(session.open(course_).ok());
    ASSERT_TRUE(session.start({"2", "10", SelectionMode::Normal, false}, random_).ok);
    EXPECT_TRUE(session.save({2026, 7, 31, 9, 5}).ok());  // not graded yet: nothing stored
    EXPECT_EQ(storedExams(), 0);

    session.engine().recordAnswer(1, session.question(1).ShownCorrect, false);
    ASSERT_TRUE(session.grade("A"));
    EXPECT_EQ(session.grading().CorrectTotal, 1);
    // An answer that comes after grading changes nothing.
    session.engine().recordAnswer(2, session.question(2).ShownCorrect, false);
    EXPECT_FALSE(session.grade("A"));
    EXPECT_EQ(session.grading().CorrectTotal, 1);

    ASSERT_TRUE(session.save({2026, 7, 31, 9, 5}).ok());
    ASSERT_TRUE(session.save({2026, 7, 31, 9, 6}).ok());
    EXPECT_EQ(storedExams(), 1);
    EXPECT_EQ(session.stage(), ExamStage::Stored);
    EXPECT_EQ(readHistoryFile(course_.HisPath)->exams[0].Rate, 50);

    ASSERT_TRUE(session.start({"2", "10", SelectionMode::Normal, false}, random_).ok);
    EXPECT_EQ(session.stage(), ExamStage::Answering);
    ASSERT_TRUE(session.grade("A"));
    ASSERT_TRUE(session.save({2026, 8, 1, 10, 0}).ok());
    EXPECT_EQ(storedExams(), 2);
}
