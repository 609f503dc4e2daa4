// Resident memory of the program after start-up and after a whole exam of
// the largest sample course, through the real screens. Prints the figures
// for the README and fails only if memory grows past a generous bound.
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <string>

#include "exam_rig.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/results/TResultForm.h"
#include "ui/widgets/image_button.h"

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

}  // namespace

class TestMemory : public QObject {
    Q_OBJECT

  private slots:
    void afterStartUpAndAfterTheLargestExam() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.screens->MainMenuForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.screens->MainMenuForm));
        const long atStart = residentKiB();

        rig.drawExam("nexa", "NXN-101", 204, 300);
        tovalo::ui::Session& s = *rig.session;
        rig.screens->MainMenuForm->hide();
        rig.screens->GenericMBForm->startExam();
        QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
        tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
        for (std::size_t k = 0; k < s.exam.questions().size(); ++k) {
            exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((0) + 1))->click();
            exam->Timer1Timer();
            exam->NextClick();
        }
        QVERIFY(rig.screens->ConfirmForm->isVisible());
        rig.screens->ConfirmForm->control<tovalo::ui::ImageButton>(QStringLiteral("GradeButton"))
            ->click();
        QVERIFY(rig.screens->ResultForm->isVisible());
        QTest::qWait(50);
        const long afterExam = residentKiB();

        qInfo("resident memory: %ld KiB after start-up, %ld KiB after a %zu-question exam", atStart,
              afterExam, s.exam.questions().size());
        QVERIFY(atStart > 0);
        QVERIFY2(afterExam < 400 * 1024, "more than 400 MiB after one exam");
    }
};

QTEST_MAIN(TestMemory)
#include "tst_memory.moc"
