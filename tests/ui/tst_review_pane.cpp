// The result screen's review pane: grid rows of every style selected with
// the mouse and the keyboard, and what the pane's buttons open.

#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "exam_rig.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TResultForm.h"
#include "ui/startup/screens.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle5View.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/result_grid.h"

using tovalo::AnswerStyle;
using tovalo::ExamQuestion;
using tovalo::ui::ResultGrid;
using tovalo::ui::TResultForm;

namespace {

const QColor kNavy(0, 0, 128);

QPlainTextEdit* memo(TResultForm* result) {
    return result->control<QPlainTextEdit>(QStringLiteral("Memo1"));
}

// A click on grid row `row`, where the learner sees it.
void clickRow(TResultForm* result, int row) {
    auto* grid = result->control<ResultGrid>(QStringLiteral("StringGrid1"));
    grid->scrollTo(grid->model()->index(row, 0));
    const QRect cell = grid->visualRect(grid->model()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

bool shown(TResultForm* result, const char* name) {
    auto* w = result->control<QWidget>(QString::fromLatin1(name));
    return w != nullptr && w->isVisible();
}

std::string fileText(const std::string& path) {
    auto bytes = tovalo::readWholeFile(path);
    return bytes ? tovalo::text::cp932ToUtf8(*bytes) : std::string();
}

TResultForm* graded(ExamRig& rig) {
    for (int p = 1; p <= rig.session->exam.questionCount(); p += 2) {
        rig.answerRight(p);
    }
    TResultForm* result = rig.screens->ResultForm;
    result->show();
    return QTest::qWaitForWindowExposed(result) ? result : nullptr;
}

}  // namespace

class TestReviewPane : public QObject {
    Q_OBJECT

  private slots:
    void rowsOfEveryStyle() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXS-210", 16, 30);
        TResultForm* result = graded(rig);
        QVERIFY(result != nullptr);
        // At the screen's design size the text is 233 high, 201 over a row
        // of buttons.
        result->resize(760, 569);
        QTRY_COMPARE(result->size(), QSize(760, 569));
        const std::map<AnswerStyle, const char*> viewButtons{
            {AnswerStyle::Graphic, "Image9"},
            {AnswerStyle::ClickPicture, "Image9"},
            {AnswerStyle::Panel, "Image10"},
            {AnswerStyle::Descriptive, "ButtonType5"}};
        std::set<AnswerStyle> seen;
        for (int row = 1; row <= 16; ++row) {
            const ExamQuestion& q = rig.session->exam.question(row);
            const AnswerStyle style = tovalo::answerStyle(q.Style);
            seen.insert(style);
            clickRow(result, row);
            const QString text = memo(result)->toPlainText();
            QVERIFY2(text.startsWith(QStringLiteral("【問題】\n")), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("【解説】")));
            QCOMPARE(result->control<QLabel>(QStringLiteral("Label10"))
                         ->palette()
                         .color(QPalette::Window),
                     QColor(255, 0, 0));
            const auto button = viewButtons.find(style);
            const bool special = button != viewButtons.end();
            QCOMPARE(text.contains(QStringLiteral("【選択肢】")), !special);
            for (const char* name : {"Image9", "Image10", "ButtonType5", "Image15", "Image16"}) {
                QCOMPARE(shown(result, name), special && std::string(name) == button->second);
            }
            // The bottom bar is there for every question.
            for (const char* name : {"Button4", "Button5", "Button6", "Button7", "Image7"}) {
                QVERIFY(shown(result, name));
            }
            const bool figureLine = q.QuesText.starts_with("<INCLUDE IMG>");
            const int memoBottom = memo(result)->geometry().bottom();
            QCOMPARE(memo(result)->height(), special || figureLine ? 201 : 233);
            if (special || figureLine) {
                // The row of buttons sits between the text and the bar.
                const QWidget* first = result->control<QWidget>(
                    special ? QString::fromLatin1(button->second) : QStringLiteral("Image11"));
                QVERIFY(first->y() > memoBottom);
                QVERIFY(first->geometry().bottom() <
                        result->control<QWidget>(QStringLiteral("Image7"))->y());
            }
            if (special && style != AnswerStyle::ClickPicture) {
                // The View shows this row's question, over the result screen.
                QWidget* view = style == AnswerStyle::Graphic
                                    ? static_cast<QWidget*>(rig.screens->frmSelStyle3View)
                                : style == AnswerStyle::Panel
                                    ? static_cast<QWidget*>(rig.screens->frmSelStyle4View)
                                    : static_cast<QWidget*>(rig.screens->frmSelStyle5View);
                QTest::mouseClick(result->control<QWidget>(QString::fromLatin1(button->second)),
                                  Qt::LeftButton);
                QCOMPARE(QApplication::activeModalWidget(), view);
                QCOMPARE(rig.session->exam.handoff().answerSlot,
                         tovalo::styleHandoff(style, q.ShownChoice, {}).answerSlot);
                view->hide();
            }
        }
        QVERIFY(seen.size() >= 5);

        // The heading brings the verdict back, headings navy again.
        QTest::mouseClick(result->control<QLabel>(QStringLiteral("Label11")), Qt::LeftButton);
        QVERIFY(memo(result)->toPlainText().startsWith(QStringLiteral("レベル:")));
        QCOMPARE(
            result->control<QLabel>(QStringLiteral("Label10"))->palette().color(QPalette::Window),
            kNavy);
        QVERIFY(!shown(result, "Image7"));
        // The same row again shows its question again.
        clickRow(result, 16);
        QVERIFY(memo(result)->toPlainText().startsWith(QStringLiteral("【問題】")));

        // From the keyboard: the grid's arrow keys walk the rows.
        clickRow(result, 1);
        const QString first = memo(result)->toPlainText();
        QTest::mouseClick(result->control<QLabel>(QStringLiteral("Label11")), Qt::LeftButton);
        auto* grid = result->control<ResultGrid>(QStringLiteral("StringGrid1"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(memo(result)->toPlainText(), first);
        result->hide();
    }

    void figuresLettersAndLinks() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXS-210", 16, 30, tovalo::SelectionMode::Normal,
                     [](std::vector<ExamQuestion>& exam) {
                         ExamRig::firstWhere([](const ExamQuestion& q) {
                             return (q.Style == 1 || q.Style == 2) &&
                                    q.QuesText.find(".jpg@") != std::string::npos;
                         })(exam);
                         ExamQuestion& q = exam.front();
                         q.Explanation = "\r\n<INCLUDE IMG>@e1.jpg@e2.jpg@e3.bmp\r\n解説本文";
                         q.RefText = {"教本", "", "", ""};
                         q.RefPage = {"0", "12", "0", "0"};
                         q.CbtFile[1] = "CBTDISC1/nexa/osi.html";
                         q.CbtHint[1] = "OSI参照モデル";
                     });
        rig.answerRight(1);
        TResultForm* result = rig.screens->ResultForm;
        result->show();
        QVERIFY(QTest::qWaitForWindowExposed(result));
        clickRow(result, 1);
        const QString text = memo(result)->toPlainText();
        QVERIFY(!text.contains(QStringLiteral("INCLUDE")));
        QVERIFY2(text.contains(QStringLiteral("【参照】\n教本 \n12P")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("\nA. ")));
        QVERIFY(shown(result, "Image11"));
        QVERIFY(shown(result, "Image12"));
        QVERIFY(shown(result, "ImgFig3"));

        tovalo::ui::TRefImgForm* figure = rig.screens->RefImgForm;
        QTest::mouseClick(result->control<QWidget>(QStringLiteral("Image12")), Qt::LeftButton);
        QTRY_VERIFY(figure->isVisible());
        QCOMPARE(figure->windowTitle(), QStringLiteral("図2"));
        QTest::mouseClick(result->control<QWidget>(QStringLiteral("ImgFig3")), Qt::LeftButton);
        QCOMPARE(figure->windowTitle(), QStringLiteral("解説図3"));
        QCOMPARE(figure->FigurePath, rig.path(QStringLiteral("QDAT/nexa/img/e3.bmp")));
        figure->hide();

        // Training material 2 only; the support page tells the stored answer.
        QVERIFY(!result->control<QWidget>(QStringLiteral("Button5"))->isEnabled());
        auto* training = result->control<QWidget>(QStringLiteral("Button6"));
        QVERIFY(training->isEnabled());
        QCOMPARE(training->toolTip(), QStringLiteral("OSI参照モデル"));
        QTest::mouseClick(result->control<QWidget>(QStringLiteral("Button4")), Qt::LeftButton);
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "Ques.htm");
        const std::string page = fileText(rig.shell.opened.back());
        const std::string correct = result->control<ResultGrid>(QStringLiteral("StringGrid1"))
                                        ->cellText(1, 2)
                                        .toStdString();
        QVERIFY2(
            page.find("正解 :" + correct + "\r\n解答 :" + correct + " \r\n") != std::string::npos,
            page.c_str());
        QTest::mouseClick(result->control<QWidget>(QStringLiteral("Button7")), Qt::LeftButton);
        QVERIFY(rig.shell.opened.back().find("testid=NXS-210&testno=") != std::string::npos);
        result->hide();
    }

    void anHtmlCourseWritesTheResultPage() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam(
            "nexa", "NXA-330", 10, 40, tovalo::SelectionMode::Normal,
            [](std::vector<ExamQuestion>& exam) {
                ExamRig::firstWhere([](const ExamQuestion& q) { return q.Style == 1; })(exam);
                exam.front().ShownChoice[0] = "a <";
            });
        TResultForm* result = graded(rig);
        QVERIFY(result != nullptr);
        clickRow(result, 1);
        auto* browser = result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"));
        const QString path = rig.path(QStringLiteral("QDAT/nexa/result.htm"));
        QCOMPARE(browser->pageUrl(), QUrl::fromLocalFile(path));
        const std::string html = fileText(path.toStdString());
        QVERIFY(html.find("【問題】<br>") != std::string::npos);
        QVERIFY2(html.find(". a&nbsp;&lt;<br>") != std::string::npos, html.c_str());
        QVERIFY(html.find("body { font-size: 9pt }") != std::string::npos);
        result->hide();
    }
};

QTEST_MAIN(TestReviewPane)
#include "tst_review_pane.moc"
