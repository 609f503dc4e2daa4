// The program from the keyboard alone: from the profile screen to a stored
// exam with nothing but key presses sent where the focus is, and the focus
// marks that tell the learner where that is.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>
#include <functional>

#include "core/catalog/course_menu_rules.h"
#include "core/results/history_file.h"
#include "core/views/focus_mark.h"
#include "exam_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TResultForm.h"
#include "ui/widgets/course_row.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/minor_category_list.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/screen_form.h"
#include "ui/widgets/vendor_tab_strip.h"

using tovalo::ui::CourseRow;
using tovalo::ui::ScreenForm;

namespace {

QWidget* focused() {
    return QApplication::focusWidget();
}

// A key as the learner types it: to the control that has the focus, or to
// the active window when none has.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = focused() != nullptr ? focused() : QApplication::activeWindow();
    QVERIFY2(target != nullptr, "no window takes keys");
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// Presses Tab (or Shift+Tab) until `target` has the focus, at most `most`
// times; says where the focus got stuck otherwise.
bool tabTo(const QWidget* target, int most, bool backwards = false) {
    for (int i = 0; i < most && focused() != target; ++i) {
        press(backwards ? Qt::Key_Backtab : Qt::Key_Tab,
              backwards ? Qt::ShiftModifier : Qt::NoModifier);
    }
    if (focused() != target) {
        qWarning("focus on %s, not %s",
                 focused() != nullptr ? qPrintable(focused()->objectName()) : "nothing",
                 qPrintable(target->objectName()));
    }
    return focused() == target;
}

bool activeAndFocused(QWidget* window) {
    return window->isActiveWindow() && focused() != nullptr && focused()->window() == window;
}

// A closed window hands the keyboard back to the window under it, also
// where the desktop does not (the offscreen platform activates nothing).
bool handedBackTo(QWidget* window) {
    return QTest::qWaitFor([window] { return activeAndFocused(window); });
}

double contrast(QColor a, QColor b) {
    return tovalo::contrastRatio(tovalo::ui::desktopValue(a), tovalo::ui::desktopValue(b));
}

// How the focus mark of a control shows: the pixels that differ with and
// without the focus, and the pixels that border on them, each counted as
// seen when a mark pixel beside it (a pixel of smoothing allowed) stands
// out from it by 3:1, as a control's border must.
struct MarkSeen {
    int pixels = 0;
    int border = 0;
    int borderSeen = 0;
};

MarkSeen markBetween(const QImage& without, const QImage& with) {
    MarkSeen seen;
    if (without.size() != with.size()) {
        return seen;
    }
    const int w = with.width();
    const int h = with.height();
    std::vector<bool> mark(static_cast<std::size_t>(w * h));
    const auto inMark = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && mark[static_cast<std::size_t>(y * w + x)];
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (without.pixel(x, y) != with.pixel(x, y)) {
                mark[static_cast<std::size_t>(y * w + x)] = true;
                ++seen.pixels;
            }
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (inMark(x, y) ||
                !(inMark(x - 1, y) || inMark(x + 1, y) || inMark(x, y - 1) || inMark(x, y + 1))) {
                continue;
            }
            ++seen.border;
            double best = 1.0;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (inMark(x + dx, y + dy)) {
                        best = std::max(
                            best, contrast(with.pixelColor(x + dx, y + dy), with.pixelColor(x, y)));
                    }
                }
            }
            if (best >= tovalo::kFocusMarkMinContrast) {
                ++seen.borderSeen;
            }
        }
    }
    return seen;
}

// The control as the window shows it (a list scrolled inside an area shows
// only part of itself) and a few pixels round it, where a mark may also be
// drawn.
QImage around(const QWidget* control) {
    QRect shown = control->rect();
    for (const QWidget* w = control; !w->isWindow(); w = w->parentWidget()) {
        shown = QRect(w->mapToParent(shown.topLeft()), shown.size()) & w->parentWidget()->rect();
    }
    return control->window()->grab(shown.adjusted(-6, -6, 6, 6)).toImage();
}

