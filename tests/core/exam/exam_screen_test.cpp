#include <gtest/gtest.h>

#include "core/exam/exam_screen.h"

using namespace tovalo;

TEST(ExamScreenLayout, PanelsShareTheHeightOfTheWindow) {
    const ExamPanels small = examPanels(562, 4);
    EXPECT_EQ(small.questionHeight, 231);
    EXPECT_EQ(small.answerTop, 4 + 231 + 10);
    EXPECT_EQ(small.answerHeight, 256);
    // Odd heights are cut, never rounded up past the bottom bar.
    const ExamPanels tall = examPanels(801, 0);
    EXPECT_EQ(tall.questionHeight, 350);
    EXPECT_EQ(tall.answerTop, 360);
    EXPECT_EQ(tall.answerHeight, 375);
}

TEST(ExamScreenLayout, ChoiceRowsStackByTheirLineCounts) {
    const std::vector<ChoiceRowPlace> rows = choiceRowPlaces({1, 3, 2});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].textTop, 7);
    EXPECT_EQ(rows[0].markTop, 5);
    EXPECT_EQ(rows[0].textHeight, 22);
    EXPECT_EQ(rows[1].textTop, 7 + 12 + 9);
    EXPECT_EQ(rows[1].markTop, 7 + 12 + 7);
    EXPECT_EQ(rows[1].textHeight, 46);
    EXPECT_EQ(rows[2].textTop, 28 + 36 + 9);
    EXPECT_EQ(rows[2].markTop, 28 + 36 + 7);
    EXPECT_EQ(rows[2].textHeight, 34);
    // Each box overlaps the next by its one-pixel border.
    EXPECT_EQ(rows[0].textTop + rows[0].textHeight, rows[1].textTop + 1);
    EXPECT_TRUE(choiceRowPlaces({}).empty());
}

TEST(ExamScreenTexts, LabelsCaptionsAndLooks) {
    EXPECT_EQ(questionLabelText(7), "Q.7");
    EXPECT_EQ(questionLabelLook(99).pointSize, 10);
    EXPECT_EQ(questionLabelLook(99).top, 1);
    EXPECT_EQ(questionLabelLook(100).pointSize, 9);
    EXPECT_EQ(questionLabelLook(100).top, 5);
    EXPECT_EQ(progressText(3, 40), "3問目/40問中");
    EXPECT_EQ(questionCountText(40), "問題数 : 全40問");
    EXPECT_EQ(timeLimitText(5430), "制限時間 : 90' 30");
    EXPECT_EQ(timeLimitText(0), "制限時間 : 0' 0");

    EXPECT_EQ(examCaption(false, false, 17), "Tovalo - 模擬試験中...");
    EXPECT_EQ(examCaption(false, true, 17), "Tovalo - 模擬試験中...17");
    EXPECT_EQ(examCaption(true, false, 17), "見直し中");
    EXPECT_EQ(examCaption(true, true, 17), "見直し中...17");

    EXPECT_EQ(caseStudyLook("A").caption, "事例");
    EXPECT_EQ(caseStudyLook("A").fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(caseStudyLook("a").buttonHint, "事例を表示します");
    EXPECT_EQ(caseStudyLook("ｱ").caption, "問題");
    EXPECT_EQ(caseStudyLook("ｱ").fontName, "ＭＳ ゴシック");
    EXPECT_EQ(caseStudyLook("ｱ").buttonHint, "問題を表示します");

    EXPECT_TRUE(repeatButtonShown("A"));
    EXPECT_FALSE(repeatButtonShown("a"));
    EXPECT_FALSE(repeatButtonShown("ｱ"));
    EXPECT_EQ(figureCaption(3), "図3");
}
