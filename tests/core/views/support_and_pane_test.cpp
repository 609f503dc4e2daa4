#include <gtest/gtest.h>

#include "core/views/review_pane.h"
#include "core/views/support_page.h"

using namespace tovalo;

namespace {

ExamQuestion choices(int style, std::vector<std::string> shown) {
    ExamQuestion q;
    q.QuesNum = 5;
    q.Style = style;
    q.ShowCount = static_cast<int>(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        q.ShownChoice[i] = shown[i];
    }
    return q;
}

const std::string kDir = "/root/QDAT/nexa/";

}  // namespace

TEST(SupportPage, MarkerLinesAreReplacedAndProfileTextIsEscaped) {
    SupportPageValues v;
    v.serial = "S-1";
    v.cgiUrl = "http://localhost:8080/q.cgi";
    v.name = "#MAIL#";  // a profile value is never read as another marker
    v.mail = "a@b.example";
    v.org = "<b>R&D</b>";
    v.quesNum = 42;
    v.qdfDate = "2026/12/01";
    v.test = "NXN-101 : ネットワーク基礎";
    v.answer = "正解 : B\r\n解答 : B ";
    const std::string page = supportPage(
        "<p>\r\n  #NAME#  \r\nName: "
        "#NAME#\r\n#ORGA#\r\n#CGI_URL#\r\n#QUESNUM#\r\n#ANSW#\r\n#SERIAL#",
        v);
    EXPECT_EQ(page,
              "<p>\r\n#MAIL#\r\nName: #NAME#\r\n&lt;b&gt;R&amp;D&lt;/b&gt;\r\n"
              "<form ACTION=\"http://localhost:8080/q.cgi\" METHOD=\"post\">\r\n42\r\n"
              "正解 : B\r\n解答 : B \r\nS-1\r\n");
}

TEST(SupportPage, QuestionTextOfBothFormats) {
    EXPECT_EQ(supportQuestionText("<INCLUDE IMG>@a.jpg\r\n一行目\r\n二行目", 1),
              "一行目\r\n二行目");
    const std::string html =
        "<!-- question -->\r\n<body>\r\n<!-- QS -->\r\n問題文<br>\r\n<!-- QE -->\r\n後";
    EXPECT_EQ(supportQuestionText(html, 2), "<!-- QS -->\r\n問題文<br>\r\n");
    EXPECT_EQ(supportQuestionText("<body>\r\n問題文<br>\r\n<!-- QE -->", 2), "");
}

