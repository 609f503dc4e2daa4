// The result screen on copies of the staged sample installation: grading
// and what the screen shows, the verdict in both page formats, the sound,
// the window's place, and storing every exam once when the screen is left.

#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <ctime>
#include <set>

#include "common/unprivileged.h"
#include "core/common/safe_file.h"
#include "core/exam/exam_session.h"
#include "core/results/history_file.h"
#include "core/styles/answer_style.h"
#include "core/text/cp932.h"
#include "exam_rig.h"
#include "platform/qt_message_boxes.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/results/TResultForm.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/result_grid.h"

using tovalo::ExamQuestion;
using tovalo::SelectionMode;
using tovalo::ui::TResultForm;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The letter a vendor's label style gives choice slot 1..10.
QString letter(int slot, const std::string& style) {
    if (style == "A") {
        return QChar(u'A' + slot - 1);
    }
    if (style == "ｱ") {
        return QChar(char16_t(0xFF71 + slot - 1));
    }
    return QChar(u'a' + slot - 1);
}

QString correctLetters(const ExamQuestion& q, const std::string& style) {
    QString letters;
    for (int i = 1; i <= 10; ++i) {
        if (q.ShownCorrect[i - 1]) {
            letters += QLatin1Char(' ') + letter(i, style);
        }
    }
    return letters;
}

bool hasCorrectSlot(const ExamQuestion& q) {
    return std::any_of(q.ShownCorrect.begin(), q.ShownCorrect.end(), [](bool c) { return c; });
}

