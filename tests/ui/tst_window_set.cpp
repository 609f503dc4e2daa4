// What holds for the window set as a whole: the program never runs on
// without a window, minimising a full-size screen takes the program down
// with it, and controls built late still get their start-up hints.

#include <QApplication>
#include <QtTest>

#include "core/app/startup_tooltips.h"
#include "exam_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/screen_form.h"

using tovalo::ui::ScreenForm;

namespace {

bool anyWindowShown() {
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            return true;
        }
    }
    return false;
}

void hideAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->hide();
    }
}

}  // namespace

class TestWindowSet : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // Each window, alone on screen in the middle of an exam, closed through
    // the window system: afterwards either some window of the program is on
    // screen or the program has asked to end.
    void closingAnyWindowNeverLeavesTheProgramWithoutOne() {
        const int windows = [] {
            ExamRig probe;
            return probe.start().ok() ? static_cast<int>(probe.screens->all().size()) : 0;
        }();
        QVERIFY(windows > 20);
        for (int i = 1; i < windows; ++i) {  // 0 is the profile screen, the main window
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.screens->CourseMenuForm->show();
            rig.drawExam("sorane", "SRD-120", 5, 30);
            ScreenForm* window = rig.screens->all()[i];
            hideAll();
            QTest::qWait(0);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            window->windowHandle()->close();
            QTRY_VERIFY2(anyWindowShown() || rig.endRequests > 0, qPrintable(window->formName()));
            hideAll();
        }
    }

    // Minimising the course menu takes the program's other windows with
    // it, and restoring it brings them back.
    void minimisingAMainScreenMinimisesTheProgram() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::TCourseMenuForm* menu = rig.screens->CourseMenuForm;
        menu->show();
        rig.screens->RefImgForm->showFigure(QStringLiteral("図1"),
                                            rig.path("QDAT/sorane/img/srd_er.jpg"));
        QWidget* figure = rig.screens->RefImgForm;
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QVERIFY(QTest::qWaitForWindowExposed(figure));

        menu->windowHandle()->showMinimized();
        QTRY_VERIFY(menu->windowState() & Qt::WindowMinimized);
        QTRY_VERIFY(figure->windowState() & Qt::WindowMinimized);
        menu->windowHandle()->showNormal();
        QTRY_VERIFY(!(menu->windowState() & Qt::WindowMinimized));
        QTRY_VERIFY(!(figure->windowState() & Qt::WindowMinimized));
        QVERIFY(figure->isVisible());
    }

    // The review list, the result screen, the exam screen and the advisor
    // build their controls on first use; those get the hints all the same.
    void controlsBuiltLateGetTheirHints() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("kumo", "KCL-110", 3, 10);
        rig.screens->GenericMBForm->startExam();
        QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
        rig.screens->ExamModeForm->AnswerClick();
        QVERIFY(rig.screens->CheatForm->isVisible());
        rig.screens->ExamModeForm->GradeClick();
        QCOMPARE(rig.screens->ConfirmForm
                     ->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
                     ->toolTip(),
                 QStringLiteral("模擬試験の採点を行います"));
        rig.screens->ConfirmForm->GradeButtonClick();
        QVERIFY(rig.screens->ResultForm->isVisible());
        rig.screens->StudyForm->show();
        rig.screens->StudyForm->hide();

        int checked = 0;
        for (const tovalo::app::StartupTooltip& t : tovalo::app::startupTooltips()) {
            for (ScreenForm* form : rig.screens->all()) {
                if (form->formName() != QString::fromUtf8(t.form.data(), t.form.size())) {
                    continue;
                }
                const auto* control = form->findChild<QWidget*>(
                    QString::fromUtf8(t.control.data(), t.control.size()));
                if (control != nullptr) {
                    QCOMPARE(control->toolTip(), QString::fromUtf8(t.text.data(), t.text.size()));
                    ++checked;
                }
            }
        }
        QCOMPARE(checked, static_cast<int>(tovalo::app::startupTooltips().size()));
        rig.screens->ResultForm->control<tovalo::ui::ImageButton>(QStringLiteral("Button3"))
            ->click();
    }
};

QTEST_MAIN(TestWindowSet)
#include "tst_window_set.moc"
