#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "core/app/startup_tooltips.h"
#include "course_files.h"
#include "test_rig.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/minor_category_list.h"

using tovalo::SelectionMode;
using tovalo::ui::MinorCategoryList;
using tovalo::ui::TCatSelForm;

namespace {

// Three categories: 5 + 5 + 2 = 12 questions.
CourseSpec threeCategories() {
    CourseSpec spec;
    spec.code = "NX-200";
    spec.title = "ネットワーク応用";
    spec.examQuesCount = 10;
    spec.examTimeLimit = 30;
    spec.categories = {{"ネットワーク", {{"基礎", 3}, {"応用", 2}}},
                       {"サーバー", {{"Linux", 2}, {"Windows", 2}, {"仮想化", 1}}},
                       {"セキュリティ", {{"暗号", 2}}}};
    return spec;
}

// The screen opened from the course menu on one course of vendor "nexa".
class Opened {
  public:
    explicit Opened(const CourseSpec& spec = threeCategories()) {
        rig.writeFile(QStringLiteral("QDAT/nexa/%1.qdf").arg(QString::fromStdString(spec.code)),
                      courseFile(spec));
        ok = rig.start().ok();
        if (!ok) {
            return;
        }
        rig.screens->CourseMenuForm->show();
        rig.screens->CourseMenuForm->StartButtonClick();
        ok = form()->isVisible() && QTest::qWaitForWindowExposed(form());
        // Focus and shortcuts belong to the active window.
        form()->activateWindow();
        ok = ok && QTest::qWaitForWindowActive(form());
    }

    [[nodiscard]] TCatSelForm* form() const { return rig.screens->CatSelForm; }
    [[nodiscard]] const TCatSelForm::CategoryRow& row(int i) const {
        return form()->categoryRows().at(i);
    }
    [[nodiscard]] QString countLabel() const {
        return form()->control<QLabel>(QStringLiteral("CountLabel"))->text();
    }
    [[nodiscard]] QString count() const {
        return form()->control<QLineEdit>(QStringLiteral("CountEdit"))->text();
    }
    [[nodiscard]] QString time() const {
        return form()->control<QLineEdit>(QStringLiteral("TimeEdit"))->text();
    }
    void clickLine(int category, int line) const {
        MinorCategoryList* list = row(category).list;
        QTest::mouseClick(list, Qt::LeftButton, {}, list->linePoint(line));
    }
    void clickBox(int category) const {
        QTest::mouseClick(row(category).box, Qt::LeftButton, {}, QPoint(6, 8));
    }
    [[nodiscard]] std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& m : rig.messages.shown) {
            texts.push_back(m.text);
        }
        return texts;
    }

    TestRig rig{{"nexa"}};
    bool ok = false;
};

}  // namespace

class TestCatSelForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void opensOnTheCourseWithEverythingChecked() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        QCOMPARE(f->windowTitle(), QString("NX-200 : ネットワーク応用"));
        QVERIFY(!s.rig.screens->CourseMenuForm->isVisible());
        QCOMPARE(f->categoryRows().size(), std::size_t(3));
        QCOMPARE(s.row(0).box->text(), QString("ネットワーク"));
        QCOMPARE(s.row(1).list->count(), 3);
        QCOMPARE(s.row(1).list->lineText(3), QString("仮想化 (1問)"));
        for (const auto& r : f->categoryRows()) {
            QCOMPARE(r.box->checkState(), Qt::Checked);
            for (int line = 1; line <= r.list->count(); ++line) {
                QVERIFY(r.list->isChecked(line));
            }
        }
        QCOMPARE(s.countLabel(), QString("題／12題中"));
        // 12 available, the course asks for 10 in 30 minutes.
        QCOMPARE(s.count(), QString("10"));
        QCOMPARE(s.time(), QString("30"));
        QCOMPARE(f->mode(), SelectionMode::Normal);
        QVERIFY(!f->control<QCheckBox>(QStringLiteral("AdaptiveCheck"))->isChecked());
        QCOMPARE(f->control<QLineEdit>(QStringLiteral("TimeEdit"))->maxLength(), 4);
        QCOMPARE(f->minimumSize(), QSize(760, 562));
        QCOMPARE(f->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton"))->toolTip(),
                 QString("模擬試験を開始します"));
        QCOMPARE(f->control<tovalo::ui::ImageButton>(QStringLiteral("BackButton"))->toolTip(),
                 QString("テスト選択に戻ります"));

        // The category sound comes once, 300 ms after the screen appears.
        QVERIFY(f->Timer1->isActive());
        QVERIFY(f->Timer1->isSingleShot());
        QCOMPARE(f->Timer1->interval(), 300);
        QTRY_VERIFY(!s.rig.sound.played.empty());
        // The menu left before its own greeting: only the category sound plays.
        QCOMPARE(s.rig.sound.played, std::vector<std::string>{"wav/cat.wav"});
    }

    void fewerQuestionsThanTheExamScaleTheTime() {
        CourseSpec spec;
        spec.examQuesCount = 100;
        spec.examTimeLimit = 90;
        spec.categories = {{"データベース", {{"SQL", 20}, {"設計", 10}}}};
        Opened s(spec);
        QVERIFY(s.ok);
        QCOMPARE(s.count(), QString("30"));
        QCOMPARE(s.time(), QString("27"));
    }

    void checksPropagateBetweenBoxesAndLists() {
        Opened s;
        QVERIFY(s.ok);
        s.clickLine(0, 1);
        QCOMPARE(s.row(0).box->checkState(), Qt::PartiallyChecked);
        QCOMPARE(s.countLabel(), QString("題／9題中"));
        QCOMPARE(s.count(), QString("9"));
        QCOMPARE(s.row(0).list->current(), 1);

        s.clickLine(0, 2);
        QCOMPARE(s.row(0).box->checkState(), Qt::Unchecked);
        QCOMPARE(s.countLabel(), QString("題／7題中"));

        // The box always agrees with its marks: from unchecked a click
        // checks the whole category, the next one clears it, and a grayed
        // box checks it all again.
        s.clickBox(0);
        QCOMPARE(s.row(0).box->checkState(), Qt::Checked);
        QVERIFY(s.row(0).list->isChecked(1) && s.row(0).list->isChecked(2));
        QCOMPARE(s.countLabel(), QString("題／12題中"));
        s.clickBox(0);
        QCOMPARE(s.row(0).box->checkState(), Qt::Unchecked);
        QVERIFY(!s.row(0).list->isChecked(1) && !s.row(0).list->isChecked(2));
        QCOMPARE(s.count(), QString("7"));
        s.clickLine(0, 1);
        QCOMPARE(s.row(0).box->checkState(), Qt::PartiallyChecked);
        s.clickBox(0);
        QCOMPARE(s.row(0).box->checkState(), Qt::Checked);
        QVERIFY(s.row(0).list->isChecked(1) && s.row(0).list->isChecked(2));
        // Leaving a list takes its highlight away.
        s.form()->control<QLineEdit>(QStringLiteral("CountEdit"))->setFocus();
        QCOMPARE(s.row(0).list->current(), 0);
        // The other categories never moved.
        QCOMPARE(s.row(1).box->checkState(), Qt::Checked);
        QVERIFY(s.rig.session->exam.checks().isChecked(3, 1));
    }

    void majorCategoriesOnly() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        s.clickLine(1, 2);
        QCOMPARE(s.row(1).box->checkState(), Qt::PartiallyChecked);
        QCOMPARE(s.row(1).box->y(), s.row(0).list->geometry().bottom() + 1 + 6);
        QCOMPARE(s.row(0).list->y(), s.row(0).box->y() + 16);
        QCOMPARE(s.row(0).list->height(), 2 * 12);

        QTest::mouseClick(f->control<QCheckBox>(QStringLiteral("MajorOnlyCheck")), Qt::LeftButton,
                          {}, QPoint(6, 8));
        QVERIFY(f->control<QCheckBox>(QStringLiteral("MajorOnlyCheck"))->isChecked());
        QCOMPARE(s.row(1).box->checkState(), Qt::Checked);
        QVERIFY(s.rig.session->exam.checks().isChecked(2, 2));
        QCOMPARE(s.countLabel(), QString("題／12題中"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!s.row(i).list->isVisible());
            QVERIFY(!s.row(i).box->isTristate());
            QCOMPARE(s.row(i).box->y(), 4 + 20 * i);
        }
        // Without a grayed state a box only turns on and off.
        s.clickBox(2);
        QCOMPARE(s.row(2).box->checkState(), Qt::Unchecked);
        s.clickBox(2);
        QCOMPARE(s.row(2).box->checkState(), Qt::Checked);

        QTest::mouseClick(f->control<QCheckBox>(QStringLiteral("MajorOnlyCheck")), Qt::LeftButton,
                          {}, QPoint(6, 8));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(s.row(i).list->isVisible());
            QVERIFY(s.row(i).box->isTristate());
        }
        QCOMPARE(s.row(1).box->y(), s.row(0).list->geometry().bottom() + 1 + 6);

        // The choice is forgotten when the screen is opened again.
        QTest::mouseClick(f->control<QCheckBox>(QStringLiteral("MajorOnlyCheck")), Qt::LeftButton,
                          {}, QPoint(6, 8));
        f->BackButtonClick();
        s.rig.screens->CourseMenuForm->StartButtonClick();
        QVERIFY(f->isVisible());
        QVERIFY(!f->control<QCheckBox>(QStringLiteral("MajorOnlyCheck"))->isChecked());
        QVERIFY(s.row(0).list->isVisible());
    }

    // The keys work wherever the focus is, the count and time fields
    // included: a failed check leaves the user there.
    void controlAChecksAndControlXClearsEverything() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        s.clickLine(1, 1);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        for (QWidget* focus :
             {static_cast<QWidget*>(f),
              static_cast<QWidget*>(f->control<QLineEdit>(QStringLiteral("CountEdit"))),
              static_cast<QWidget*>(f->control<QLineEdit>(QStringLiteral("TimeEdit")))}) {
            focus->setFocus();
            QTest::keyClick(f->windowHandle(), Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(s.countLabel(), QString("題／0題中"));
            QCOMPARE(s.count(), QString("0"));
            for (const auto& r : f->categoryRows()) {
                QCOMPARE(r.box->checkState(), Qt::Unchecked);
                QVERIFY(!r.list->isChecked(1));
            }

            QTest::keyClick(f->windowHandle(), Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(s.countLabel(), QString("題／12題中"));
            for (const auto& r : f->categoryRows()) {
                QCOMPARE(r.box->checkState(), Qt::Checked);
            }
        }
    }

    void wheelMovesTheCategoryAreaTwoStepsPerNotch() {
        CourseSpec spec;
        spec.categories.clear();
        for (int c = 1; c <= 12; ++c) {
            spec.categories.push_back(
                {"カテゴリ" + std::to_string(c), {{"一", 1}, {"二", 1}, {"三", 1}, {"四", 1}}});
        }
        Opened s(spec);
        QVERIFY(s.ok);
        QScrollBar* bar =
            s.form()->control<QScrollArea>(QStringLiteral("CategoryArea"))->verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        QCOMPARE(bar->value(), 0);

        QWidget* viewport =
            s.form()->control<QScrollArea>(QStringLiteral("CategoryArea"))->viewport();
        auto notch = [&](int delta) {
            QWheelEvent wheel(QPointF(20, 20), viewport->mapToGlobal(QPointF(20, 20)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(viewport, &wheel);
        };
        notch(-120);
        QCOMPARE(bar->value(), 2 * bar->singleStep());
        notch(-240);
        QCOMPARE(bar->value(), 6 * bar->singleStep());
        notch(120);
        QCOMPARE(bar->value(), 4 * bar->singleStep());
        // Half notches add up before the area moves.
        notch(-60);
        QCOMPARE(bar->value(), 4 * bar->singleStep());
        notch(-60);
        QCOMPARE(bar->value(), 6 * bar->singleStep());
    }

    void mockExamAndAssessmentLockTheChoices() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        s.clickLine(0, 1);
        s.clickLine(2, 1);
        QCOMPARE(s.countLabel(), QString("題／7題中"));

        QTest::mouseClick(f->control<QRadioButton>(QStringLiteral("ModeMockExam")), Qt::LeftButton,
                          {}, QPoint(6, 10));
        QCOMPARE(f->mode(), SelectionMode::MockExam);
        QCOMPARE(s.countLabel(), QString("題／12題中"));
        // The course's 10 questions are fewer than the 12 available: its own count and time.
        QCOMPARE(s.count(), QString("10"));
        QCOMPARE(s.time(), QString("30"));
        for (const auto& r : f->categoryRows()) {
            QCOMPARE(r.box->checkState(), Qt::Checked);
            QVERIFY(!r.box->isEnabled());
            QVERIFY(!r.list->isEnabled());
        }
        QVERIFY(!f->control<QLineEdit>(QStringLiteral("CountEdit"))->isEnabled());
        QVERIFY(!f->control<QLineEdit>(QStringLiteral("TimeEdit"))->isEnabled());
        // Locked categories stay as they are under the keyboard too.
        f->UncheckAll();
        QCOMPARE(s.countLabel(), QString("題／12題中"));

        QTest::mouseClick(f->control<QRadioButton>(QStringLiteral("ModeTraining")), Qt::LeftButton,
                          {}, QPoint(6, 10));
        QCOMPARE(f->mode(), SelectionMode::Training);
        QVERIFY(f->control<QLineEdit>(QStringLiteral("CountEdit"))->isEnabled());
        QVERIFY(s.row(0).box->isEnabled());
        QCOMPARE(s.count(), QString("10"));
        QCOMPARE(s.time(), QString("30"));

        QTest::mouseClick(f->control<QRadioButton>(QStringLiteral("ModeAssessment")),
                          Qt::LeftButton, {}, QPoint(6, 10));
        QVERIFY(!f->control<QLineEdit>(QStringLiteral("TimeEdit"))->isEnabled());
        QVERIFY(!s.row(2).list->isEnabled());
        QTest::mouseClick(f->control<QRadioButton>(QStringLiteral("ModeNormal")), Qt::LeftButton,
                          {}, QPoint(6, 10));
        QVERIFY(f->control<QLineEdit>(QStringLiteral("TimeEdit"))->isEnabled());
    }

    void lockedModeWithFewQuestionsGivesAMinuteAndAHalfEach() {
        CourseSpec spec = threeCategories();
        spec.examQuesCount = 20;
        spec.examTimeLimit = 45;
        Opened s(spec);
        QVERIFY(s.ok);
        QTest::mouseClick(s.form()->control<QRadioButton>(QStringLiteral("ModeAssessment")),
                          Qt::LeftButton, {}, QPoint(6, 10));
        QCOMPARE(s.count(), QString("12"));
        QCOMPARE(s.time(), QString("18"));
    }

    void fieldsAcceptDigitsOnly() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        f->control<QLineEdit>(QStringLiteral("CountEdit"))->clear();
        QTest::keyClicks(f->control<QLineEdit>(QStringLiteral("CountEdit")), "12");
        QVERIFY(s.rig.messages.shown.empty());
        QTest::keyClicks(f->control<QLineEdit>(QStringLiteral("CountEdit")), "a");
        QCOMPARE(s.messages(), std::vector<std::string>{"出題数を正しく入力してください"});
        QCOMPARE(s.rig.messages.shown[0].caption, std::string("Error"));
        QCOMPARE(f->control<QLineEdit>(QStringLiteral("CountEdit"))->selectedText(),
                 QString("12a"));

        f->control<QLineEdit>(QStringLiteral("TimeEdit"))->clear();
        typeText(f->control<QLineEdit>(QStringLiteral("TimeEdit")), QStringLiteral("３０"));
        QCOMPARE(s.messages().back(), std::string("制限時間を正しく入力してください"));
        QCOMPARE(f->control<QLineEdit>(QStringLiteral("TimeEdit"))->selectedText(),
                 QString("３０"));
    }

    void startRefusesWhatCannotBeAsked() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        struct Case {
            QString count;
            QString time;
            std::string message;
            bool focusOnCount;
        };
        const Case cases[] = {
            {"", "30", "出題数と制限時間を確認してください", true},
            {"5", "abc", "出題数と制限時間を確認してください", true},
            {"5", "-5", "制限時間が不正です。確認してください。", false},
            {"0", "30", "問題数を増やしてください", true},
            {"13", "30", "問題はそんなにありません", true},
        };
        for (const Case& c : cases) {
            f->control<QLineEdit>(QStringLiteral("TimeEdit"))->setFocus();
            f->control<QLineEdit>(QStringLiteral("CountEdit"))->setText(c.count);
            f->control<QLineEdit>(QStringLiteral("TimeEdit"))->setText(c.time);
            const std::size_t before = s.rig.messages.shown.size();
            QTest::mouseClick(f->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton")),
                              Qt::LeftButton);
            QCOMPARE(s.rig.messages.shown.size(), before + 1);
            QCOMPARE(s.rig.messages.shown.back().text, c.message);
            QCOMPARE(s.rig.messages.shown.back().caption, std::string("Error"));
            QCOMPARE(f->control<QLineEdit>(QStringLiteral("CountEdit"))->hasFocus(),
                     c.focusOnCount);
            QVERIFY(f->isVisible());
            QVERIFY(s.rig.session->exam.questions().empty());
        }

        f->UncheckAll();
        QCOMPARE(s.countLabel(), QString("題／0題中"));
        QTest::mouseClick(f->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton")),
                          Qt::LeftButton);
        QCOMPARE(s.messages().back(), std::string("選択しているカテゴリには問題がありません"));
        QVERIFY(f->isVisible());
    }

    void startDrawsTheExamAndHandsOver() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        s.rig.session->random = tovalo::RandomSource(7);
        s.clickLine(2, 1);  // 10 left
        f->control<QLineEdit>(QStringLiteral("CountEdit"))->setText("4");
        f->control<QLineEdit>(QStringLiteral("TimeEdit"))->setText("5");
        f->control<QCheckBox>(QStringLiteral("AdaptiveCheck"))->setChecked(true);
        QTest::mouseClick(f->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton")),
                          Qt::LeftButton);

        QVERIFY(s.rig.messages.shown.empty());
        QVERIFY(!f->isVisible());
        QVERIFY(s.rig.screens->GenericMBForm->isVisible());
        const tovalo::SelectionSettings& sel = s.rig.session->exam.selection();
        QCOMPARE(sel.mode, SelectionMode::Normal);
        QCOMPARE(sel.RequestedCount, 4);
        QCOMPARE(sel.TimeLimitSeconds, 300);
        QVERIFY(sel.TimeLimitOn);
        QVERIFY(sel.AdaptiveOn);
        QCOMPARE(sel.AvailableCount, 10);
        QCOMPARE(s.rig.session->exam.questions().size(), std::size_t(4));
        for (const tovalo::ExamQuestion& q : s.rig.session->exam.questions()) {
            // Category 3 was cleared: none of its questions is asked.
            QVERIFY(s.rig.session->exam.bank().question(q.BankSlot).Category != 3);
        }
        QCOMPARE(s.rig.session->exam.engine().positions(), 4);
        s.rig.screens->GenericMBForm->hide();

        // A time of 0 is an exam without a limit.
        s.rig.screens->CourseMenuForm->StartButtonClick();
        f->control<QLineEdit>(QStringLiteral("CountEdit"))->setText("3");
        f->control<QLineEdit>(QStringLiteral("TimeEdit"))->setText("0");
        f->StartButtonClick();
        QVERIFY(!s.rig.session->exam.selection().TimeLimitOn);
        QCOMPARE(s.rig.session->exam.questions().size(), std::size_t(3));
        s.rig.screens->GenericMBForm->hide();
    }

    void backReturnsToTheMenuInTheSameState() {
        Opened s;
        QVERIFY(s.ok);
        TCatSelForm* f = s.form();
        QCOMPARE(f->geometry().size(), QSize(760, 562));
        f->setGeometry(40, 50, 800, 600);
        f->BackButtonClick();
        QVERIFY(!f->isVisible());
        auto* menu = s.rig.screens->CourseMenuForm;
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->geometry(), QRect(40, 50, 800, 600));

        menu->StartButtonClick();
        QCOMPARE(f->geometry(), QRect(40, 50, 800, 600));
        f->showMaximized();
        QTRY_VERIFY(f->isMaximized());
        f->close();
        QCOMPARE(s.rig.session->windowState, tovalo::app::WindowState::Maximised);
        QTRY_VERIFY(menu->isMaximized());
    }
};

QTEST_MAIN(TestCatSelForm)
#include "tst_cat_sel_form.moc"
