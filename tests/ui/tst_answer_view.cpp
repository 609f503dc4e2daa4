// The answer window beside the exam screen, opened with the exam screen's
// 正解・解説 button and used as a learner does.

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "style_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/choice_text.h"

using tovalo::AnswerStyle;
using tovalo::ui::ImageButton;
using tovalo::ui::TCheatForm;
using tovalo::ui::TExamModeForm;
using namespace style_rig;

namespace {

void click(QWidget* w) {
    QVERIFY(w != nullptr);
    QVERIFY(w->isVisible());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

TCheatForm* openAnswer(ExamRig& rig, TExamModeForm* exam) {
    click(exam->control<QWidget>(QStringLiteral("AnswerButton")));
    TCheatForm* answer = rig.screens->CheatForm;
    return answer->isVisible() ? answer : nullptr;
}

// The correct slots 2 and 4 in the vendor's letters.
QString secondAndFourth(const ExamRig& rig) {
    const std::string style = rig.session->vendor(rig.session->currentVendor)->choiceLabelStyle;
    return style == "A"   ? QStringLiteral(" B D")
           : style == "ｱ" ? QStringLiteral(" ｲ ｴ")
                          : QStringLiteral(" b d");
}

Mutation correctSecondAndFourth(const std::string& explanation = {}) {
    return [explanation](tovalo::ExamQuestion& q) {
        q.ShownCorrect = {};
        q.ShownCorrect[1] = q.ShownCorrect[3] = true;
        if (!explanation.empty()) {
            q.Explanation = explanation;
        }
    };
}

std::string fileText(const std::string& path) {
    auto bytes = tovalo::readWholeFile(path);
    return bytes ? tovalo::text::cp932ToUtf8(*bytes) : std::string();
}

}  // namespace

class TestAnswerView : public QObject {
    Q_OBJECT

  private slots:
    void opensBesideTheExamFoldedAndKeepsWhereTheLearnerLeftIt() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam =
            openQuestion(rig, "nexa", "NXN-101", 20, AnswerStyle::Single, correctSecondAndFourth());
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        QCOMPARE(answer->windowTitle(), QStringLiteral("正解"));
        QCOMPARE(answer->control<QLabel>(QStringLiteral("Label2"))->text(), secondAndFourth(rig));
        QCOMPARE(answer->size(), QSize(TCheatForm::kFirstWidth, TCheatForm::kFoldedHeight));
        QCOMPARE(answer->pos(), exam->geometry().bottomRight() + QPoint(1, 1) -
                                    QPoint(TCheatForm::kFirstWidth, 200));
        QVERIFY(!answer->control<QWidget>(QStringLiteral("Memo1"))->isVisible());

        // Unfolded it is 250 high with the explanation and the references.
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        QVERIFY(answer->unfolded());
        QCOMPARE(answer->height(), TCheatForm::kUnfoldedMinHeight);
        auto* memo = answer->control<QPlainTextEdit>(QStringLiteral("Memo1"));
        QVERIFY(memo->isVisible());
        QVERIFY(memo->toPlainText().startsWith(QLatin1Char('\n')));
        QVERIFY(memo->toPlainText().contains(QStringLiteral("【参照】")));
        QVERIFY(memo->geometry().bottom() <
                answer->control<QWidget>(QStringLiteral("Image7"))->geometry().top());

        // Pulled taller and moved, then folded and closed: the next
        // unfolding comes back there. A height under 250 never sticks.
        answer->move(40, 30);
        answer->resize(300, 400);
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        QCOMPARE(answer->height(), TCheatForm::kFoldedHeight);
        click(answer->control<QWidget>(QStringLiteral("Button1")));
        QVERIFY(!answer->isVisible());
        // Closing the window gives the choices their normal colour back.
        QCOMPARE(exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText2"))->textColour(),
                 QColor(Qt::black));

        answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        QCOMPARE(answer->height(), TCheatForm::kFoldedHeight);
        QCOMPARE(answer->pos(), QPoint(40, 30));
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        QCOMPARE(answer->pos(), QPoint(40, 30));
        QCOMPARE(answer->size(), QSize(300, 400));
        answer->resize(300, 260);
        QTest::keyClick(answer, Qt::Key_Escape);
        QVERIFY(!answer->isVisible());
        answer = openAnswer(rig, exam);
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        QCOMPARE(answer->height(), 260);  // the close button keeps the height it was closed at
    }

