// How long the result screen takes to come up for the longest exam a course
// can hold: 500 questions graded, the grid filled and the window drawn.

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>

#include "exam_rig.h"
#include "ui/results/TResultForm.h"
#include "ui/widgets/result_grid.h"

class TestResultSpeed : public QObject {
    Q_OBJECT

  private:
    static constexpr int kRuns = 9;
    static constexpr double kBudgetMs = 100.0;

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void fiveHundredQuestions() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 204, 300);
        tovalo::ui::Session& s = *rig.session;
        // No sample course holds 500 questions; the drawn ones are asked again.
        std::vector<tovalo::ExamQuestion> questions = s.exam.questions();
        const std::size_t drawn = questions.size();
        while (questions.size() < 500) {
            questions.push_back(questions[questions.size() % drawn]);
        }
        // Each showing grades a new exam: an exam is graded only once.
        const auto newExam = [&] {
            s.exam.stage(questions);
            tovalo::ExamEngine& engine = s.exam.engine();
            for (int p = 1; p <= 500; ++p) {
                if (p % 3 != 1) {
                    rig.answerRight(p);
                }
                if (p % 7 == 1) {
                    engine.markAnswerViewed(p);
                }
            }
            engine.setElapsedSeconds(4321);
        };

        tovalo::ui::TResultForm* result = rig.screens->ResultForm;
        std::vector<double> runs;
        for (int i = 0; i < kRuns; ++i) {
            newExam();
            QElapsedTimer clock;
            clock.start();
            result->show();
            const QPixmap frame = result->grab();
            runs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            QVERIFY(!frame.isNull());
            QCOMPARE(result->control<tovalo::ui::ResultGrid>(QStringLiteral("StringGrid1"))
                         ->model()
                         ->rowCount(),
                     501);
            result->hide();
            QCoreApplication::processEvents();
        }
        std::sort(runs.begin(), runs.end());
        const double median = runs[kRuns / 2];
        qInfo("result screen, 500 questions: median %.1f ms, fastest %.1f ms, slowest %.1f ms",
              median, runs.front(), runs.back());
        QVERIFY2(median < kBudgetMs, qPrintable(QString::number(median)));
    }
};

QTEST_MAIN(TestResultSpeed)
#include "tst_result_speed.moc"
