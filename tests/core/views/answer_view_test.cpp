#include <gtest/gtest.h>

#include "core/views/answer_view.h"
#include "core/views/training_material.h"

using namespace tovalo;

namespace {

ExamQuestion choiceQuestion() {
    ExamQuestion q;
    q.QuesNum = 17;
    q.Style = 1;
    q.ShowCount = 4;
    q.ShownCorrect[1] = true;
    q.ShownCorrect[3] = true;
    q.RefText = {"ネットワーク教本", "", "  ", "運用ガイド"};
    q.RefPage = {"0", "12", "0", "45"};
    return q;
}

const std::string kDir = "/root/QDAT/nexa/";

}  // namespace

TEST(AnswerView, LettersUnderTheThreeLabelStyles) {
    const ExamQuestion q = choiceQuestion();
    EXPECT_EQ(answerViewContent(q, 1, "ｱ", kDir).letters, " ｲ ｴ");
    EXPECT_EQ(answerViewContent(q, 1, "A", kDir).letters, " B D");
    EXPECT_EQ(answerViewContent(q, 1, "a", kDir).letters, " b d");
    EXPECT_EQ(answerViewContent(q, 1, "", kDir).letters, " b d");
    EXPECT_FALSE(answerViewContent(q, 1, "A", kDir).styleView);

    // A special style shows its View button instead of letters; the click
    // picture shares the graphic style's View.
    ExamQuestion graphic = q;
    graphic.Style = 3;
    EXPECT_EQ(answerViewContent(graphic, 1, "A", kDir).letters, "");
    EXPECT_EQ(answerViewContent(graphic, 1, "A", kDir).styleView, AnswerStyle::Graphic);
    graphic.Style = 8;
    EXPECT_EQ(answerViewContent(graphic, 1, "A", kDir).styleView, AnswerStyle::Graphic);
    graphic.Style = 6;
    EXPECT_EQ(answerViewContent(graphic, 1, "A", kDir).styleView, AnswerStyle::PanelSecond);
}

// Leading blank lines go, the figure line becomes buttons, an empty line
// leads, and the references follow: pages "0" and blank titles give no line.
TEST(AnswerView, TheMemoTextAfterShowing) {
    ExamQuestion q = choiceQuestion();
    q.Explanation = "\r\n\r\n<INCLUDE IMG>@a.jpg@b.bmp\r\nルータは L3 機器です。\r\n二行目";
    const AnswerViewContent plain = answerViewContent(q, 1, "A", kDir);
    EXPECT_EQ(plain.figurePaths,
              (std::vector<std::string>{kDir + "img/a.jpg", kDir + "img/b.bmp"}));
    EXPECT_EQ(
        plain.text,
        "\r\nルータは L3 機器です。\r\n二行目\r\n \r\n【参照】\r\nネットワーク教本\r\n→12P\r\n"
        "運用ガイド\r\n→45P\r\n");

    const AnswerViewContent html = answerViewContent(q, 2, "A", kDir);
    EXPECT_EQ(
        html.text,
        "\r\nルータは L3 機器です。\r\n二行目\r\n<br>\r\n【参照】<br>\r\nネットワーク教本<br>\r\n"
        "→12P<br>\r\n運用ガイド<br>\r\n→45P<br>\r\n");

    // A figure line only counts as the first line; four names are read,
    // and the view has buttons for three of them.
    q.Explanation = "本文\r\n<INCLUDE IMG>@x.jpg";
    EXPECT_TRUE(answerViewContent(q, 1, "A", kDir).figurePaths.empty());
    q.Explanation = "<INCLUDE IMG>@1.jpg@2.jpg@3.jpg@4.jpg@5.jpg";
    EXPECT_EQ(answerViewContent(q, 1, "A", kDir).figurePaths.size(), 4u);
    EXPECT_EQ(kExplanationFigureButtons, 3);
}

TEST(AnswerView, FaqAddressNamesTheCourseAndQuestion) {
    EXPECT_EQ(faqAddress("http://localhost:8080/faq.cgi", "NXN-101", 17),
              "http://localhost:8080/faq.cgi?testid=NXN-101&testno=17");
}

TEST(TrainingMaterial, TheSettingThenTheDiscsThenTheRefFolder) {
    const auto nothing = [](const std::string&) { return false; };
    const auto only = [](std::string path) {
        return [path](const std::string& p) { return p == path; };
    };
    // A web address frames the document with forward slashes.
    TrainingTarget t = resolveTrainingMaterial("CBTDISC1\\nexa\\net\\ch3.htm",
                                               "http://docs.example.net/", {}, nothing);
    EXPECT_EQ(t.kind, TrainingTarget::Kind::LaunchWeb);
    EXPECT_EQ(t.target, "http://docs.example.net/nexa/net/ch3.htm");

    t = resolveTrainingMaterial("CBTDISC1/nexa/ch3.htm", "/srv/docs/", {"/media/cdrom/"},
                                only("/srv/docs/nexa/ch3.htm"));
    EXPECT_EQ(t.kind, TrainingTarget::Kind::LaunchFile);
    EXPECT_EQ(t.target, "/srv/docs/nexa/ch3.htm");

    // Not in the set folder: the discs are tried in order.
    t = resolveTrainingMaterial("CBTDISC1/nexa/ch3.htm", "/srv/docs/",
                                {"/media/cdrom/", "/media/cdrom1/"},
                                only("/media/cdrom1/nexa/ch3.htm"));
    EXPECT_EQ(t.kind, TrainingTarget::Kind::LaunchFile);
    EXPECT_EQ(t.target, "/media/cdrom1/nexa/ch3.htm");
    t = resolveTrainingMaterial("CBTDISC1/nexa/ch3.htm", "NA", {"/media/cdrom/"}, nothing);
    EXPECT_EQ(t.kind, TrainingTarget::Kind::InsertDisc);
    t = resolveTrainingMaterial("CBTDISC1/nexa/ch3.htm", "NA", {}, nothing);
    EXPECT_EQ(t.kind, TrainingTarget::Kind::OpenRef);
    EXPECT_EQ(t.target, "Ref/nexa/ch3.htm");
}

TEST(TrainingMaterial, TheLaunchPageFramesTheDocument) {
    const std::string proto =
        "<html>\r\n<frameset rows=\"*\">\r\n  #CDPATH#  \r\n x #CDPATH#\r\n</html>";
    EXPECT_EQ(launchPage(proto, {TrainingTarget::Kind::LaunchWeb, "http://d.example/a b.htm"}),
              "<html>\r\n<frameset rows=\"*\">\r\n<FRAME SRC=\"http://d.example/a b.htm\" "
              "MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\" SCROLLING=\"AUTO\" NORESIZE name=\"mainF\">\r\n"
              " x #CDPATH#\r\n</html>\r\n");
    const std::string file =
        launchPage("#CDPATH#", {TrainingTarget::Kind::LaunchFile, "/media/cd\"rom/nexa/ch3.htm"});
    EXPECT_EQ(file,
              "<FRAME SRC=\"file:///media/cd%22rom/nexa/ch3.htm\" MARGINHEIGHT=\"0\" "
              "MARGINWIDTH=\"0\" SCROLLING=\"AUTO\" NORESIZE name=\"mainF\">\r\n");
}