QByteArray fileBytes(const std::string& path) {
    QFile f(qs(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int storedExams(const std::string& hisPath) {
    const auto read = tovalo::readHistoryFile(hisPath);
    if (!read) {
        return -1;
    }
    const tovalo::HistoryFile& h = *read;
    return static_cast<int>(std::count_if(h.exams.begin(), h.exams.end(),
                                          [](const tovalo::ExamRecord& r) { return !r.empty(); }));
}

QColor background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

QColor foreground(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

const QColor kNavy(0, 0, 128);

}  // namespace

class TestResultForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void cleanup() { tovalo::setSaveFaultHookForTesting(nullptr); }

    // The whole road: questions answered on the exam screen, graded from the
    // review list, the screen left, the exam found in the history, and the
    // next training exam made of the questions that were answered wrong.
    void examIsStoredAndTrainingDrawsTheWrongAnswers() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.clock.time = localTime(2026, 7, 31, 9, 5);
        rig.drawExam("kumo", "KCL-110", 12, 30);
        tovalo::ui::Session& s = *rig.session;
        const std::string hisPath = s.course()->HisPath;
        QCOMPARE(storedExams(hisPath), 0);

        rig.screens->GenericMBForm->startExam();
        QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
        tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
        std::set<int> rightSlots;
        std::set<int> wrongSlots;
        for (std::size_t k = 0; k < s.exam.questions().size(); ++k) {
            const ExamQuestion& q = s.exam.questions()[k];
            // The first half is answered right where a click can do it; the
            // typed style and the second half are left blank, so wrong.
            const bool clickable = ExamRig::answeredByMarks(q);
            if (k < 6 && clickable && hasCorrectSlot(q)) {
                for (int i = 0; i < 10; ++i) {
                    if (q.ShownCorrect[i]) {
                        (tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Multiple
                             ? static_cast<QAbstractButton*>(exam->control<QCheckBox>(
                                   QStringLiteral("CheckBox%1").arg((i) + 1)))
                             : exam->control<QRadioButton>(
                                   QStringLiteral("RadioButton%1").arg((i) + 1)))
                            ->click();
                    }
                }
                rightSlots.insert(q.BankSlot);
            } else {
                wrongSlots.insert(q.BankSlot);
            }
            exam->Timer1Timer();
            exam->NextClick();
        }
        QVERIFY(!rightSlots.empty());
        QVERIFY(!wrongSlots.empty());
        QVERIFY(rig.screens->ConfirmForm->isVisible());
        rig.screens->ConfirmForm->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
            ->click();

        TResultForm* result = rig.screens->ResultForm;
        QVERIFY(result->isVisible());
        const int rate = static_cast<int>(rightSlots.size()) * 100 / 12;
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("正答率 : %1%").arg(rate));
        QCOMPARE(storedExams(hisPath), 0);

        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        QVERIFY(!result->isVisible());
        QVERIFY(rig.screens->CourseMenuForm->isVisible());
        QVERIFY(rig.messages.shown.empty());

        const tovalo::HistoryFile h = tovalo::readHistoryFile(hisPath).value();
        QCOMPARE(storedExams(hisPath), 1);
        QCOMPARE(h.exams[0].Rate, rate);
        QCOMPARE(h.exams[0].QuestionCount, 12);
        QCOMPARE(h.exams[0].Month, 7);
        QCOMPARE(h.exams[0].Day, 31);
        QCOMPARE(h.exams[0].Hour, 9);
        QCOMPARE(h.exams[0].Minute, 5);
        QCOMPARE(h.exams[0].Mode, 1);
        for (int slot : rightSlots) {
            QCOMPARE(h.CorrectCount[slot - 1], 1);
            QCOMPARE(h.WrongCount[slot - 1], 0);
        }
        for (int slot : wrongSlots) {
            QCOMPARE(h.CorrectCount[slot - 1], 0);
            QCOMPARE(h.WrongCount[slot - 1], 1);
        }

        tovalo::SelectionSettings training = s.exam.selection();
        training.mode = SelectionMode::Training;
        training.RequestedCount = static_cast<int>(wrongSlots.size());
        const std::vector<ExamQuestion> drawn = tovalo::SelectQuestions(
            s.exam.bank(), s.exam.checks(), training, s.course()->ShuffleOrder,
            tovalo::readTrainingWeights(hisPath), s.random);
        std::set<int> drawnSlots;
        for (const ExamQuestion& q : drawn) {
            drawnSlots.insert(q.BankSlot);
        }
        QCOMPARE(drawnSlots, wrongSlots);
    }

    // Right and wrong by slot sets, letters in the vendor's label style,
    // the answer cell red where the answer was looked at.
    void gridShowsLettersInEachLabelStyle_data() {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("course");
        QTest::addColumn<QString>("style");
        QTest::addColumn<int>("drawn");
        QTest::newRow("capitals") << "nexa"
                                  << "NXN-101"
                                  << "A" << 80;
        QTest::newRow("katakana") << "sorane"
                                  << "SRD-120"
                                  << "ｱ" << 12;
        QTest::newRow("small letters") << "kumo"
                                       << "KCL-110"
                                       << "a" << 12;
    }
    void gridShowsLettersInEachLabelStyle() {
        QFETCH(QString, vendor);
        QFETCH(QString, course);
        QFETCH(QString, style);
        QFETCH(int, drawn);
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // Choice questions first, a multiple-answer one leading so that
        // letters come in pairs; five of them make the exam.
        rig.drawExam(vendor.toStdString(), course.toStdString(), drawn, 90, SelectionMode::Normal,
                     [](std::vector<ExamQuestion>& exam) {
                         std::stable_partition(exam.begin(), exam.end(), [](const ExamQuestion& q) {
                             return ExamRig::answeredByMarks(q);
                         });
                         ExamRig::firstWhere([](const ExamQuestion& q) {
                             return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Multiple;
                         })(exam);
                         exam.resize(5);
                     });
        tovalo::ui::Session& s = *rig.session;
        QCOMPARE(s.vendor(s.currentVendor)->choiceLabelStyle, style.toStdString());
        rig.answerRight(1);
        s.exam.engine().markAnswerViewed(1);
        // Position 2: one slot more or one slot less than the correct set.
        std::array<bool, 10> oneOff = s.exam.question(2).ShownCorrect;
        oneOff[0] = !oneOff[0];
        s.exam.engine().recordAnswer(2, oneOff, false);
        // Position 3 left blank.

        TResultForm* result = rig.screens->ResultForm;
        result->show();
        tovalo::ui::ResultGrid* grid =
            result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"));
        const std::string st = style.toStdString();
        QCOMPARE(grid->model()->rowCount(), 6);

        const QString letters1 = correctLetters(s.exam.questions()[0], st);
        QVERIFY2(letters1.size() >= 4, "two letters, each after a blank");
        QCOMPARE(grid->cellText(1, 0), QStringLiteral("Q.1"));
        QCOMPARE(grid->cellText(1, 1), letters1);
        QCOMPARE(grid->cellText(1, 2), letters1);
        QCOMPARE(grid->cellText(1, 3), QStringLiteral("  ○"));
        QCOMPARE(grid->answerColour(1), QColor(Qt::red));

        QVERIFY(grid->cellText(2, 1) != grid->cellText(2, 2));
        QCOMPARE(grid->cellText(2, 3), QStringLiteral("  ×"));
        QCOMPARE(grid->answerColour(2), QColor(Qt::black));

        QCOMPARE(grid->cellText(3, 1), QString());
        QCOMPARE(grid->cellText(3, 2), correctLetters(s.exam.questions()[2], st));
        QCOMPARE(grid->cellText(3, 3), QStringLiteral("  ×"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("正答率 : 20%"));
        result->hide();
    }

    // The side column, the caption, the texts of the special styles and the
    // default verdict of a course without level texts; the sound comes
    // after the screen is up.
    void sideColumnSpecialStylesAndSound() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.clock.time = localTime(2026, 7, 31, 9, 5);
        rig.drawExam("nexa", "NXS-210", 16, 30);
        tovalo::ui::Session& s = *rig.session;
        for (std::size_t k = 0; k < s.exam.questions().size(); ++k) {
            // Seven right of sixteen, special styles among them.
            if (k < 7) {
                rig.answerRight(static_cast<int>(k) + 1);
            }
        }
        s.exam.engine().setElapsedSeconds(754);

        TResultForm* result = rig.screens->ResultForm;
        result->show();
        QCOMPARE(result->windowTitle(), QStringLiteral("NXS-210 サーバー構築実践 - 採点結果"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("正答率 : 43%"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Memo2"))->text(),
                 QStringLiteral("NXS-210\nサーバー構築実践"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label6"))->text(),
                 QStringLiteral("問題数 : 16問"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label8"))->text(),
                 QStringLiteral("2026/7/31 9:5"));
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label9"))->text(),
                 QStringLiteral("所要時間 : 12' 34"));

        // nexa's panel colours, 0x00BBGGRR in its bundle strings 4 and 9.
        const QColor panel(0x10, 0x28, 0x58);
        const QColor panelText(0xE1, 0xEC, 0xFF);
        for (QLabel* l : {result->control<QLabel>(QStringLiteral("Label1")),
                          result->control<QLabel>(QStringLiteral("Label4")),
                          result->control<QLabel>(QStringLiteral("Memo2")),
                          result->control<QLabel>(QStringLiteral("Label6")),
                          result->control<QLabel>(QStringLiteral("Label7")),
                          result->control<QLabel>(QStringLiteral("Label8")),
                          result->control<QLabel>(QStringLiteral("Label9"))}) {
            QCOMPARE(background(l), panel);
            QCOMPARE(foreground(l), panelText);
        }
        QCOMPARE(result->control<QLabel>(QStringLiteral("HiGradeImg"))->pixmap().size(),
                 QSize(129, 42));
        QCOMPARE(result->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))->toolTip(),
                 QStringLiteral("Tovaloを終了します"));
        QCOMPARE(result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->toolTip(),
                 QStringLiteral("テスト選択へ戻ります"));
        QVERIFY(!result->control<QLabel>(QStringLiteral("Image_Left"))->pixmap().isNull());

        const std::map<int, QString> special{{3, QStringLiteral("ｸﾞﾗﾌｨｯｸ表示")},
                                             {4, QStringLiteral("ﾊﾟﾈﾙ表示")},
                                             {5, QStringLiteral("ﾃｷｽﾄ入力")},
                                             {8, QStringLiteral("ｸﾞﾗﾌｨｯｸ表示")}};
        std::set<int> seen;
        for (int k = 1; k <= 16; ++k) {
            const ExamQuestion& q = s.exam.questions()[k - 1];
            const auto it = special.find(q.Style);
            if (it == special.end()) {
                continue;
            }
            seen.insert(q.Style);
            QCOMPARE(result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))
                         ->cellText(k, 1),
                     it->second);
            QCOMPARE(result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))
                         ->cellText(k, 2),
                     QString());
            QCOMPARE(result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))
                         ->cellText(k, 3),
                     k <= 7 ? QStringLiteral("  ○") : QStringLiteral("  ×"));
        }
        QCOMPARE(seen.size(), std::size_t(4));

        QVERIFY(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->isVisible());
        QVERIFY(
            !result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->isVisible());
        QCOMPARE(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText(),
                 QStringLiteral("レベル:D がんばり必要"));

        QCOMPARE(result->Timer1->interval(), 300);
        QVERIFY(result->Timer1->isSingleShot());
        QVERIFY(rig.sound.played.empty());
        QTRY_COMPARE_WITH_TIMEOUT(rig.sound.played, std::vector<std::string>{"wav/Bad.wav"}, 2000);
        QTest::qWait(400);
        QCOMPARE(rig.sound.played.size(), std::size_t(1));
        result->hide();
    }

    // Text courses show the verdict in the memo, HTML courses as the styled
    // result page; a click on the heading brings it back.
    void verdictInBothFormatsAndAgainFromTheHeading() {
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("kumo", "KCL-110", 4, 10);
            for (std::size_t k = 0; k < 4; ++k) {
                rig.answerRight(static_cast<int>(k) + 1);
            }
            TResultForm* result = rig.screens->ResultForm;
            result->show();
            const QString verdict =
                QStringLiteral("レベル:A 合格安心。次は情報セキュリティ入門に挑戦しましょう");
            QCOMPARE(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText(),
                     verdict);

            for (QLabel* heading : {result->control<QLabel>(QStringLiteral("Label10")),
                                    result->control<QLabel>(QStringLiteral("Label11")),
                                    result->control<QLabel>(QStringLiteral("Label12"))}) {
                result->control<QPlainTextEdit>(QStringLiteral("Memo1"))
                    ->setPlainText(QStringLiteral("前の表示"));
                QTest::mouseClick(heading, Qt::LeftButton);
                QCOMPARE(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText(),
                         verdict);
                QCOMPARE(background(heading), kNavy);
                QCOMPARE(foreground(heading), QColor(Qt::white));
            }

            // The grid's own heading band, and below it an ordinary row.
            QWidget* viewport =
                result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))->viewport();
            const int bandY = 17 - viewport->y();
            result->control<QPlainTextEdit>(QStringLiteral("Memo1"))
                ->setPlainText(QStringLiteral("前の表示"));
            // A row shows its question in place of the verdict.
            QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(100, bandY + 20));
            QVERIFY(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))
                        ->toPlainText()
                        .startsWith(QStringLiteral("【問題】\n")));
            QCOMPARE(result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))
                         ->currentIndex()
                         .row(),
                     2);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, bandY));
            QCOMPARE(result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->toPlainText(),
                     verdict);
            result->hide();
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", "NXA-330", 10, 40);
            for (std::size_t k = 0; k < 9; ++k) {
                rig.answerRight(static_cast<int>(k) + 1);
            }
            TResultForm* result = rig.screens->ResultForm;
            result->show();
            QVERIFY(!result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->isVisible());
            QVERIFY(result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))
                        ->isVisible());
            const QString page = rig.path(QStringLiteral("QDAT/nexa/result.htm"));
            QCOMPARE(
                result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))->pageUrl(),
                QUrl::fromLocalFile(page));
            const std::string html =
                tovalo::text::cp932ToUtf8(fileBytes(page.toStdString()).toStdString());
            QVERIFY(html.find("body { font-size: 9pt }") != std::string::npos);
            QVERIFY2(html.find("レベル:A <b>合格安心</b> 設計判断の根拠まで説明できる水準です") !=
                         std::string::npos,
                     html.c_str());

            QFile::remove(page);
            QTest::mouseClick(result->control<QLabel>(QStringLiteral("Label12")), Qt::LeftButton);
            QVERIFY(QFile::exists(page));
            result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        }
    }

    // Back, exit and the close box each store the exam once; a hide without
    // a new exam stores nothing, and neither does the screen shown again for
    // the same exam. The adaptive file follows the option.
    void leavingStoresEachExamOnce() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KCL-110", 6, 10);
        tovalo::ui::Session& s = *rig.session;
        const std::string hisPath = s.course()->HisPath;
        const std::string adpPath = s.course()->AdpPath;
        const int questions = s.exam.bank().QuesTotal;
        rig.spendOnEach(20);
        TResultForm* result = rig.screens->ResultForm;

        result->show();
        QVERIFY(result->saveDue());
        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        QCOMPARE(storedExams(hisPath), 1);
        QVERIFY(!QFile::exists(qs(adpPath)));
        QVERIFY(!result->saveDue());
        QHideEvent again;
        QCoreApplication::sendEvent(result, &again);
        QCOMPARE(storedExams(hisPath), 1);
        rig.screens->CourseMenuForm->hide();
        result->show();
        QVERIFY(!result->saveDue());
        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        QCOMPARE(storedExams(hisPath), 1);
        QCOMPARE(rig.endRequests, 0);

        rig.screens->CourseMenuForm->hide();
        rig.adaptive = true;
        rig.drawExam("kumo", "KCL-110", 6, 10);
        rig.spendOnEach(20);
        result->show();
        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))->click();
        QVERIFY(!result->isVisible());
        QCOMPARE(storedExams(hisPath), 2);
        QCOMPARE(rig.endRequests, 1);
        QCOMPARE(fileBytes(adpPath).count("\r\n"), questions);
        QVERIFY(fileBytes(adpPath).contains("@4*1@5*"));
    }

    // Time runs out while the review list is open. The notice holds the
    // whole program: clicks and keys sent to the list through the window
    // system do nothing until it is acknowledged, and however the grade
    // and the leaving come after, the history gets the exam once.
    void timeUpNoticeHoldsTheReviewListAndTheExamIsStoredOnce() {
        ExamRig rig;
        tovalo::platform::QtMessageBoxes desktopBoxes;
        rig.desktopBoxes = &desktopBoxes;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KCL-110", 4, 1);
        const std::string hisPath = rig.session->course()->HisPath;
        rig.screens->GenericMBForm->startExam();
        QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
        tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
        tovalo::ui::TConfirmForm* list = rig.screens->ConfirmForm;
        TResultForm* result = rig.screens->ResultForm;
        exam->GradeClick();
        QVERIFY(QTest::qWaitForWindowExposed(list));
        const QPoint gradeAt =
            list->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
                ->mapTo(list, list->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
                                  ->rect()
                                  .center());

        QString caption;
        bool listStayed = false;
        int storedWhilePending = -2;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            caption = box->windowTitle() + QLatin1Char('/') + box->text();
            QTest::mouseClick(list->windowHandle(), Qt::LeftButton, {}, gradeAt);
            QTest::keyClick(list->windowHandle(), Qt::Key_Escape);
            listStayed = list->isVisible() && !result->isVisible() && exam->isVisible();
            storedWhilePending = storedExams(hisPath);
            box->button(QMessageBox::Ok)->click();
        });
        for (int i = 0; i <= 60 && exam->Timer1->isActive(); ++i) {
            exam->Timer1Timer();
        }
        QCOMPARE(caption, QStringLiteral("タイムアップ/タイムアップです。"));
        QVERIFY(listStayed);
        QCOMPARE(storedWhilePending, 0);
        QVERIFY(rig.session->exam.engine().progress().TimeUp);
        QVERIFY(list->isVisible());
        QVERIFY(!list->control<QLabel>(QStringLiteral("Label2"))->isVisible());

        QTest::mouseClick(list->windowHandle(), Qt::LeftButton, {}, gradeAt);
        QVERIFY(result->isVisible());
        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        QCOMPARE(storedExams(hisPath), 1);
        // A grade that arrives late changes nothing.
        list->GradeButtonClick();
        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        QCOMPARE(storedExams(hisPath), 1);
    }

    // The close box stops a sound still playing, stores the exam and ends
    // the program.
    void closeBoxStopsTheSoundAndStores() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KCL-110", 3, 10);
        const std::string hisPath = rig.session->course()->HisPath;
        TResultForm* result = rig.screens->ResultForm;
        result->show();
        result->Timer1Timer();
        QVERIFY(result->close());
        QVERIFY(!result->isVisible());
        QCOMPARE(storedExams(hisPath), 1);
        QCOMPARE(rig.endRequests, 1);
        QCOMPARE(rig.sound.played.size(), std::size_t(2));
        QCOMPARE(rig.sound.played.back(), std::string());
    }

    // A full disk: the user is told which file and that nothing was stored,
    // the old file stays as it was and no temporary file is left beside it.
    void failedSaveIsReportedAndKeepsTheOldFile() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.adaptive = true;
        rig.drawExam("nexa", "NXN-101", 5, 10);
        tovalo::ui::Session& s = *rig.session;
        const std::string hisPath = s.course()->HisPath;
        const QByteArray before = fileBytes(hisPath);
        QCOMPARE(before.size(), 1960);

        tovalo::setSaveFaultHookForTesting(
            [](tovalo::SaveStep) { return tovalo::SaveFault::DiskFull; });
        rig.screens->ResultForm->show();
        rig.screens->ResultForm->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))
            ->click();
        tovalo::setSaveFaultHookForTesting(nullptr);

        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));
        const std::string& text = rig.messages.shown[0].text;
        QVERIFY2(text.find(hisPath) != std::string::npos, text.c_str());
        QVERIFY2(text.find(tovalo::kExamNotStored) != std::string::npos, text.c_str());
        QCOMPARE(fileBytes(hisPath), before);
        QVERIFY(!QFile::exists(qs(s.course()->AdpPath)));
        const QStringList left = QDir(rig.path(QStringLiteral("HIST/nexa")))
                                     .entryList({QStringLiteral("*.tovalo-save-*")}, QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        QVERIFY(rig.screens->CourseMenuForm->isVisible());
    }

    // The history is saved first; when the adaptive file then fails, the
    // exam is in the history but not in the adaptive file, and the message
    // says exactly that.
    void aHalfStoredExamIsSaidSo() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.adaptive = true;
        rig.drawExam("nexa", "NXN-101", 5, 10);
        tovalo::ui::Session& s = *rig.session;
        rig.spendOnEach(9);
        const std::string adpPath = s.course()->AdpPath;
        {
            QFile adaptive(qs(adpPath));
            QVERIFY(adaptive.open(QIODevice::WriteOnly));
            adaptive.write("@0*1@1*1@2*1@3*x@4*0@5*0@6*0@7*\r\n");
        }
        const QByteArray adaptiveBefore = fileBytes(adpPath);

        static int saves;
        saves = 0;
        tovalo::setSaveFaultHookForTesting([](tovalo::SaveStep step) {
            if (step == tovalo::SaveStep::Created) {
                ++saves;
            }
            return saves == 2 && step == tovalo::SaveStep::Written ? tovalo::SaveFault::DiskFull
                                                                   : tovalo::SaveFault::None;
        });
        rig.screens->ResultForm->show();
        rig.screens->ResultForm->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))
            ->click();
        tovalo::setSaveFaultHookForTesting(nullptr);

        QCOMPARE(saves, 2);
        QCOMPARE(storedExams(s.course()->HisPath), 1);
        QCOMPARE(fileBytes(adpPath), adaptiveBefore);
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        const std::string& text = rig.messages.shown[0].text;
        QVERIFY2(text.find(adpPath) != std::string::npos, text.c_str());
        QVERIFY2(text.find(tovalo::kAdaptiveNotUpdated) != std::string::npos, text.c_str());
    }

    // A history or adaptive file that is there but cannot be read (here:
    // no permission) holds exams and counts nobody could see: leaving the
    // screen says so, naming the file, and writes neither file.
    void anUnreadableFileIsNeverSavedOver() {
        for (const char* locked : {"HIS", "ADP"}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.adaptive = true;
            rig.drawExam("kumo", "KCL-110", 6, 10);
            tovalo::ui::Session& s = *rig.session;
            rig.spendOnEach(20);
            const std::string hisPath = s.course()->HisPath;
            const std::string adpPath = s.course()->AdpPath;
            TResultForm* result = rig.screens->ResultForm;
            // Two exams on record and an adaptive file to lose.
            for (int i = 0; i < 2; ++i) {
                result->show();
                result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
                rig.screens->CourseMenuForm->hide();
                rig.adaptive = true;
                rig.drawExam("kumo", "KCL-110", 6, 10);
                rig.spendOnEach(20);
            }
            QCOMPARE(storedExams(hisPath), 2);
            const QByteArray historyBefore = fileBytes(hisPath);
            const QByteArray adaptiveBefore = fileBytes(adpPath);
            QVERIFY(adaptiveBefore.contains("@4*2@5*"));
            const std::string lockedPath = std::string(locked) == "HIS" ? hisPath : adpPath;
            QVERIFY(QFile::setPermissions(qs(lockedPath), {}));
            {
                const Unprivileged nobody(rig.root());
                QVERIFY(nobody.bound());
                result->show();
                result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
            }
            QVERIFY(QFile::setPermissions(qs(lockedPath), QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(fileBytes(hisPath), historyBefore);
            QCOMPARE(fileBytes(adpPath), adaptiveBefore);
            QCOMPARE(rig.messages.shown.size(), std::size_t(1));
            const std::string& text = rig.messages.shown[0].text;
            QVERIFY2(text.find(lockedPath) != std::string::npos, text.c_str());
            QVERIFY2(text.find("Permission denied") != std::string::npos, text.c_str());
            QVERIFY2(text.find(tovalo::kExamNotStored) != std::string::npos, text.c_str());
        }
    }

    // The screen opens in the shared state: the shared size at the exam's
    // place, or maximised; resizing lays it out again and becomes the shared
    // size, which the course menu takes back.
    void windowStateBoundsAndLayout() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 30, 30);
        tovalo::ui::Session& s = *rig.session;
        s.courseMenuBounds = {100, 80, 900, 650};
        rig.screens->ExamModeForm->setGeometry(120, 90, 900, 650);
        TResultForm* result = rig.screens->ResultForm;
        // Graded from the review list: the result opens where the exam was.
        emit rig.screens->ConfirmForm->gradeRequested();
        QVERIFY(QTest::qWaitForWindowExposed(result));
        QCOMPARE(result->geometry(), QRect(120, 90, 900, 650));

        // The rules themselves are the core's; here the controls follow them.
        const auto checkLayout = [result](int w, int h) {
            const QRect pane = result->control<QWidget>(QStringLiteral("Panel1"))->geometry();
            QCOMPARE(pane.x() + pane.width(), w - 4);
            QCOMPARE(pane.height(), h - 243);
            QCOMPARE(
                result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))->height(),
                pane.height());
            const QRect memo = result->control<QPlainTextEdit>(QStringLiteral("Memo1"))->geometry();
            QCOMPARE(memo.y() + memo.height(), pane.height() - 80);
            const QRect back =
                result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->geometry();
            QCOMPARE(back.x() + back.width(), w - 10);
            QCOMPARE(
                result->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))->x() +
                    result->control<tovalo::ui::ImageButton>(QStringLiteral("Button1"))->width(),
                back.x() - 10);
            QCOMPARE(result->control<QLabel>(QStringLiteral("Image2"))->y() +
                         result->control<QLabel>(QStringLiteral("Image2"))->height(),
                     h);
        };
        checkLayout(900, 650);

        result->resize(1000, 700);
        QTRY_COMPARE(result->size(), QSize(1000, 700));
        checkLayout(1000, 700);
        QCOMPARE(s.courseMenuBounds.width, 1000);
        QCOMPARE(s.courseMenuBounds.height, 700);

        result->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))->click();
        tovalo::ui::TCourseMenuForm* menu = rig.screens->CourseMenuForm;
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->size(), QSize(1000, 700));
        menu->hide();

        s.windowState = tovalo::app::WindowState::Maximised;
        result->show();
        QVERIFY(result->windowState() & Qt::WindowMaximized);
        result->showNormal();
        QTRY_COMPARE(s.windowState, tovalo::app::WindowState::Normal);
        result->hide();
    }

    void leftoverSaveFilesAreRemovedAtStartUp() {
        ExamRig rig;
        // Every folder the program saves into; a vendor whose bundle is gone
        // still has its folders.
        const QStringList leftovers = {
            QStringLiteral("HIST/nexa/NXN-101.HIS.tovalo-save-1234"),
            QStringLiteral("HIST/kumo/KCL-110.ADP.tovalo-save-77"),
            QStringLiteral("HIST/retired/OLD-1.HIS.tovalo-save-5"),
            QStringLiteral("QDAT/nexa/#NXN-101.qdf.tovalo-save-999999999-1"),
            QStringLiteral("QDAT/nexa/_NXN-101.qdf.tovalo-save-999999999-2"),
            QStringLiteral("QDAT/nexa/exam.htm.tovalo-save-999999999-3"),
            QStringLiteral("QDAT/nexa/img/fig.jpg.tovalo-save-999999999-4"),
            QStringLiteral("QDAT/retired/img/old.jpg.tovalo-save-999999999-5"),
            QStringLiteral("bin/Ques.htm.tovalo-save-999999999-6"),
            QStringLiteral("bin/Print/Print.htm.tovalo-save-999999999-7"),
        };
        // Not the program's leftovers: the user's files, a copy kept for the
        // user to compare, and a save another running program is making.
        const QStringList kept = {
            QStringLiteral("HIST/nexa/notes.txt"),
            QStringLiteral("QDAT/nexa/img/fig.jpg"),
            QStringLiteral("bin/Tovalo20.ini.tovalo-new"),
            QStringLiteral("QDAT/nexa/exam.htm.tovalo-save-%1-8").arg(::getppid()),
        };
        for (const QString& relative : leftovers + kept) {
            QDir(rig.path(QString())).mkpath(QFileInfo(relative).path());
            QFile f(rig.path(relative));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("half a save");
        }
        QVERIFY(rig.start().ok());
        for (const QString& relative : leftovers) {
            QVERIFY2(!QFile::exists(rig.path(relative)), qPrintable(relative));
        }
        for (const QString& relative : kept) {
            QVERIFY2(QFile::exists(rig.path(relative)), qPrintable(relative));
        }
    }
};

QTEST_MAIN(TestResultForm)
#include "tst_result_form.moc"
