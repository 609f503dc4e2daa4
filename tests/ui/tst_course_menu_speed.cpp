// How long the course menu takes to appear with a full catalog: a hundred
// question files, every row drawn. The user should never wait on it.

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>

#include "course_files.h"
#include "test_rig.h"
#include "ui/course/TCourseMenuForm.h"

class CourseMenuSpeed : public QObject {
    Q_OBJECT

  private:
    static constexpr int kRuns = 9;
    static constexpr double kBudgetMs = 50.0;

    // Showing the menu reads every header, builds the rows and draws the window.
    static double showOnce(tovalo::ui::TCourseMenuForm* menu) {
        menu->hide();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        menu->show();
        const QPixmap frame = menu->grab();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        return frame.isNull() ? -1 : ms;
    }

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void showingAHundredCourses() {
        TestRig rig({"nexa"});
        CourseSpec spec;
        for (int i = 1; i <= 100; ++i) {
            spec.code = QStringLiteral("SP-%1").arg(i, 3, 10, QLatin1Char('0')).toStdString();
            spec.title = "速度測定用コース " + std::to_string(i);
            spec.line6 = i % 3 == 0 ? "1" : "0";
            spec.line8 = i % 4 == 0 ? "2" : "0";
            rig.writeFile(QStringLiteral("QDAT/nexa/%1.qdf").arg(QString::fromStdString(spec.code)),
                          courseFile(spec));
        }
        QVERIFY(rig.start().ok());
        tovalo::ui::TCourseMenuForm* menu = rig.screens->CourseMenuForm;

        // The first showing also writes the hundred new history files.
        const double first = showOnce(menu);
        QCOMPARE(menu->shownRows().size(), std::size_t(100));
        QVERIFY(QTest::qWaitForWindowExposed(menu));

        std::vector<double> runs;
        for (int i = 0; i < kRuns; ++i) {
            runs.push_back(showOnce(menu));
            QVERIFY(runs.back() >= 0);
        }
        std::sort(runs.begin(), runs.end());
        const double median = runs[kRuns / 2];
        qInfo(
            "course menu with 100 rows: first showing %.2f ms, then median %.2f ms "
            "(min %.2f, max %.2f) over %d runs",
            first, median, runs.front(), runs.back(), kRuns);
        QVERIFY2(median < kBudgetMs, qPrintable(QStringLiteral("median %1 ms").arg(median)));
        QVERIFY(rig.messages.shown.empty());
    }
};

QTEST_MAIN(CourseMenuSpeed)
#include "tst_course_menu_speed.moc"