    void followsTheQuestionOnTheExamScreen() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Graphic);
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        // A graphic question has no letters but the button of its View.
        QCOMPARE(answer->control<QLabel>(QStringLiteral("Label2"))->text(), QString());
        QVERIFY(!answer->control<QWidget>(QStringLiteral("Label1"))->isVisible());
        auto* view = answer->control<ImageButton>(QStringLiteral("Image8"));
        QVERIFY(view->isVisible());
        for (const char* other : {"Image9", "ButtonType5", "Image10", "Image11"}) {
            QVERIFY(!answer->control<QWidget>(QString::fromLatin1(other))->isVisible());
        }
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            QCOMPARE(modal, static_cast<QWidget*>(rig.screens->frmSelStyle3View));
            modal->hide();
        });
        click(view);
        QTRY_VERIFY(!rig.screens->frmSelStyle3View->isVisible());

        // The next question closes the window; asked again, it shows that
        // question's answer.
        click(exam->control<QWidget>(QStringLiteral("NextButton")));
        QVERIFY(!answer->isVisible());
        const tovalo::ExamQuestion& second = rig.session->exam.question(2);
        answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        const bool special = tovalo::traitsOf(second.Style).scannedSlots > 0;
        QCOMPARE(answer->control<QLabel>(QStringLiteral("Label2"))->text().isEmpty(), special);
        QCOMPARE(answer->control<QLabel>(QStringLiteral("Label1"))->isVisible(), !special);
        // Unfolded, it explains the second question.
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        const QString memo =
            answer->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText();
        const std::string firstLine = second.Explanation.substr(0, second.Explanation.find('\r'));
        QVERIFY2(firstLine.empty() || firstLine.starts_with("<INCLUDE IMG>") ||
                     memo.contains(QString::fromStdString(firstLine)),
                 qPrintable(memo));
    }

    void explanationFiguresOpenTheFigureWindow() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(
            rig, "nexa", "NXN-101", 20, AnswerStyle::Single,
            correctSecondAndFourth("\r\n\r\n<INCLUDE IMG>@osi.bmp@b.jpg\r\n層の役割を覚えます。"));
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        QVERIFY(answer->control<QWidget>(QStringLiteral("ImgFig1"))->isVisible());
        QVERIFY(answer->control<QWidget>(QStringLiteral("ImgFig2"))->isVisible());
        QVERIFY(!answer->control<QWidget>(QStringLiteral("ImgFig3"))->isVisible());
        const QString memo =
            answer->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText();
        QVERIFY(!memo.contains(QStringLiteral("INCLUDE")));
        QVERIFY(memo.startsWith(QStringLiteral("\n層の役割を覚えます。")));

        click(answer->control<QWidget>(QStringLiteral("ImgFig2")));
        tovalo::ui::TRefImgForm* figure = rig.screens->RefImgForm;
        QTRY_VERIFY(figure->isVisible());
        QCOMPARE(figure->windowTitle(), QStringLiteral("解説図2"));
        QCOMPARE(figure->FigurePath, rig.path(QStringLiteral("QDAT/nexa/img/b.jpg")));
    }

    void keyboardUnfoldsScrollsAndCloses() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        std::string longText = "\r\n";
        for (int i = 1; i <= 60; ++i) {
            longText += "解説の行 " + std::to_string(i) + "\r\n";
        }
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXN-101", 20, AnswerStyle::Single,
                                           correctSecondAndFourth(longText));
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(QTest::qWaitForWindowActive(answer));
        auto* fold = answer->control<QWidget>(QStringLiteral("Button2"));
        fold->setFocus();
        typeKey(Qt::Key_Space);
        QVERIFY(answer->unfolded());
        QCOMPARE(fold->accessibleName(), QStringLiteral("解説を隠す"));
        // Tab past the close button reaches the text, which scrolls by page.
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), answer->control<QWidget>(QStringLiteral("Panel1")));
        QScrollBar* bar =
            answer->control<QPlainTextEdit>(QStringLiteral("Memo1"))->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        typeKey(Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
        typeKey(Qt::Key_Escape);
        QVERIFY(!answer->isVisible());
    }

    void supportFaqAndTrainingMaterialPages() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.session->profile.name = "<script>x</script>";
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXN-101", 20, AnswerStyle::Single,
                                           [](tovalo::ExamQuestion& q) {
                                               correctSecondAndFourth()(q);
                                               q.CbtFile[0] = "CBTDISC1/nexa/osi.html";
                                               q.CbtHint[0] = "OSI参照モデル";
                                           });
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        click(answer->control<QWidget>(QStringLiteral("Button2")));

        // The learner's marks of the moment go on the support page.
        click(answer->control<QWidget>(QStringLiteral("Button5")));
        QCOMPARE(rig.shell.opened.size(), std::size_t(1));
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "Ques.htm");
        const std::string page = fileText(rig.shell.opened.back());
        QVERIFY(page.find("&lt;script&gt;x&lt;/script&gt;") != std::string::npos);
        QVERIFY(page.find("正解 :" + secondAndFourth(rig).toUpper().toStdString()) !=
                std::string::npos);
        QVERIFY2(page.find("解答 : \r\n") != std::string::npos, page.c_str());

        click(answer->control<QWidget>(QStringLiteral("Image12")));
        const std::string faq = rig.shell.opened.back();
        QVERIFY2(
            faq.find("?testid=NXN-101&testno=" +
                     std::to_string(rig.session->exam.question(1).QuesNum)) != std::string::npos,
            faq.c_str());

        auto* first = answer->control<QWidget>(QStringLiteral("Button3"));
        auto* second = answer->control<QWidget>(QStringLiteral("Button4"));
        QVERIFY(first->isEnabled());
        QCOMPARE(first->toolTip(), QStringLiteral("OSI参照モデル"));
        QVERIFY(!second->isEnabled());
        QVERIFY(second->toolTip().isEmpty());

        // No disc and no setting: the copy under Ref/ opens directly.
        QVERIFY(QDir().mkpath(rig.path(QStringLiteral("bin/Ref/nexa"))));
        QFile ref(rig.path(QStringLiteral("bin/Ref/nexa/osi.html")));
        QVERIFY(ref.open(QIODevice::WriteOnly));
        ref.close();
        click(first);
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "Ref/nexa/osi.html");
        // Missing there too: the learner is told there is no disc.
        QVERIFY(ref.remove());
        rig.messages.shown.clear();
        click(first);
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].text, std::string("CD-ROMが装着されていません。"));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));

        // A mounted disc that holds the document is framed from there; discs
        // without it ask for the right one.
        const QString disc = rig.path(QStringLiteral("disc/"));
        QVERIFY(QDir().mkpath(disc + QStringLiteral("nexa")));
        rig.session->cdromRoots = {rig.path(QStringLiteral("empty/")).toStdString(),
                                   disc.toStdString()};
        QFile onDisc(disc + QStringLiteral("nexa/osi.html"));
        QVERIFY(onDisc.open(QIODevice::WriteOnly));
        onDisc.close();
        click(first);
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "Launch.htm");
        QVERIFY(fileText(rig.bin() + "Launch.htm")
                    .find("<FRAME SRC=\"file:///" + disc.mid(1).toStdString() +
                          "nexa/osi.html\"") != std::string::npos);
        QVERIFY(onDisc.remove());
        rig.messages.shown.clear();
        click(first);
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].text, std::string("CBTのCD-ROMをセットしてください。"));

        // A web address in CD_PATH frames the document in the launch page.
        rig.settings.write("CD_PATH", "http://docs.example\\cbt\\");
        click(first);
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "Launch.htm");
        const std::string launch = fileText(rig.bin() + "Launch.htm");
        QVERIFY2(launch.find("<FRAME SRC=\"http://docs.example/cbt/nexa/osi.html\"") !=
                     std::string::npos,
                 launch.c_str());
    }

    void anHtmlCourseUnfoldsIntoItsPage() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXA-330", 10, AnswerStyle::Single);
        TCheatForm* answer = openAnswer(rig, exam);
        QVERIFY(answer != nullptr);
        click(answer->control<QWidget>(QStringLiteral("Button2")));
        auto* browser = answer->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"));
        QVERIFY(browser->isVisible());
        QVERIFY(browser->height() > 100);
        QCOMPARE(answer->control<QWidget>(QStringLiteral("Memo1"))->size(), QSize(0, 0));
        const QString page = rig.path(QStringLiteral("QDAT/nexa/cheat.htm"));
        QCOMPARE(browser->pageUrl().toLocalFile(), page);
        const std::string html = fileText(page.toStdString());
        QVERIFY(html.find("【参照】") != std::string::npos);
    }
};

QTEST_MAIN(TestAnswerView)
#include "tst_answer_view.moc"
