#include <gtest/gtest.h>

#include "core/exam/review_list.h"

using namespace tovalo;

namespace {

std::vector<ExamQuestion> questions(int n, const std::string& text) {
    std::vector<ExamQuestion> exam(n);
    for (ExamQuestion& q : exam) {
        q.QuesText = text;
    }
    return exam;
}

}  // namespace

TEST(ReviewList, RowsCarryNumberOneLineTextAndStickyNote) {
    std::vector<ExamQuestion> exam = questions(3, "一行目\r\n二行目");
    exam[1].QuesText = "<INCLUDE IMG>@a.jpg\r\n図を見て答えなさい。";
    ExamProgress progress;
    progress.reset(3);
    progress.Marked[2] = true;

    const std::vector<ReviewRow> plain = reviewRows(exam, progress, 1);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0].number, "Q.1");
    EXPECT_EQ(plain[0].text, "一行目\r\n二行目");  // a plain-text question is shown whole
    EXPECT_EQ(plain[1].text, "図を見て答えなさい。");
    EXPECT_EQ(plain[0].mark, "");
    EXPECT_EQ(plain[2].number, "Q.3");
    EXPECT_EQ(plain[2].mark, " X");

    exam[0].QuesText = "<!-- question -->\r\n<!-- QS -->\r\n<b>最も</b>適切なもの&amp;理由<br>\r\n";
    EXPECT_EQ(reviewRows(exam, progress, 2)[0].text, "最も適切なもの&理由");
}

TEST(ReviewList, GridHeightAndPaging) {
    EXPECT_EQ(reviewGridHeight(20), 21 * 16 + 1);
    EXPECT_EQ(kReviewAreaHeight, 224);
    EXPECT_EQ(reviewScrollPosition(1), 0);
    EXPECT_EQ(reviewScrollPosition(14), 0);
    EXPECT_EQ(reviewScrollPosition(15), 224);
    EXPECT_EQ(reviewScrollPosition(29), 448);
    // The row above the questions belongs to the first page.
    EXPECT_EQ(reviewScrollPosition(0), 0);
}
