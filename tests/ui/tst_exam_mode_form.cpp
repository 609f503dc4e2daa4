// Whole exams through the real screens: the introduction box, the exam
// screen, the review list and their side windows, with the clock driven by
// calling its tick.

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "core/exam/exam_screen.h"
#include "core/exam/page_writer.h"
#include "core/exam/review_list.h"
#include "core/styles/answer_style.h"
#include "core/text/cp932.h"
#include "exam_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TResultForm.h"
#include "ui/styles/TfrmSelStyle4.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/choice_text.h"
#include "ui/widgets/clock_face.h"
#include "ui/widgets/image_button.h"

using tovalo::ExamQuestion;
using tovalo::SelectionMode;
using tovalo::ui::TExamModeForm;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Skips the card: Space opens the exam screen at once.
TExamModeForm* openExam(ExamRig& rig) {
    rig.screens->GenericMBForm->startExam();
    QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
    return rig.screens->ExamModeForm;
}

void tick(TExamModeForm* exam, int times = 1) {
    for (int i = 0; i < times; ++i) {
        exam->Timer1Timer();
    }
}

// How often the time-up notice was shown, with its own caption and text.
int timeUpNotices(const ExamRig& rig) {
    int n = 0;
    for (const auto& box : rig.messages.shown) {
        n += box.caption == "タイムアップ" && box.text == "タイムアップです。" ? 1 : 0;
    }
    return n;
}

int elapsed(const ExamRig& rig) {
    return rig.session->exam.engine().progress().ElapsedSeconds;
}

const std::array<bool, 10> kNoMarks{};

}  // namespace

class TestExamModeForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void introductionBoxNamesTheTestAndHandsOverAfterTwoSeconds() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 12, 0);
        rig.screens->CourseMenuForm->show();
        tovalo::ui::TGenericMBForm* card = rig.screens->GenericMBForm;
        // The category screen's start: the card replaces the menu.
        emit rig.screens->CatSelForm->examStarted();

        QVERIFY(card->isVisible());
        QVERIFY(!rig.screens->CourseMenuForm->isVisible());
        QCOMPARE(card->size(), QSize(300, 210));
        QCOMPARE(card->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
        QCOMPARE(card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->text(),
                 QStringLiteral("テスト名 : ネットワーク基礎 "));
        QCOMPARE(card->control<QLabel>(QStringLiteral("Line%1").arg((1) + 1))->text(),
                 QStringLiteral("問題数   : 12問"));
        QCOMPARE(card->control<QLabel>(QStringLiteral("Line%1").arg((2) + 1))->text(),
                 QStringLiteral("制限時間 : 0分"));
        QCOMPARE(card->Timer1->interval(), 100);

        card->Timer1Timer();
        QCOMPARE(rig.sound.played, std::vector<std::string>{"wav/start.wav"});
        for (int i = 2; i <= 20; ++i) {
            card->Timer1Timer();
        }
        QVERIFY(card->isVisible());
        QVERIFY(!rig.screens->ExamModeForm->isVisible());
        card->Timer1Timer();
        QVERIFY(!card->isVisible());
        QVERIFY(!card->Timer1->isActive());
        QVERIFY(rig.screens->ExamModeForm->isVisible());
        QCOMPARE(rig.sound.played.size(), std::size_t(1));
    }

    // The card shows the fields as typed, and a long title wraps between
    // characters onto at most three lines, pushing the others down.
    void introductionBoxWrapsALongTitle() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 12, 30);
        tovalo::ui::Session& s = *rig.session;
        tovalo::CourseEntry course = s.exam.course();
        course.ExamTitle =
            "ネットワーク基礎 総合演習 ルーティングとスイッチングと無線LANと"
            "セキュリティの全範囲を網羅した模擬試験 第二版 改訂増補 最終確認用";
        QVERIFY(s.exam.open(course).ok());
        QVERIFY(s.exam.start({"012", "030", SelectionMode::Normal, false}, s.random).ok);
        tovalo::ui::TGenericMBForm* card = rig.screens->GenericMBForm;
        card->startExam();

        const QStringList titleLines = card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))
                                           ->text()
                                           .split(QLatin1Char('\n'));
        QCOMPARE(titleLines.size(), 3);
        QVERIFY(titleLines.last().endsWith(QChar(0x2026)));
        const QFontMetrics fm(card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->font());
        for (const QString& line : titleLines) {
            QVERIFY(fm.horizontalAdvance(line) <=
                    card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->width());
        }
        QVERIFY(
            titleLines.join(QString()).chopped(1).startsWith(QStringLiteral("テスト名 : ネット")));
        QVERIFY(card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->height() >=
                3 * fm.lineSpacing());
        QVERIFY(card->control<QLabel>(QStringLiteral("Line%1").arg((1) + 1))->y() >=
                card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->geometry().bottom());
        // All of it on the card's white sheet, clear of its footer.
        QVERIFY(card->control<QLabel>(QStringLiteral("Line%1").arg((0) + 1))->y() >= 62);
        QVERIFY(card->control<QLabel>(QStringLiteral("Line%1").arg((2) + 1))->geometry().bottom() <
                card->height() - 30);
        QCOMPARE(card->control<QLabel>(QStringLiteral("Line%1").arg((1) + 1))->text(),
                 QStringLiteral("問題数   : 012問"));
        QCOMPARE(card->control<QLabel>(QStringLiteral("Line%1").arg((2) + 1))->text(),
                 QStringLiteral("制限時間 : 030分"));
        QTest::keyClick(card, Qt::Key_Space);
    }

    void spaceOpensTheExamBeforeTheStartSound() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 5, 10);
        TExamModeForm* exam = openExam(rig);
        QVERIFY(!rig.screens->GenericMBForm->isVisible());
        QVERIFY(exam->isVisible());
        QVERIFY(exam->Timer1->isActive());
        QVERIFY(rig.sound.played.empty());
    }

    void plainTextQuestionIsLaidOutByItsStyle() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 30, 45, SelectionMode::Normal,
                     ExamRig::firstWhere([](const ExamQuestion& q) {
                         return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Sorted;
                     }));
        TExamModeForm* exam = openExam(rig);
        const ExamQuestion& first = rig.session->exam.questions()[0];

        QCOMPARE(exam->windowTitle(), QStringLiteral("Tovalo - 模擬試験中..."));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("QuesLabel"))->text(), QStringLiteral("Q.1"));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("ProgressLabel"))->text(),
                 QStringLiteral("1問目/30問中"));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("TitleBox"))->text(),
                 QStringLiteral("ネットワーク基礎"));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("CountLabel"))->text(),
                 QStringLiteral("問題数 : 全30問"));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("LimitLabel"))->text(),
                 QStringLiteral("制限時間 : 45' 0"));
        QVERIFY(exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->isVisible());
        QVERIFY(
            !exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->isVisible());
        QVERIFY(
            !exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->hasBrowser());
        QCOMPARE(exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->toPlainText(),
                 qs(tovalo::textWithoutFigureLine(first.QuesText)).remove(QLatin1Char('\r')));
        // Capital letter labels, so the repeat button is offered; no case study.
        QVERIFY(
            exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))->isVisible());
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))->isVisible());
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton"))->isEnabled());
        QVERIFY(!exam->control<QLabel>(QStringLiteral("LevelImage"))->pixmap().isNull());
        QCOMPARE(exam->control<QLabel>(QStringLiteral("LevelImage"))->pixmap().size(),
                 QSize(129, 42));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("HelpText"))->text(),
                 QStringLiteral("ボタンをクリックして、解答用のウィンドウで解答してください。"));

        // Style 9: radio rows, each text without its two-character sort key.
        std::vector<int> lines;
        for (int k = 0; k < TExamModeForm::kChoices; ++k) {
            const bool shown = k < first.ShowCount;
            QCOMPARE(exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((k) + 1))
                         ->isVisible(),
                     shown);
            QVERIFY(
                !exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((k) + 1))->isVisible());
            QCOMPARE(
                exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((k) + 1))->text(),
                QString(QChar('A' + k)) + QLatin1Char('.'));
            if (shown) {
                QCOMPARE(exam->control<tovalo::ui::ChoiceText>(
                                 QStringLiteral("ChoiceText%1").arg((k) + 1))
                             ->text(),
                         qs(first.ShownChoice[k]).mid(2));
            }
            lines.push_back(
                exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText%1").arg((k) + 1))
                    ->lineCountFor(exam->control<tovalo::ui::ChoiceText>(
                                           QStringLiteral("ChoiceText%1").arg((k) + 1))
                                       ->width()));
        }
        const std::vector<tovalo::ChoiceRowPlace> places = tovalo::choiceRowPlaces(lines);
        for (int k = 0; k < TExamModeForm::kChoices; ++k) {
            QCOMPARE(
                exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText%1").arg((k) + 1))
                    ->y(),
                places[k].textTop);
            QCOMPARE(
                exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText%1").arg((k) + 1))
                    ->height(),
                places[k].textHeight);
            QCOMPARE(exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((k) + 1))->y(),
                     places[k].markTop);
        }

        // The panels follow the window's height.
        exam->resize(900, 700);
        const tovalo::ExamPanels panels = tovalo::examPanels(exam->height(), 4);
        QCOMPARE(exam->control<QFrame>(QStringLiteral("QuesPanel"))->height(),
                 panels.questionHeight);
        QCOMPARE(exam->control<QFrame>(QStringLiteral("AnsPanel"))->y(), panels.answerTop);
        QCOMPARE(exam->control<QFrame>(QStringLiteral("AnsPanel"))->height(), panels.answerHeight);
        exam->resize(500, 400);
        QCOMPARE(exam->size(), QSize(760, 562));
    }

    void longPlainTextGetsAScrollBarAndTheWheelMovesOneLine() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 5, 10, SelectionMode::Normal,
                     [](std::vector<ExamQuestion>& exam) {
                         exam[0].QuesText = "一行目";
                         std::string longText;
                         for (int i = 1; i <= 20; ++i) {
                             longText += "第" + std::to_string(i) + "行\r\n";
                         }
                         exam[1].QuesText = longText;
                     });
        TExamModeForm* exam = openExam(rig);
        QCOMPARE(
            exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->verticalScrollBarPolicy(),
            Qt::ScrollBarAlwaysOff);
        exam->NextClick();
        QCOMPARE(
            exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->verticalScrollBarPolicy(),
            Qt::ScrollBarAlwaysOn);
        QScrollBar* bar =
            exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        QWheelEvent down(
            QPointF(10, 10),
            exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->mapToGlobal(QPointF(10, 10)),
            QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(
            exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->viewport(), &down);
        QCOMPARE(bar->value(), 2);
    }

    void answersAreRecordedPerShownSlotAndComeBack() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 40, 60);
        TExamModeForm* exam = openExam(rig);
        const std::vector<ExamQuestion>& questions = rig.session->exam.questions();
        const int n = static_cast<int>(questions.size());
        std::vector<std::array<bool, 10>> expected(n);
        for (int q = 1; q <= n; ++q) {
            const ExamQuestion& question = questions[q - 1];
            QCOMPARE(exam->control<QLabel>(QStringLiteral("QuesLabel"))->text(),
                     QStringLiteral("Q.%1").arg(q));
            const int slot = (q % question.ShowCount) + 1;
            if (tovalo::answerStyle(question.Style) == tovalo::AnswerStyle::Multiple) {
                QTest::mouseClick(
                    exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((slot - 1) + 1)),
                    Qt::LeftButton);
                expected[q - 1][slot - 1] = true;
            } else {
                exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((slot - 1) + 1))
                    ->click();
                expected[q - 1][slot - 1] = true;
            }
            if (q % 7 == 0) {
                exam->control<QCheckBox>(QStringLiteral("StickyNote"))->setChecked(true);
            }
            QCOMPARE(exam->nextShowsGrade(), q == n);
            exam->NextClick();
        }
        const tovalo::ExamProgress& progress = rig.session->exam.engine().progress();
        for (int q = 1; q <= n; ++q) {
            QCOMPARE(progress.Answer[q - 1], expected[q - 1]);
            QCOMPARE(bool(progress.Marked[q - 1]), q % 7 == 0);
        }
        QCOMPARE(progress.CurrentIndex, n + 1);
        QVERIFY(rig.screens->ConfirmForm->isVisible());

        // Back to question 7 from the list: its marks and sticky note return.
        rig.screens->ConfirmForm->StringGrid1DblClick(7);
        QCOMPARE(exam->marks(), expected[6]);
        QVERIFY(exam->control<QCheckBox>(QStringLiteral("StickyNote"))->isChecked());
        exam->PrevClick();
        QCOMPARE(exam->marks(), expected[5]);
        QVERIFY(!exam->control<QCheckBox>(QStringLiteral("StickyNote"))->isChecked());
    }

    void styleTwoKeepsToItsAnswerCountAndShowsItsFigures() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXS-210", 16, 30, SelectionMode::Normal,
                     ExamRig::firstWhere([](const ExamQuestion& q) {
                         return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Multiple &&
                                q.AnswerCount == 2 && q.ShowCount >= 4 &&
                                q.QuesText.find("<INCLUDE IMG>") != std::string::npos;
                     }));
        TExamModeForm* exam = openExam(rig);
        QVERIFY(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1))->isVisible());
        QVERIFY(!exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((0) + 1))
                     ->isVisible());
        QTest::mouseClick(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1)),
                          Qt::LeftButton);
        QTest::mouseClick(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((2) + 1)),
                          Qt::LeftButton);
        QTest::mouseClick(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((3) + 1)),
                          Qt::LeftButton);
        QVERIFY(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1))->isChecked());
        QVERIFY(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((2) + 1))->isChecked());
        QVERIFY(!exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((3) + 1))->isChecked());
        // Unchecking one makes room again.
        QTest::mouseClick(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1)),
                          Qt::LeftButton);
        QTest::mouseClick(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((3) + 1)),
                          Qt::LeftButton);
        QVERIFY(exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((3) + 1))->isChecked());

        // Two names after "<INCLUDE IMG>", so two figure buttons.
        QVERIFY(exam->control<tovalo::ui::ImageButton>(QStringLiteral("FigButton%1").arg((0) + 1))
                    ->isVisible());
        QVERIFY(exam->control<tovalo::ui::ImageButton>(QStringLiteral("FigButton%1").arg((1) + 1))
                    ->isVisible());
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("FigButton%1").arg((2) + 1))
                     ->isVisible());
        QVERIFY(exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("図1と図2は")));
        exam->control<tovalo::ui::ImageButton>(QStringLiteral("FigButton%1").arg((1) + 1))->click();
        tovalo::ui::TRefImgForm* figure = rig.screens->RefImgForm;
        QVERIFY(figure->isVisible());
        QCOMPARE(figure->windowTitle(), QStringLiteral("図2"));
        QVERIFY(figure->FigurePath.endsWith(QStringLiteral("/QDAT/nexa/img/nxs_disk_graph.bmp")));
        const QSize picture = QImage(figure->FigurePath).size();
        QVERIFY(!picture.isEmpty());
        QCOMPARE(figure->size(), QSize(picture.width(), picture.height() + 65));

        // A name that is no picture leaves the last one in place.
        figure->showFigure(QStringLiteral("図3"), rig.path("QDAT/nexa/img/missing.jpg"));
        QCOMPARE(figure->control<QLabel>(QStringLiteral("Image1"))->pixmap().size(), picture);
        QCOMPARE(figure->size(), QSize(picture.width(), picture.height() + 65));
        figure->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))->click();
        QVERIFY(!figure->isVisible());
    }

    void specialStylesShowTheirButtonWithTheHelpText() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXS-210", 16, 30, SelectionMode::Normal,
                     ExamRig::firstWhere([](const ExamQuestion& q) {
                         return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Panel;
                     }));
        TExamModeForm* exam = openExam(rig);
        for (tovalo::AnswerStyle style : tovalo::ui::ChoicePanel::kWindowStyles) {
            QCOMPARE(exam->control<tovalo::ui::ImageButton>(
                             QStringLiteral("ButtonType%1").arg(static_cast<int>(style)))
                         ->isVisible(),
                     style == tovalo::AnswerStyle::Panel);
        }
        QVERIFY(exam->control<QLabel>(QStringLiteral("HelpText"))->isVisible());
        for (int k = 0; k < TExamModeForm::kChoices; ++k) {
            QVERIFY(!exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((k) + 1))
                         ->isVisible());
            QVERIFY(
                !exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((k) + 1))->isVisible());
        }
        const tovalo::StyleHandoff& handoff = rig.session->exam.handoff();
        QVERIFY(handoff.answerSlot >= 1);
        QVERIFY(handoff.groups[0].starts_with("@"));

        // A solved window marks the answer slot; a new try starts cleared.
        exam->StyleButtonClick(tovalo::AnswerStyle::Panel);
        QVERIFY(rig.screens->frmSelStyle4 != nullptr);
        rig.session->exam.setStyleSolved(true);
        rig.screens->frmSelStyle4->hide();
        std::array<bool, 10> solved{};
        solved[handoff.answerSlot - 1] = true;
        QCOMPARE(exam->marks(), solved);
        exam->StyleButtonClick(tovalo::AnswerStyle::Panel);
        QCOMPARE(exam->marks(), kNoMarks);
        rig.screens->frmSelStyle4->hide();
        QCOMPARE(exam->marks(), kNoMarks);
    }

    void keysMoveThroughTheExam() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 3, 10);
        TExamModeForm* exam = openExam(rig);
        const tovalo::ExamProgress& progress = rig.session->exam.engine().progress();

        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_Backspace);
        QCOMPARE(progress.CurrentIndex, 1);
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_Return);
        QCOMPARE(progress.CurrentIndex, 2);
        QVERIFY(exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton"))->isEnabled());
        QTest::keyClick(exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((0) + 1)),
                        Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(progress.CurrentIndex, 3);
        QVERIFY(exam->nextShowsGrade());
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_Backspace);
        QCOMPARE(progress.CurrentIndex, 2);
        QVERIFY(!exam->nextShowsGrade());

        // F1 shows the correct choices in red beside the answer window.
        QVERIFY(!progress.AnswerViewed[1]);
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_F1);
        QVERIFY(progress.AnswerViewed[1]);
        QVERIFY(rig.screens->CheatForm->isVisible());
        const ExamQuestion& q2 = rig.session->exam.questions()[1];
        for (int k = 0; k < q2.ShowCount; ++k) {
            QCOMPARE(
                exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText%1").arg((k) + 1))
                    ->textColour(),
                q2.ShownCorrect[k] ? QColor(255, 0, 0) : QColor(Qt::black));
        }
        // Moving on closes it and the choices turn black again.
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_Return);
        QVERIFY(!rig.screens->CheatForm->isVisible());
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_Backspace);
        for (int k = 0; k < q2.ShowCount; ++k) {
            QCOMPARE(
                exam->control<tovalo::ui::ChoiceText>(QStringLiteral("ChoiceText%1").arg((k) + 1))
                    ->textColour(),
                QColor(Qt::black));
        }

        // No case study here: F9 does nothing. End grades from anywhere.
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_F9);
        QVERIFY(!rig.screens->CaseStudyForm->isVisible());
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_End);
        QVERIFY(rig.screens->ConfirmForm->isVisible());
        QCOMPARE(progress.CurrentIndex, 2);
    }

    void warningsAndTimeUpOfAThirtyMinuteExam() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("sorane", "SRD-120", 10, 30);
        TExamModeForm* exam = openExam(rig);
        // The opening case study must be closed before time can run out.
        QVERIFY(rig.screens->CaseStudyForm->isVisible());
        rig.screens->CaseStudyForm->Button1Click();
        rig.screens->CaseStudyForm->showOnRequest();
        rig.screens->RefImgForm->showFigure(QStringLiteral("図1"),
                                            rig.path("QDAT/sorane/img/srd_er.jpg"));

        // While the notice waits, the clock has stopped at zero and nothing
        // is closed or graded yet.
        bool pending = false;
        rig.messages.whileShown = [&] {
            pending = true;
            QVERIFY(!exam->Timer1->isActive());
            QCOMPARE(exam->control<QLabel>(QStringLiteral("RemainLabel"))->text(),
                     QStringLiteral("残り時間 : 0' 0"));
            QVERIFY(!rig.session->exam.engine().progress().TimeUp);
            QVERIFY(rig.screens->RefImgForm->isVisible());
            QVERIFY(!rig.screens->ConfirmForm->isVisible());
        };
        std::vector<std::pair<int, std::string>> warnings;
        while (exam->Timer1->isActive() && elapsed(rig) < 2000) {
            const int before = elapsed(rig);
            const std::size_t sounds = rig.sound.played.size();
            tick(exam);
            if (rig.sound.played.size() > sounds) {
                warnings.emplace_back(before, rig.sound.played.back());
            }
            if (before == 29 * 60 + 10) {
                // The last minute: red hand on the small face.
                const tovalo::ClockHand hand = tovalo::clockHand(before);
                const QColor tip =
                    exam->control<tovalo::ui::ClockFace>(QStringLiteral("Clock"))
                        ->canvas()
                        .pixelColor((hand.x1 + hand.x2) / 2, (hand.y1 + hand.y2) / 2);
                QVERIFY(tip.red() > 150 && tip.green() < 100);
            }
            if (before == 100) {
                const tovalo::ClockHand hand = tovalo::clockHand(before);
                const QColor tip =
                    exam->control<tovalo::ui::ClockFace>(QStringLiteral("Clock"))
                        ->canvas()
                        .pixelColor((hand.x1 + hand.x2) / 2, (hand.y1 + hand.y2) / 2);
                QVERIFY(tip.red() < 80 && tip.green() < 80 && tip.blue() < 80);
            }
        }
        const std::vector<std::pair<int, std::string>> expected = {
            {20 * 60, "wav/10min.wav"}, {25 * 60, "wav/05min.wav"}, {29 * 60, "wav/01min.wav"}};
        QCOMPARE(warnings, expected);
        QCOMPARE(elapsed(rig), 30 * 60);
        QVERIFY(!exam->Timer1->isActive());
        QVERIFY(pending);
        QCOMPARE(timeUpNotices(rig), 1);
        QVERIFY(rig.session->exam.engine().progress().TimeUp);
        QVERIFY(!rig.screens->RefImgForm->isVisible());
        QVERIFY(!rig.screens->CaseStudyForm->isVisible());
        tovalo::ui::TConfirmForm* list = rig.screens->ConfirmForm;
        QVERIFY(list->isVisible());
        QVERIFY(!list->control<QLabel>(QStringLiteral("Label2"))->isVisible());
        // Only grading is left: no double-click, no closing.
        list->StringGrid1DblClick(3);
        QVERIFY(list->isVisible());
        QVERIFY(!exam->reviewing());
        list->close();
        QVERIFY(list->isVisible());
        list->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))->click();
        QVERIFY(!list->isVisible());
        QVERIFY(!exam->isVisible());
        QVERIFY(rig.screens->ResultForm->isVisible());
    }

    void paceReminderBlinksFromSixtyTwoSecondsOfQuestionOne() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 10, 10);
        TExamModeForm* exam = openExam(rig);
        tick(exam, 62);
        QCOMPARE(elapsed(rig), 62);
        QVERIFY(!exam->paceReminderShown());
        tick(exam);
        QVERIFY(exam->paceReminderShown());
        QCOMPARE(exam->control<QLabel>(QStringLiteral("PaceLabel1"))->text(),
                 QStringLiteral("そろそろ次の問題へ"));
        QCOMPARE(exam->control<QLabel>(QStringLiteral("PaceLabel2"))->text(),
                 QStringLiteral("進みましょう。"));
        tick(exam);
        QVERIFY(!exam->paceReminderShown());
        tick(exam);
        QVERIFY(exam->paceReminderShown());
        // A new question hides it, and question 2 is not due before 122 s.
        exam->NextClick();
        QVERIFY(!exam->paceReminderShown());
        tick(exam, 10);
        QVERIFY(!exam->paceReminderShown());
    }

    void suspendStopsTheClockAndTheCommands() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 5, 10);
        TExamModeForm* exam = openExam(rig);
        exam->NextClick();
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->toolTip(),
                 QStringLiteral("試験を中断します"));

        exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->click();
        QVERIFY(exam->suspended());
        QVERIFY(!exam->Timer1->isActive());
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->toolTip(),
                 QStringLiteral("試験を再開します"));
        for (tovalo::ui::ImageButton* b :
             {exam->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("AnswerButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("NextButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))}) {
            QVERIFY(!b->isEnabled());
        }
        QVERIFY(
            exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->isEnabled());
        for (int key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_End, Qt::Key_F1}) {
            QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key(key));
        }
        QCOMPARE(rig.session->exam.engine().progress().CurrentIndex, 2);
        QVERIFY(!rig.session->exam.engine().progress().AnswerViewed[1]);
        QVERIFY(!rig.screens->ConfirmForm->isVisible());

        exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->click();
        QVERIFY(exam->Timer1->isActive());
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->toolTip(),
                 QStringLiteral("試験を中断します"));
        for (tovalo::ui::ImageButton* b :
             {exam->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("AnswerButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("NextButton")),
              exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))}) {
            QVERIFY(b->isEnabled());
        }
        // On question 1 the previous button stays grey after resuming.
        exam->PrevClick();
        exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->click();
        exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->click();
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton"))->isEnabled());
    }

    void reviewListMarksPagesAndJumpsBack() {
        ExamRig rig;
        QVERIFY(rig.start({"d"}).ok());
        rig.drawExam("nexa", "NXN-101", 20, 30);
        TExamModeForm* exam = openExam(rig);
        QCOMPARE(exam->windowTitle(), QStringLiteral("Tovalo - 模擬試験中...%1")
                                          .arg(rig.session->exam.questions()[0].QuesNum));
        exam->NextClick();
        exam->control<QCheckBox>(QStringLiteral("StickyNote"))->setChecked(true);
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_End);

        tovalo::ui::TConfirmForm* list = rig.screens->ConfirmForm;
        QVERIFY(list->isVisible());
        QCOMPARE(list->windowTitle(), QStringLiteral("確認"));
        QCOMPARE(list->windowModality(), Qt::ApplicationModal);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid1"))->rowCount(), 21);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid2"))->rowCount(), 21);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid1"))->height(), 21 * 16 + 1);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid1"))->item(2, 0)->text(),
                 QStringLiteral("Q.2"));
        QVERIFY(QFontMetrics(
                    list->control<QTableWidget>(QStringLiteral("StringGrid1"))->item(2, 0)->font())
                        .horizontalAdvance(QStringLiteral("Q.500")) +
                    2 <=
                list->control<QTableWidget>(QStringLiteral("StringGrid1"))->columnWidth(0));
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid1"))->item(2, 1)->text(),
                 qs(tovalo::PageToListText(rig.session->exam.questions()[1].QuesText, 1)));
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid2"))->item(2, 0)->text(),
                 QStringLiteral(" X"));
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid2"))->item(3, 0)->text(),
                 QString());
        QVERIFY(list->control<QLabel>(QStringLiteral("Label2"))->isVisible());
        QCOMPARE(list->control<QScrollArea>(QStringLiteral("ScrollBox"))->height(), 224);

        list->control<QTableWidget>(QStringLiteral("StringGrid1"))->setCurrentCell(15, 1);
        QCOMPARE(
            list->control<QScrollArea>(QStringLiteral("ScrollBox"))->verticalScrollBar()->value(),
            224);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid2"))->currentRow(), 15);
        list->control<QTableWidget>(QStringLiteral("StringGrid1"))->setCurrentCell(14, 1);
        QCOMPARE(
            list->control<QScrollArea>(QStringLiteral("ScrollBox"))->verticalScrollBar()->value(),
            0);

        // Back to question 5 in the review layout.
        list->StringGrid1DblClick(5);
        QVERIFY(!list->isVisible());
        QVERIFY(exam->reviewing());
        QCOMPARE(exam->control<QLabel>(QStringLiteral("QuesLabel"))->text(), QStringLiteral("Q.5"));
        QCOMPARE(exam->windowTitle(),
                 QStringLiteral("見直し中...%1").arg(rig.session->exam.questions()[4].QuesNum));
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))->x(), 654);
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("AnswerButton"))->x(), 554);
        QCOMPARE(
            exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))->x() +
                exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))->width(),
            554 - 20);
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("NextButton"))->isVisible());
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("PrevButton"))->isVisible());
        QVERIFY(
            !exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->isVisible());

        // The grade button shows the list again; grading from there restores
        // the layout and hands over to the result screen.
        exam->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))->click();
        QVERIFY(list->isVisible());
        list->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))->click();
        QVERIFY(!exam->reviewing());
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))->x(), 144);
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("AnswerButton"))->x(), 352);
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("NextButton"))->isHidden());
        QVERIFY(
            !exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->isHidden());
        QVERIFY(!exam->Timer1->isActive());
        QVERIFY(!exam->isVisible());
        QVERIFY(rig.screens->ResultForm->isVisible());
    }

    // Ctrl+End takes the list to its last question, and that row is drawn
    // whole inside the visible area, on any page, however long the exam.
    void reviewListShowsItsLastRowWhole_data() {
        QTest::addColumn<int>("questions");
        for (int n : {5, 14, 15, 40, 500}) {
            QTest::addRow("%d questions", n) << n;
        }
    }

    void reviewListShowsItsLastRowWhole() {
        QFETCH(int, questions);
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // The largest sample course has 204 questions; a longer exam asks
        // some of them again, which the list does not mind.
        rig.drawExam("nexa", "NXN-101", std::min(questions, 204), 0, SelectionMode::Normal,
                     [questions](std::vector<ExamQuestion>& exam) {
                         const std::vector<ExamQuestion> drawn = exam;
                         for (std::size_t k = exam.size(); k < std::size_t(questions); ++k) {
                             exam.push_back(drawn[k % drawn.size()]);
                         }
                     });
        TExamModeForm* exam = openExam(rig);
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_End);
        tovalo::ui::TConfirmForm* list = rig.screens->ConfirmForm;
        QVERIFY(QTest::qWaitForWindowExposed(list));
        QTest::keyClick(list->windowHandle(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(list->control<QTableWidget>(QStringLiteral("StringGrid1"))->currentRow(),
                 questions);

        QWidget* viewport = list->control<QScrollArea>(QStringLiteral("ScrollBox"))->viewport();
        for (int column : {0, 1}) {
            const QRect cell =
                list->control<QTableWidget>(QStringLiteral("StringGrid1"))
                    ->visualRect(list->control<QTableWidget>(QStringLiteral("StringGrid1"))
                                     ->model()
                                     ->index(questions, column));
            const QRect drawn(list->control<QTableWidget>(QStringLiteral("StringGrid1"))
                                  ->viewport()
                                  ->mapTo(viewport, cell.topLeft()),
                              cell.size());
            QVERIFY2(viewport->rect().contains(drawn),
                     qPrintable(QStringLiteral("row %1 at %2,%3 %4x%5 in %6 high")
                                    .arg(questions)
                                    .arg(drawn.x())
                                    .arg(drawn.y())
                                    .arg(drawn.width())
                                    .arg(drawn.height())
                                    .arg(viewport->height())));
        }
        // Fifteen pixels and a line per row, fourteen rows a page.
        QCOMPARE(
            list->control<QTableWidget>(QStringLiteral("StringGrid1"))->rowViewportPosition(2) -
                list->control<QTableWidget>(QStringLiteral("StringGrid1"))->rowViewportPosition(1),
            16);
        QCOMPARE(viewport->height(), 14 * 16);
    }

    void closingTheListFromTheKeyboardReturnsToTheLastQuestion() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 3, 10);
        TExamModeForm* exam = openExam(rig);
        exam->NextClick();
        exam->NextClick();
        exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((1) + 1))->click();
        exam->NextClick();
        tovalo::ui::TConfirmForm* list = rig.screens->ConfirmForm;
        QVERIFY(list->isVisible());
        QCOMPARE(rig.session->exam.engine().progress().CurrentIndex, 4);

        QTest::keyClick(list->control<QTableWidget>(QStringLiteral("StringGrid1")), Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(rig.session->exam.engine().progress().CurrentIndex, 3);
        QCOMPARE(exam->control<QLabel>(QStringLiteral("QuesLabel"))->text(), QStringLiteral("Q.3"));
        QVERIFY(
            exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((1) + 1))->isChecked());
        QVERIFY(exam->nextShowsGrade());
        QVERIFY(!exam->reviewing());
    }

    void assessmentOffersNeitherSuspendNorAnswer() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 10, 15, SelectionMode::Assessment);
        TExamModeForm* exam = openExam(rig);
        QVERIFY(
            !exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->isVisible());
        QVERIFY(
            !exam->control<tovalo::ui::ImageButton>(QStringLiteral("AnswerButton"))->isVisible());
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_F1);
        QVERIFY(!rig.session->exam.engine().progress().AnswerViewed[0]);
        QVERIFY(!rig.screens->CheatForm->isVisible());
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_End);
        rig.screens->ConfirmForm->StringGrid1DblClick(2);
        rig.screens->ConfirmForm->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
            ->click();
        QVERIFY(
            exam->control<tovalo::ui::ImageButton>(QStringLiteral("SuspendButton"))->isHidden());
    }

    void withoutTimeLimitTheClockCountsBelowZero() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 2, 0);
        TExamModeForm* exam = openExam(rig);
        QCOMPARE(exam->control<QLabel>(QStringLiteral("LimitLabel"))->text(),
                 QStringLiteral("制限時間 : 0' 0"));
        tick(exam, 65);
        QCOMPARE(exam->control<QLabel>(QStringLiteral("RemainLabel"))->text(),
                 QStringLiteral("残り時間 : -1' -4"));
        tick(exam);
        QCOMPARE(exam->control<QLabel>(QStringLiteral("RemainLabel"))->text(),
                 QStringLiteral("残り時間 : -1' -5"));
        tick(exam, 3600);
        QVERIFY(exam->Timer1->isActive());
        QCOMPARE(timeUpNotices(rig), 0);
        QVERIFY(rig.sound.played.empty());
        QVERIFY(!exam->paceReminderShown());
    }

    void textCaseStudyOpensModallyAndArmsTheClockWhenClosed() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // A figure window is still open when the exam begins.
        rig.screens->RefImgForm->showFigure(QStringLiteral("図1"),
                                            rig.path("QDAT/sorane/img/srd_er.jpg"));
        rig.drawExam("sorane", "SRD-120", 5, 1);
        TExamModeForm* exam = openExam(rig);
        tovalo::ui::TCaseStudyForm* study = rig.screens->CaseStudyForm;
        QVERIFY(study->isVisible());
        QCOMPARE(study->windowModality(), Qt::ApplicationModal);
        QCOMPARE(study->windowTitle(), QStringLiteral("問題"));
        QCOMPARE(study->size(), QSize(760, 560));
        QVERIFY(!study->htmlMode());
        QVERIFY(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("そらね書房 オンライン書店の注文管理データベース")));
        QCOMPARE(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))->font().family(),
                 QStringLiteral("IPAGothic"));
        QCOMPARE(study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->size(),
                 QSize(0, 0));
        QCOMPARE(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))->size(),
                 study->control<QFrame>(QStringLiteral("Panel1"))->size());
        QVERIFY(
            !study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->hasBrowser());
        QVERIFY(study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((0) + 1))
                    ->isVisible());
        QVERIFY(study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((2) + 1))
                    ->isVisible());
        QVERIFY(!study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((3) + 1))
                     ->isVisible());
        QVERIFY(!exam->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))->isVisible());
        QCOMPARE(exam->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))->toolTip(),
                 QStringLiteral("問題を表示します"));
        // Katakana labels: no repeat button.
        QVERIFY(
            !exam->control<tovalo::ui::ImageButton>(QStringLiteral("RepeatButton"))->isVisible());
        QCOMPARE(exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((1) + 1))->text(),
                 QStringLiteral("ｲ."));

        // While the case study is open time cannot run out.
        tick(exam, 70);
        QVERIFY(exam->Timer1->isActive());
        QCOMPARE(timeUpNotices(rig), 0);

        // A figure shown from the modal case study is usable, also when its
        // window was open before: its own button closes it, clicked through
        // the window system.
        QVERIFY(QTest::qWaitForWindowExposed(study));
        QTest::mouseClick(
            study->windowHandle(), Qt::LeftButton, {},
            study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((1) + 1))
                ->mapTo(
                    study,
                    study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((1) + 1))
                        ->rect()
                        .center()));
        tovalo::ui::TRefImgForm* figure = rig.screens->RefImgForm;
        QVERIFY(figure->isVisible());
        QCOMPARE(figure->windowTitle(), QStringLiteral("図2"));
        QVERIFY(QTest::qWaitForWindowExposed(figure));
        QTest::mouseClick(
            figure->windowHandle(), Qt::LeftButton, {},
            figure->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))
                ->mapTo(figure, figure->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))
                                    ->rect()
                                    .center()));
        QVERIFY(!figure->isVisible());
        study->RefImgClick(2);
        QVERIFY(figure->isVisible());
        study->Button1Click();
        QVERIFY(!study->isVisible());
        QVERIFY(!rig.screens->RefImgForm->isVisible());
        QVERIFY(exam->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))->isVisible());
        tick(exam);
        QCOMPARE(timeUpNotices(rig), 1);
        QVERIFY(rig.screens->ConfirmForm->isVisible());
    }

    void caseStudyReopensBesideTheQuestionFromButtonOrKey() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("sorane", "SRD-120", 5, 30);
        TExamModeForm* exam = openExam(rig);
        // Time spent reading the case study is not the first question's.
        tick(exam, 20);
        rig.screens->CaseStudyForm->Button1Click();
        tick(exam, 5);
        exam->NextClick();
        QCOMPARE(rig.session->exam.engine().progress().TimeSpent[0], 5);
        QTest::keyClick(exam->control<QCheckBox>(QStringLiteral("StickyNote")), Qt::Key_F9);
        tovalo::ui::TCaseStudyForm* study = rig.screens->CaseStudyForm;
        QVERIFY(study->isVisible());
        QCOMPARE(study->windowModality(), Qt::NonModal);
        study->resize(900, 650);
        QCOMPARE(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))->size(),
                 study->control<QFrame>(QStringLiteral("Panel1"))->size());
        study->close();
        QVERIFY(!study->isVisible());
    }

    void closeBoxAsksBeforeEndingTheProgram() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 5, 10);
        TExamModeForm* exam = openExam(rig);
        rig.messages.answers = {false};
        exam->close();
        QVERIFY(exam->isVisible());
        QVERIFY(exam->Timer1->isActive());
        QCOMPARE(rig.messages.shown.back().caption, std::string("確認"));
        QCOMPARE(rig.messages.shown.back().text, std::string("テストを終了しますか?"));
        rig.messages.answers = {true};
        exam->close();
        QVERIFY(!exam->isVisible());
        QCOMPARE(rig.endRequests, 1);
    }

    void htmlQuestionsAreShownThroughTheExamPage() {
        QString reason;
        if (!tovalo::ui::WebPageView::engineAvailable(&reason)) {
            QFAIL(qPrintable(QStringLiteral("page module: ") + reason));
        }
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KSE-100", 4, 20, SelectionMode::Normal,
                     ExamRig::firstWhere([](const ExamQuestion& q) {
                         return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Single;
                     }));
        TExamModeForm* exam = rig.screens->ExamModeForm;
        // Nothing of the exam screen is made at start-up, the page view
        // least of all.
        QVERIFY(!exam->controlsBuilt());
        openExam(rig);
        QVERIFY(exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->isVisible());
        QVERIFY(!exam->control<QPlainTextEdit>(QStringLiteral("QuesMemo"))->isVisible());
        QVERIFY(
            exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->hasBrowser());
        const QString page = rig.path(QStringLiteral("QDAT/kumo/exam.htm"));
        QCOMPARE(exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pageUrl(),
                 QUrl::fromLocalFile(page));
        QTRY_COMPARE_WITH_TIMEOUT(
            exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pagesLoaded(), 1,
            10000);
        QVERIFY(rig.files.files[page.toStdString()].hidden);

        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::string utf8 = tovalo::text::cp932ToUtf8(file.readAll().toStdString());
        // The throw-away first line of the fragment is not part of the page.
        QVERIFY(utf8.find("<!-- question -->") == std::string::npos);
        QVERIFY(utf8.find("<!-- QS -->") != std::string::npos);
        QVERIFY(utf8.find("charset=shift_jis") != std::string::npos);
        // Radio rows with small letter labels.
        QCOMPARE(exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((0) + 1))->text(),
                 QStringLiteral("a."));

        exam->NextClick();
        QTRY_COMPARE_WITH_TIMEOUT(
            exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pagesLoaded(), 2,
            10000);
        exam->RepeatClick();
        QTRY_COMPARE_WITH_TIMEOUT(
            exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pagesLoaded(), 3,
            10000);
    }

    // A question with figures: the figure line is the fragment's first line
    // and the only one the page leaves out.
    void htmlQuestionWithFiguresKeepsEveryOtherLine() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KSE-100", 12, 20, SelectionMode::Normal,
                     ExamRig::firstWhere([](const ExamQuestion& q) {
                         return q.QuesText.rfind("<INCLUDE IMG>", 0) == 0;
                     }));
        TExamModeForm* exam = openExam(rig);
        QFile file(rig.path(QStringLiteral("QDAT/kumo/exam.htm")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::string page = tovalo::text::cp932ToUtf8(file.readAll().toStdString());
        const std::string& text = rig.session->exam.questions()[0].QuesText;
        const std::string afterFigureLine = text.substr(text.find("\r\n") + 2);
        QVERIFY(page.find("<INCLUDE IMG>") == std::string::npos);
        QVERIFY2(page.find(afterFigureLine) != std::string::npos, page.c_str());
        QVERIFY(!exam->figurePaths().empty());
    }

    void htmlCaseStudyShowsOnlyThePage() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXA-330", 4, 20);
        openExam(rig);
        tovalo::ui::TCaseStudyForm* study = rig.screens->CaseStudyForm;
        QVERIFY(study->isVisible());
        QVERIFY(study->htmlMode());
        QCOMPARE(study->windowTitle(), QStringLiteral("事例"));
        QCOMPARE(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))->size(), QSize(0, 0));
        QCOMPARE(study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->size(),
                 study->control<QFrame>(QStringLiteral("Panel1"))->size());
        study->resize(800, 600);
        QCOMPARE(study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->size(),
                 study->control<QFrame>(QStringLiteral("Panel1"))->size());
        QCOMPARE(study->control<QPlainTextEdit>(QStringLiteral("Memo1"))->size(), QSize(0, 0));
        QCOMPARE(study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pageUrl(),
                 QUrl::fromLocalFile(rig.path(QStringLiteral("QDAT/nexa/casestudy.htm"))));
        QVERIFY(study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((1) + 1))
                    ->isVisible());
        QVERIFY(!study->control<tovalo::ui::ImageButton>(QStringLiteral("RefImg%1").arg((2) + 1))
                     ->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(
            study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pagesLoaded() >=
                1,
            10000);
        study->Button1Click();
        QVERIFY(rig.screens->ExamModeForm
                    ->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))
                    ->isVisible());
        QCOMPARE(rig.screens->ExamModeForm
                     ->control<tovalo::ui::ImageButton>(QStringLiteral("CaseButton"))
                     ->toolTip(),
                 QStringLiteral("事例を表示します"));
    }
};

QTEST_MAIN(TestExamModeForm)
#include "tst_exam_mode_form.moc"
