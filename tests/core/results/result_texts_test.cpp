#include <gtest/gtest.h>

#include "core/results/result_texts.h"

using namespace tovalo;

TEST(ResultTexts, SideColumnAndCaption) {
    CourseEntry c;
    c.ExamCode = "NXN-101";
    c.ExamTitle = "ネットワーク基礎";
    const ResultTexts t = resultTexts(c, 9, 77, {2026, 7, 31, 9, 5}, 754);
    EXPECT_EQ(t.caption, "NXN-101 ネットワーク基礎 - 採点結果");
    EXPECT_EQ(t.rate, "正答率 : 77%");
    EXPECT_EQ(t.course, "NXN-101\r\nネットワーク基礎");
    EXPECT_EQ(t.count, "問題数 : 9問");
    EXPECT_EQ(t.date, "2026/7/31 9:5");
    EXPECT_EQ(t.timeTaken, "所要時間 : 12' 34");
    EXPECT_EQ(t.chartTitle, "成績の推移（科目 : ネットワーク基礎）");
}