TEST(SupportPage, AnswerBlockOfTheChoiceStyles) {
    ExamQuestion q = choices(
        2, {"ルータ", "スイッチ", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy"});
    std::array<bool, 10> marks{};
    marks[0] = true;
    marks[1] = true;
    EXPECT_EQ(supportAnswerBlock(q, "a", " b d", marks, SupportFrom::AnswerView),
              "A : ルータ\r\nB : スイッチ\r\n正解 : B D\r\n解答 : a b ");
    EXPECT_EQ(supportAnswerBlock(q, "a", " b d", marks, SupportFrom::ResultScreen),
              "A : ルータ\r\nB : スイッチ\r\n正解 : B D\r\n解答 : A B ");
    EXPECT_EQ(supportAnswerBlock(q, "ｱ", " ｲ", marks, SupportFrom::ResultScreen),
              "ｱ : ルータ\r\nｲ : スイッチ\r\n正解 : ｲ\r\n解答 : ｱ ｲ ");

    // Sorted choices lose their key.
    q = choices(9, {"01IPv4", "02IPv6"});
    EXPECT_EQ(supportAnswerBlock(q, "A", " A", {}, SupportFrom::AnswerView),
              "A : IPv4\r\nB : IPv6\r\n正解 : A\r\n解答 : ");
}

// A window's answer is right when the slot a solved window marks is the
// marked one, wherever the data line put it.
TEST(SupportPage, AnswerBlockOfTheSpecialStyles) {
    const ExamQuestion q = choices(4, {"b@0,0,1,1", "a@@0,0,1,1;2,2,3,3", "c@2,2,3,3"});
    std::array<bool, 10> marks{};
    EXPECT_EQ(supportAnswerBlock(q, "A", "", marks, SupportFrom::AnswerView), "解答 : ×");
    marks[1] = true;
    EXPECT_EQ(supportAnswerBlock(q, "A", "", marks, SupportFrom::AnswerView), "解答 : ○");
    EXPECT_EQ(supportAnswerBlock(q, "A", "", {}, SupportFrom::ResultScreen, true), "解答 : ○");
    const ExamQuestion typed = choices(5, {"a@x", "b@on", "c@3"});
    EXPECT_EQ(supportAnswerBlock(typed, "A", "", marks, SupportFrom::ResultScreen, true), "");
    const ExamQuestion click = choices(8, {"a@1,1,9,9"});
    EXPECT_EQ(supportAnswerBlock(click, "A", "", marks, SupportFrom::AnswerView), "");
}

TEST(ReviewPane, PlainTextPaneOfAChoiceQuestion) {
    ExamQuestion q = choices(1, {"ルータ", "ハブ", "リピータ"});
    q.QuesText = "<INCLUDE IMG>@fig1.gif@fig2.gif\r\nどれか。";
    q.Explanation = "\r\n<INCLUDE IMG>@e1.jpg\r\nルータです。";
    q.RefText = {"教本", "", "", ""};
    q.RefPage = {"0", "12", "0", "0"};
    const ReviewPane pane = reviewPane(q, 1, "A", kDir);
    EXPECT_EQ(pane.text,
              "【問題】\r\nどれか。\r\n\r\n【選択肢】\r\nA. ルータ\r\nB. ハブ\r\nC. リピータ\r\n"
              "\r\n【解説】\r\nルータです。\r\n\r\n\r\n【参照】\r\n教本 \r\n12P");
    EXPECT_EQ(pane.height, kPaneHeightWithButtons);
    EXPECT_EQ(pane.questionFigures,
              (std::vector<std::string>{kDir + "img/fig1.gif", kDir + "img/fig2.gif"}));
    EXPECT_TRUE(pane.questionFigureButtons);
    EXPECT_EQ(pane.explanationFigures, (std::vector<std::string>{kDir + "img/e1.jpg"}));
    EXPECT_FALSE(pane.styleView);
    EXPECT_FALSE(pane.mediaButton);

    q.QuesText = "どれか。";
    EXPECT_EQ(reviewPane(q, 1, "A", kDir).height, kPaneHeight);
}

TEST(ReviewPane, HtmlPaneEscapesChoicesAndKeepsTheMarkedExplanation) {
    ExamQuestion q = choices(9, {"01a <", "02\"q\">"});
    q.QuesText = "<!-- q -->\r\n<body topmargin=\"1\" leftmargin=\"1\">\r\n<!-- QS -->本文";
    q.Explanation = "前\r\n<!-- KS -->解説<!-- KE -->後";
    q.RefText = {"教本", "", "", ""};
    q.RefPage = {"3", "0", "0", "0"};
    q.QuesText += "<object id=MediaPlayer1>";
    const ReviewPane pane = reviewPane(q, 2, "a", kDir);
    EXPECT_EQ(
        pane.text,
        "【問題】<br>\r\n<!-- QS -->本文<object id=MediaPlayer1><br>\r\n<br>\r\n【選択肢】<br>\r\n"
        "a. a&nbsp;&lt;<br>\r\nb. &quot;q&quot;&gt;<br>\r\n<br>\r\n【解説】<br>\r\n"
        "<!-- KS -->解説<br>\r\n<br>\r\n【参照】<br>\r\n教本→3P<br>");
    EXPECT_TRUE(pane.mediaButton);
    EXPECT_FALSE(pane.questionFigureButtons);
}

TEST(ReviewPane, SpecialStylesShowTheirViewInsteadOfChoices) {
    ExamQuestion q = choices(3, {"a@1,1,9,9"});
    q.QuesText = "<INCLUDE IMG>@screen.bmp\r\n正しい場所をクリックしなさい。";
    const ReviewPane pane = reviewPane(q, 1, "A", kDir);
    EXPECT_EQ(pane.text.find("【選択肢】"), std::string::npos);
    EXPECT_EQ(pane.styleView, AnswerStyle::Graphic);
    EXPECT_EQ(pane.height, kPaneHeightWithButtons);
    EXPECT_FALSE(pane.questionFigureButtons);

    q.QuesText = "入力しなさい。";
    q.Style = 5;
    EXPECT_EQ(reviewPane(q, 1, "A", kDir).height, kPaneHeightWithButtons);
    EXPECT_TRUE(reviewPane(q, 1, "A", kDir).questionFigureButtons);
}