// The focus mark of `control`, which has the focus: a line's worth of
// pixels, standing out from nearly everything next to it (text and the
// style's own marks may touch it here and there).
void expectFocusMark(QWidget* control) {
    QVERIFY(control->hasFocus());
    const QImage with = around(control);
    control->clearFocus();
    const QImage without = around(control);
    control->setFocus(Qt::TabFocusReason);
    const MarkSeen seen = markBetween(without, with);
    const QString what = control->objectName();
    QVERIFY2(seen.pixels >= 100,
             qPrintable(QStringLiteral("%1: %2 pixels change").arg(what).arg(seen.pixels)));
    QVERIFY2(seen.borderSeen >= 0.95 * seen.border,
             qPrintable(QStringLiteral("%1: %2 of %3 pixels round the mark stand out")
                            .arg(what)
                            .arg(seen.borderSeen)
                            .arg(seen.border)));
}

// As expectFocusMark; then Tab takes the focus on, as the learner goes on.
void checkFocusMark(QWidget* control) {
    expectFocusMark(control);
    press(Qt::Key_Tab);
    QVERIFY(!control->hasFocus());
}

// The choice control of slot `slot` (1-based) on the exam screen.
QAbstractButton* choice(ScreenForm* exam, const tovalo::ExamQuestion& q, int slot) {
    if (tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Multiple) {
        return exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg(slot));
    }
    return exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg(slot));
}

}  // namespace

