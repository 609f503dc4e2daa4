// How long the advisor takes to come up for a vendor of 100 courses, the
// most a catalog lists: every history file read, the list drawn and the
// window painted.

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>

#include "core/questions/qdf_builder.h"
#include "core/results/history_file.h"
#include "exam_rig.h"
#include "ui/results/TStudyForm.h"

class TestStudySpeed : public QObject {
    Q_OBJECT

  private:
    static constexpr int kRuns = 9;
    static constexpr int kCourses = 100;
    static constexpr double kBudgetMs = 100.0;

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void aHundredCourses() {
        ExamRig rig;
        QVERIFY(rig.start({"kumo"}).ok());
        tovalo::ui::Session& s = *rig.session;
        const std::string qdat = s.directories.questionDir("kumo");
        const std::string hist = s.directories.historyDir("kumo");
        for (int i = 0; i < kCourses - 2; ++i) {
            const std::string code = "KSP-" + std::to_string(100 + i);
            QdfBuilder q;
            q.plain("QFileFormat-v1.4").plain("30/70").plain("45").plain(code).plain("速度");
            q.plain("1").plain("0").plain("0").plain("20261201").plain("1");
            q.category("分野", {"小"}).plain("*CE").record({});
            QFile f(QString::fromStdString(qdat + code + ".qdf"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(q.stored()));
            tovalo::HistoryFile h;
            h.AverageRate = i % 101;
            h.BestRate = std::min(100, i % 101 + 10);
            QVERIFY(tovalo::saveHistoryFile(hist + code + ".HIS", h).ok());
            if (i % 3 == 0) {
                QFile adp(QString::fromStdString(hist + code + ".ADP"));
                QVERIFY(adp.open(QIODevice::WriteOnly));
            }
        }
        s.catalog = tovalo::buildCatalog(qdat, hist, tovalo::emptyHistoryFiles(""));
        QCOMPARE(static_cast<int>(s.catalog.courses.size()), kCourses);

        tovalo::ui::TStudyForm* advisor = rig.screens->StudyForm;
        std::vector<double> runs;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer clock;
            clock.start();
            advisor->show();
            const QPixmap frame = advisor->grab();
            runs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            QVERIFY(!frame.isNull());
            QCOMPARE(static_cast<int>(advisor->courses().size()), kCourses);
            advisor->hide();
            QCoreApplication::processEvents();
        }
        std::sort(runs.begin(), runs.end());
        const double median = runs[kRuns / 2];
        qInfo("advisor, 100 courses: median %.1f ms, fastest %.1f ms, slowest %.1f ms", median,
              runs.front(), runs.back());
        QVERIFY2(median < kBudgetMs, qPrintable(QString::number(median)));
    }
};

QTEST_MAIN(TestStudySpeed)
#include "tst_study_speed.moc"