class TestKeyboardWalk : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // From start-up to a stored exam by keys alone: register, pick the
    // second course, ask for three questions, answer the first right, jump
    // back from the review list with Enter, grade, and leave the result.
    void fromStartUpToAStoredExam() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.clock.time = localTime(2026, 8, 3, 10, 15);
        rig.session->random = tovalo::RandomSource(20240601);
        tovalo::ui::Screens& screens = *rig.screens;

        // Profile screen: a new user fills in the name and presses OK.
        // Every Tab stop shows something; the cycle has five of them.
        tovalo::ui::TMainMenuForm* profile = screens.MainMenuForm;
        profile->show();
        QVERIFY(QTest::qWaitForWindowActive(profile));
        auto* name = profile->control<QLineEdit>(QStringLiteral("Edit_Name"));
        QCOMPARE(focused(), name);
        QTest::keyClicks(focused(), QStringLiteral("Hanako Suzuki"));
        QStringList stops;
        for (int i = 0; i < 5; ++i) {
            press(Qt::Key_Tab);
            QVERIFY(focused() != profile);
            QVERIFY(focused()->isVisible());
            stops << focused()->objectName();
        }
        QCOMPARE(stops, QStringList({"Edit_Org", "Edit_Email", "Button1", "Button2", "Edit_Name"}));
        QVERIFY(tabTo(profile->control<QWidget>(QStringLiteral("Button1")), 3));
        press(Qt::Key_Return);

        // Course menu: the list holds the focus on its selected row; Down
        // takes the next course and Tab goes on to スタート.
        tovalo::ui::TCourseMenuForm* menu = screens.CourseMenuForm;
        QTRY_VERIFY(activeAndFocused(menu));
        QCOMPARE(rig.settings.read("Name").value_or(""), std::string("Hanako Suzuki"));
        QCOMPARE(focused(), menu->control<QWidget>(QStringLiteral("CourseRow1")));
        press(Qt::Key_Down);
        QCOMPARE(menu->selectedRow(), 2);
        QCOMPARE(focused(), menu->control<QWidget>(QStringLiteral("CourseRow2")));
        QCOMPARE(rig.session->catalog.courses[1].ExamCode, std::string("NXN-101"));
        press(Qt::Key_Tab);
        QCOMPARE(focused(), menu->control<QWidget>(QStringLiteral("StartButton")));
        press(Qt::Key_Return);

        // Category screen: スタート has the focus. Back to the count, three
        // questions, and forward to スタート again.
        tovalo::ui::TCatSelForm* categories = screens.CatSelForm;
        QTRY_VERIFY(activeAndFocused(categories));
        auto* start = categories->control<QWidget>(QStringLiteral("StartButton"));
        QCOMPARE(focused(), start);
        auto* count = categories->control<QLineEdit>(QStringLiteral("CountEdit"));
        QVERIFY(tabTo(count, 6, true));
        QVERIFY(count->hasSelectedText());
        QTest::keyClicks(focused(), QStringLiteral("3"));
        QCOMPARE(count->text(), QStringLiteral("3"));
        QVERIFY(tabTo(start, 6));
        press(Qt::Key_Space);

        // The introduction card goes on Space.
        tovalo::ui::TGenericMBForm* card = screens.GenericMBForm;
        QTRY_VERIFY(activeAndFocused(card));
        press(Qt::Key_Space);

        // Exam screen: the first question answered right, from the sticky
        // note by Tab into the choices and the arrows within them; Enter
        // goes on until the review list opens.
        tovalo::ui::TExamModeForm* exam = screens.ExamModeForm;
        QTRY_VERIFY(activeAndFocused(exam));
        QCOMPARE(rig.session->exam.questionCount(), 3);
        QCOMPARE(focused(), exam->control<QWidget>(QStringLiteral("StickyNote")));
        const tovalo::ExamQuestion first = rig.session->exam.question(1);
        QVERIFY(ExamRig::answeredByMarks(first));
        QAbstractButton* slot1 = choice(exam, first, 1);
        QVERIFY(tabTo(slot1, 4));
        checkFocusMark(slot1);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), slot1);
        for (int slot = 1; slot <= 10; ++slot) {
            if (!first.ShownCorrect[slot - 1]) {
                continue;
            }
            QAbstractButton* target = choice(exam, first, slot);
            for (int i = 0; i < 10 && focused() != target; ++i) {
                press(Qt::Key_Down);
            }
            QCOMPARE(focused(), target);
            press(Qt::Key_Space);
            QVERIFY(target->isChecked());
        }
        press(Qt::Key_Return);
        QCOMPARE(rig.session->exam.engine().current(), 2);
        press(Qt::Key_Return);
        press(Qt::Key_Return);

        // Review list: Down and Enter jump back to the second question.
        tovalo::ui::TConfirmForm* list = screens.ConfirmForm;
        QTRY_VERIFY(activeAndFocused(list));
        auto* rows = list->control<QTableWidget>(QStringLiteral("StringGrid1"));
        QCOMPARE(focused(), rows);
        QCOMPARE(rows->currentRow(), 1);
        press(Qt::Key_Down);
        QCOMPARE(rows->currentRow(), 2);
        press(Qt::Key_Return);
        QTRY_VERIFY(activeAndFocused(exam));
        QVERIFY(!list->isVisible());
        QVERIFY(exam->reviewing());
        QCOMPARE(rig.session->exam.engine().current(), 2);

        // The grade button, reached by Tab, takes Enter for itself rather
        // than the screen's "next question".
        QVERIFY(tabTo(exam->control<QWidget>(QStringLiteral("GradeButton")), 30));
        press(Qt::Key_Return);
        QTRY_VERIFY(activeAndFocused(list));
        QVERIFY(tabTo(list->control<QWidget>(QStringLiteral("GradeButton")), 2));
        press(Qt::Key_Return);

        // Result screen: Tab to テスト選択へ, Enter, and the menu is back.
        tovalo::ui::TResultForm* result = screens.ResultForm;
        QTRY_VERIFY(activeAndFocused(result));
        QWidget* grid = result->control<QWidget>(QStringLiteral("StringGrid1"));
        QCOMPARE(focused(), grid);
        checkFocusMark(grid);
        QVERIFY(tabTo(result->control<QWidget>(QStringLiteral("Button3")), 30));
        press(Qt::Key_Space);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!result->isVisible());

        // On disk: one exam of three questions, the first counted right and
        // the two left blank counted wrong.
        const tovalo::CourseEntry& course = rig.session->catalog.courses[1];
        const tovalo::Result<tovalo::HistoryFile> stored = tovalo::readHistoryFile(course.HisPath);
        QVERIFY(stored.ok());
        const tovalo::HistoryFile& h = *stored;
        QCOMPARE(h.exams[0].QuestionCount, 3);
        QCOMPARE(h.exams[0].Month, 8);
        QCOMPARE(h.exams[0].Rate, 33);
        QVERIFY(h.exams[1].empty());
        const std::vector<tovalo::ExamQuestion>& asked = rig.session->exam.questions();
        QCOMPARE(h.CorrectCount[asked[0].BankSlot - 1], 1);
        QCOMPARE(h.WrongCount[asked[0].BankSlot - 1], 0);
        QCOMPARE(h.WrongCount[asked[1].BankSlot - 1], 1);
        QCOMPARE(h.WrongCount[asked[2].BankSlot - 1], 1);
    }

    // Esc closes the windows opened beside the exam, from the keyboard:
    // the case study (which at the start of the exam starts it, as its
    // close box does), a figure opened from it, and the answer view.
    void escapeClosesSecondaryWindows() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::Screens& screens = *rig.screens;
        rig.drawExam("nexa", "NXA-330", 4, 30);
        screens.GenericMBForm->startExam();
        QTRY_VERIFY(activeAndFocused(screens.GenericMBForm));
        press(Qt::Key_Space);
        ScreenForm* study = screens.CaseStudyForm;
        QTRY_VERIFY(activeAndFocused(study));
        // The reading pane, reached by Tab, shows that it holds the focus.
        auto* pane = study->control<QWidget>(QStringLiteral("Panel1"));
        QVERIFY(tabTo(pane, 6));
        press(Qt::Key_Tab);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        checkFocusMark(pane);
        QVERIFY(tabTo(study->control<QWidget>(QStringLiteral("RefImg1")), 6));
        press(Qt::Key_Return);
        ScreenForm* figure = screens.RefImgForm;
        QTRY_VERIFY(activeAndFocused(figure));
        press(Qt::Key_Escape);
        QVERIFY(!figure->isVisible());
        QVERIFY(handedBackTo(study));
        auto* caseButton = screens.ExamModeForm->control<QWidget>(QStringLiteral("CaseButton"));
        QVERIFY(caseButton->isHidden());
        press(Qt::Key_Escape);
        QVERIFY(!study->isVisible());
        QVERIFY(!caseButton->isHidden());

        tovalo::ui::TExamModeForm* exam = screens.ExamModeForm;
        QVERIFY(handedBackTo(exam));
        press(Qt::Key_F9);
        QTRY_VERIFY(activeAndFocused(study));
        press(Qt::Key_Escape);
        QVERIFY(!study->isVisible());
        QVERIFY(handedBackTo(exam));
        press(Qt::Key_F1);
        QTRY_VERIFY(activeAndFocused(screens.CheatForm));
        press(Qt::Key_Escape);
        QVERIFY(!screens.CheatForm->isVisible());
    }

    // A secondary window that goes hands the keyboard back by itself: the
    // window under it is active again with the focus on the control that
    // had it, and Tab walks on from there. Each window is closed the way the
    // learner closes it; nothing here activates a window by hand.
    void closedWindowHandsTheKeyboardBack() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::Screens& screens = *rig.screens;
        rig.drawExam("sorane", "SRD-120", 13, 30, tovalo::SelectionMode::Normal,
                     ExamRig::firstWhere([](const tovalo::ExamQuestion& q) {
                         return ExamRig::answeredByMarks(q) &&
                                q.QuesText.find("<INCLUDE IMG>") != std::string::npos;
                     }));
        if (QTest::currentTestFailed()) {
            return;
        }
        tovalo::ui::TExamModeForm* exam = screens.ExamModeForm;
        // The screens make their controls when first shown: looked up then.
        struct Situation {
            const char* what;
            std::function<void()> openAndClose;
            ScreenForm* window;
            QString focus;
        };
        const Situation situations[] = {
            {"試験開始 on the opening case study",
             [&] {
                 screens.GenericMBForm->startExam();
                 QTRY_VERIFY(activeAndFocused(screens.GenericMBForm));
                 press(Qt::Key_Space);
                 QTRY_VERIFY(screens.CaseStudyForm->isActiveWindow());
                 QTest::mouseClick(
                     screens.CaseStudyForm->control<QWidget>(QStringLiteral("Button1")),
                     Qt::LeftButton);
                 QVERIFY(!screens.CaseStudyForm->isVisible());
             },
             exam, QStringLiteral("StickyNote")},
            {"Esc on a figure of the question",
             [&] {
                 QVERIFY(tabTo(exam->control<QWidget>(QStringLiteral("FigButton1")), 8));
                 press(Qt::Key_Return);
                 QTRY_VERIFY(activeAndFocused(screens.RefImgForm));
                 press(Qt::Key_Escape);
                 QVERIFY(!screens.RefImgForm->isVisible());
             },
             exam, QStringLiteral("FigButton1")},
            {"採点 on the review list",
             [&] {
                 press(Qt::Key_End);
                 QTRY_VERIFY(activeAndFocused(screens.ConfirmForm));
                 QVERIFY(tabTo(screens.ConfirmForm->control<QWidget>(QStringLiteral("GradeButton")),
                               2));
                 press(Qt::Key_Return);
                 QVERIFY(!screens.ConfirmForm->isVisible());
             },
             screens.ResultForm, QStringLiteral("StringGrid1")},
        };
        for (const Situation& s : situations) {
            s.openAndClose();
            if (QTest::currentTestFailed()) {
                QFAIL(s.what);
            }
            QVERIFY2(QTest::qWaitFor([&] { return activeAndFocused(s.window); }), s.what);
            QWidget* had = s.window->control<QWidget>(s.focus);
            QVERIFY2(focused() == had,
                     qPrintable(QStringLiteral("%1: focus on %2")
                                    .arg(QString::fromUtf8(s.what), focused()->objectName())));
            press(Qt::Key_Tab);
            QVERIFY2(focused() != had && focused()->window() == s.window && focused()->isVisible(),
                     s.what);
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            QVERIFY2(focused() == had, s.what);
        }
    }

    // The focus mark of every kind of control stands out from what is
    // round it, wherever the control sits: an edit, the 付箋 box given the
    // focus by the exam itself, a picture button on the light answer panel
    // and one on the dark bar, and a list.
    void focusMarksStandOut() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::Screens& screens = *rig.screens;
        rig.drawExam("nexa", "NXS-210", 4, 30, tovalo::SelectionMode::Normal,
                     ExamRig::firstWhere([](const tovalo::ExamQuestion& q) {
                         return tovalo::traitsOf(q.Style).answeredWith ==
                                tovalo::AnswerWith::StyleWindow;
                     }));
        if (QTest::currentTestFailed()) {
            return;
        }
        tovalo::ui::TExamModeForm* exam = screens.ExamModeForm;
        const tovalo::AnswerStyle style = tovalo::answerStyle(rig.session->exam.question(1).Style);
        const std::pair<const char*, std::function<QWidget*()>> controls[] = {
            {"name on the profile screen",
             [&]() -> QWidget* {
                 screens.MainMenuForm->show();
                 [&] { QTRY_VERIFY(activeAndFocused(screens.MainMenuForm)); }();
                 return focused();
             }},
            {"付箋 at the start of the exam",
             [&]() -> QWidget* {
                 screens.MainMenuForm->hide();
                 screens.GenericMBForm->startExam();
                 [&] { QTRY_VERIFY(activeAndFocused(screens.GenericMBForm)); }();
                 press(Qt::Key_Space);
                 [&] { QTRY_VERIFY(activeAndFocused(exam)); }();
                 return focused();
             }},
            {"解答ウィンドウ",
             [&]() -> QWidget* {
                 QWidget* button = exam->control<QWidget>(
                     QStringLiteral("ButtonType%1").arg(static_cast<int>(style)));
                 return tabTo(button, 8) ? button : nullptr;
             }},
            {"採点 on the bar",
             [&]() -> QWidget* {
                 QWidget* button = exam->control<QWidget>(QStringLiteral("GradeButton"));
                 return tabTo(button, 12) ? button : nullptr;
             }},
            {"the review list",
             [&]() -> QWidget* {
                 press(Qt::Key_End);
                 [&] { QTRY_VERIFY(activeAndFocused(screens.ConfirmForm)); }();
                 return focused();
             }},
        };
        for (const auto& [what, reach] : controls) {
            QWidget* control = reach();
            QVERIFY2(control != nullptr && !QTest::currentTestFailed(), what);
            expectFocusMark(control);
            if (QTest::currentTestFailed()) {
                QFAIL(what);
            }
        }
        QCOMPARE(focused()->objectName(), QStringLiteral("StringGrid1"));
    }

    // Where the focus is shows, on every kind of control the program draws
    // itself: the course row, the vendor tabs, picture buttons, the
    // minor-category lines.
    void focusMarksShow() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::Screens& screens = *rig.screens;
        tovalo::ui::TCourseMenuForm* menu = screens.CourseMenuForm;
        menu->show();
        menu->activateWindow();
        QTRY_VERIFY(activeAndFocused(menu));
        QWidget* row = menu->control<QWidget>(QStringLiteral("CourseRow1"));
        QCOMPARE(focused(), row);
        // A click on another vendor's tab changes the list under the focus
        // and leaves the focus in it, as a click always left it.
        auto* tabs = menu->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->clickPointFor(2));
        QCOMPARE(tabs->selected(), 2);
        QCOMPARE(focused(), row);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->clickPointFor(1));
        checkFocusMark(row);
        QCOMPARE(focused(), menu->control<QWidget>(QStringLiteral("StartButton")));
        checkFocusMark(focused());
        QVERIFY(tabTo(tabs, 12));
        checkFocusMark(tabs);

        // Right on the tabs selects the next vendor and keeps the focus.
        QVERIFY(tabTo(tabs, 12, true));
        const int first = tabs->selected();
        press(Qt::Key_Right);
        QVERIFY(tabs->selected() != first);
        QCOMPARE(rig.session->currentVendor, tabs->selected());
        QCOMPARE(focused(), tabs);
        press(Qt::Key_Left);
        QCOMPARE(tabs->selected(), first);

        QVERIFY(tabTo(row, 12));
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
        tovalo::ui::TCatSelForm* categories = screens.CatSelForm;
        QTRY_VERIFY(activeAndFocused(categories));
        QWidget* start = categories->control<QWidget>(QStringLiteral("StartButton"));
        QCOMPARE(focused(), start);
        checkFocusMark(start);
        tovalo::ui::MinorCategoryList* lines = categories->categoryRows().front().list;
        QVERIFY(tabTo(lines, 8));
        QCOMPARE(lines->current(), 1);
        checkFocusMark(lines);
        // Into the list from below, the highlight starts at its last line.
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), lines);
        QCOMPARE(lines->current(), lines->count());
    }

    // The selected course lies on a band in its vendor's colours that
    // stands out from the list, and its text stays readable on it.
    void selectedCourseRowIsPlain() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::TCourseMenuForm* menu = rig.screens->CourseMenuForm;
        menu->show();
        menu->activateWindow();
        QTRY_VERIFY(activeAndFocused(menu));
        auto* tabs = menu->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"));
        QVERIFY(tabTo(tabs, 12, true));
        std::map<std::string, QColor> bands;
        for (std::size_t shown = 0; shown < rig.session->vendors.size(); ++shown) {
            const tovalo::app::Vendor* vendor = rig.session->vendor(rig.session->currentVendor);
            QVERIFY(vendor != nullptr);
            QWidget* selected = menu->control<QWidget>(QStringLiteral("CourseRow1"));
            QWidget* other = menu->control<QWidget>(QStringLiteral("CourseRow2"));
            const QImage on = selected->grab().toImage();
            const QImage off = other->grab().toImage();
            // Past the end of any title, inside the band.
            const QPoint ground(on.width() - 12, on.height() / 2);
            const QColor band = on.pixelColor(ground);
            QCOMPARE(off.pixelColor(ground), QColor(Qt::black));
            QVERIFY2(contrast(band, Qt::black) >= 1.8, vendor->folder.c_str());
            double ink = 1.0;
            for (int y = 2; y < on.height() - 2; ++y) {
                for (int x = 24; x < on.width() / 2; ++x) {
                    ink = std::max(ink, contrast(on.pixelColor(x, y), band));
                }
            }
            QVERIFY2(ink >= 4.5, vendor->folder.c_str());
            bands[vendor->folder] = band;
            press(Qt::Key_Right);
        }
        QCOMPARE(bands.size(), std::size_t{3});
        QVERIFY(bands["nexa"] != bands["sorane"] && bands["sorane"] != bands["kumo"] &&
                bands["kumo"] != bands["nexa"]);
        // Where the vendor's panel colour stands out from black as it is,
        // the band is that colour.
        QCOMPARE(bands["kumo"], QColor(16, 70, 60));
    }
};

QTEST_MAIN(TestKeyboardWalk)
#include "tst_keyboard_walk.moc"
