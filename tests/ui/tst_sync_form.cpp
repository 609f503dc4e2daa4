// The synchronisation windows through real clicks, over a scripted server
// (and once over real sockets): the proposal, the transfers, what lands on
// disk, and a window that stays while it works.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

#include "core/sync/sync_rules.h"
#include "online_rig.h"
#include "platform/qt_modal_windows.h"
#include "server/server_process.h"
#include "ui/online/TSyncCandidateForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/widgets/image_button.h"

using tovalo::ui::ImageButton;
using tovalo::ui::TSyncCandidateForm;
using tovalo::ui::TSyncForm;

class TestSyncForm : public QObject {
    Q_OBJECT

  private slots:
    // Proposal, OK, uploads and a download, then a second query that finds
    // the downloaded course in step.
    void proposesAndTransfers() {
        SyncRig t;
        const std::string older = "2026/11/20 07:30:00";
        std::vector<std::string> uploads;
        t.rig.server.handler = [&](const std::string& request) {
            const std::string id = testIdIn(request);
            std::string body;
            if (request.starts_with("POST /q.cgi")) {
                body = id == "NXA-330" ? "NOTFOUND" : id == "NXN-101" ? older : kLocalStamp;
            } else if (request.starts_with("POST /d.cgi")) {
                body =
                    "[DLDATA]\r\nTEST_ID=NXS-210\r\nQAMNT00=300\r\nDATE00=11200730\r\n"
                    "MAX=88\r\nCORR000=2\r\n";
            } else {
                uploads.push_back(request);
            }
            return reply(200, "Set-Cookie: sid=42\r\n", body + "\r\n");
        };
        t.open();
        QCOMPARE(t.form->windowTitle(), QStringLiteral("Tovalo Internet-Sync"));
        QVERIFY(!t.at("ProgressPanel")->isVisible());
        QVERIFY(!t.at<QLineEdit>("ProxyName")->isEnabled());
        QCOMPARE(t.at<QLineEdit>("ProxyName")->text(), QStringLiteral("Input Proxy Name"));
        QCOMPARE(t.at("StartButton")->toolTip(), QStringLiteral("学習履歴を@Tovaloと同期します"));

        t.start();
        QVERIFY(!t.at("StartButton")->isEnabled());
        QTRY_VERIFY(t.proposal->isVisible());
        QCOMPARE(t.proposal->windowModality(), Qt::ApplicationModal);
        auto* grid = t.proposal->control<QTableWidget>(QStringLiteral("Grid"));
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("ｻｰﾊﾞｰ日付"));
        QCOMPARE(t.cell(0, 0), QStringLiteral("NXA-330"));
        QCOMPARE(t.cell(0, 1), QStringLiteral("ｸﾗｲｱﾝﾄ最新"));
        QCOMPARE(t.cell(0, 2), QStringLiteral("----"));
        QCOMPARE(t.cell(0, 3), QString::fromStdString(kLocalStamp));
        QCOMPARE(t.cell(1, 1), QStringLiteral("ｻｰﾊﾞｰ最新"));
        QCOMPARE(t.cell(1, 2), QString::fromStdString(older));
        QCOMPARE(t.cell(2, 1), QStringLiteral("同期済み"));
        const std::string before = readBytes(t.course(1).HisPath);

        QTest::mouseClick(t.proposal->control<QWidget>(QStringLiteral("OKButton")), Qt::LeftButton);
        QTRY_COMPARE(t.shown(), std::vector<std::string>{"履歴情報の同期が完了しました。"});
        QTRY_VERIFY(t.at("StartButton")->isEnabled());
        QVERIFY(!t.at("ProgressPanel")->isVisible());
        QCOMPARE(t.rig.messages.shown[0].caption, std::string("Tovalo Internet-Sync"));

        QCOMPARE(uploads.size(), std::size_t(1));
        QVERIFY(uploads[0].find("\r\nCookie: sid=42\r\n") != std::string::npos);
        QVERIFY(uploads[0].find("&NAME=Taro%20Yamada&TEST_ID=NXA-330&") != std::string::npos);
        // The downloaded copy, in the course's own file, with the server's stamp.
        const std::string fetched = readBytes(t.course(1).HisPath);
        QVERIFY(fetched != before);
        QCOMPARE(fetched.size(), std::size_t(1960));
        QCOMPARE(static_cast<unsigned char>(fetched[512 + 7]), 44);
        QCOMPARE(static_cast<unsigned char>(fetched[512 + 8]), 1);
        QCOMPARE(static_cast<unsigned char>(fetched[602]), 88);
        QCOMPARE(fetched.substr(4, t.course(1).QdfPath.size()), t.course(1).QdfPath);
        QVERIFY(t.rig.files.files[t.course(1).HisPath].time == stamp(older));
        QVERIFY(readBytes(t.course(0).HisPath) == tovalo::emptyHistoryFile(""));

        // Straight away again: the fetched course is in step; Cancel drops it.
        t.start();
        QTRY_VERIFY(t.proposal->isVisible());
        QCOMPARE(t.cell(1, 1), QStringLiteral("同期済み"));
        QCOMPARE(t.cell(1, 3), QString::fromStdString(older));
        QTest::keyClick(t.proposal->windowHandle(), Qt::Key_Escape);
        QVERIFY(!t.proposal->isVisible());
        QVERIFY(t.at("StartButton")->isEnabled());
        QCOMPARE(uploads.size(), std::size_t(1));
        QCOMPARE(t.rig.messages.shown.size(), std::size_t(1));
    }

    // The proxy fields are checked before anything goes out, and used after.
    void proxyFields() {
        SyncRig t;
        t.rig.settings.values["ProxyServer"] = "proxy.lan";
        t.rig.settings.values["ProxyPort"] = "3128";
        t.rig.server.handler = [](const std::string&) {
            return reply(200, "", "ERROR1:停止中\r\n");
        };
        t.open();
        auto* use = t.at<QCheckBox>("UseProxy");
        auto* name = t.at<QLineEdit>("ProxyName");
        auto* port = t.at<QLineEdit>("ProxyPort");
        QVERIFY(use->isChecked());
        QCOMPARE(name->text(), QStringLiteral("proxy.lan"));
        QCOMPARE(name->palette().color(QPalette::Base), QColor(Qt::white));
        QTest::mouseClick(use, Qt::LeftButton, {}, QPoint(8, use->height() / 2));
        QVERIFY(!name->isEnabled());
        QCOMPARE(port->palette().color(QPalette::Base), QColor(192, 192, 192));
        QTest::keyClick(use, Qt::Key_Space);
        QVERIFY(port->isEnabled());

        name->setText(QStringLiteral("http://proxy.lan"));
        t.start();
        QCOMPARE(t.shown(), std::vector<std::string>{"Proxyサーバー名が誤っています。"});
        name->setText(QStringLiteral("proxy.lan"));
        port->setText(QStringLiteral("31 28"));
        t.start();
        QCOMPARE(t.shown().back(), std::string("Proxyポート番号が誤っています。"));
        QVERIFY(t.rig.server.requestsSoFar().empty());
        QVERIFY(t.at("StartButton")->isEnabled());

        port->setText(QStringLiteral("3128"));
        t.start();
        QTRY_COMPARE(t.shown().back(), std::string("停止中"));
        QTRY_VERIFY(t.at("StartButton")->isEnabled());
        QCOMPARE(t.rig.server.hosts.back(), std::string("proxy.lan:3128"));
        QVERIFY(t.rig.server.requestsSoFar().back().starts_with("POST http://his.example/q.cgi "));
        QVERIFY(!t.proposal->isVisible());
    }

    // While a download waits on the server the window paints its progress,
    // refuses to close, and Stop leaves the file as it was.
    void staysWhileWorkingAndStops() {
        SyncRig t;
        std::atomic<bool> release{false};
        t.rig.server.handler = [&](const std::string& request) {
            if (request.starts_with("POST /q.cgi")) {
                return reply(200, "", "2026/11/20 07:30:00\r\n");
            }
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            return reply(200, "", "[DLDATA]\r\nMAX=1\r\n");
        };
        const std::string before = readBytes(t.course(0).HisPath);
        t.open();
        t.start();
        QTRY_VERIFY(t.proposal->isVisible());
        QTest::keyClick(t.proposal->windowHandle(), Qt::Key_Return);
        auto* label = t.at<QLabel>("ProgressLabel");
        QTRY_COMPARE(label->text(), QStringLiteral("NXA-330 : ダウンロード中"));
        QVERIFY(t.at("ProgressPanel")->isVisible());
        QCOMPARE(t.at<QProgressBar>("ProgressBar")->maximum(), 3);
        QCOMPARE(t.at<QProgressBar>("ProgressBar")->value(), 1);
        QCOMPARE(t.form->cursor().shape(), Qt::BusyCursor);
        const QImage painted = t.form->grab().toImage();
        const QRect bar = t.at("ProgressBar")
                              ->geometry()
                              .translated(t.at("ProgressPanel")->mapTo(t.form, QPoint(0, 0)));
        QVERIFY(painted.pixelColor(bar.center()) != painted.pixelColor(QPoint(2, 2)));

        QVERIFY(!t.form->windowHandle()->close());
        QVERIFY(t.form->isVisible());
        QTest::keyClick(t.form->windowHandle(), Qt::Key_Escape);  // Esc stops, never closes
        QVERIFY(t.form->isVisible());
        release = true;
        QTRY_COMPARE(t.shown(), std::vector<std::string>{"履歴情報の同期を中止しました。"});
        QVERIFY(readBytes(t.course(0).HisPath) == before);
        QVERIFY(t.rig.files.files[t.course(0).HisPath].time == stamp(kLocalStamp));
        QVERIFY(t.at("StartButton")->isEnabled());
        QCOMPARE(t.form->cursor().shape(), Qt::ArrowCursor);
        QTest::keyClick(t.form->windowHandle(), Qt::Key_Escape);
        QVERIFY(!t.form->isVisible());
    }

    // A hundred courses over real sockets, each fetched from a loopback
    // server: the whole run, proposal aside, well under two seconds.
    void hundredCoursesOverSockets() {
        SyncRig t;
        const tovalo::CourseEntry first = t.course(0);
        const QString dir = QFileInfo(QString::fromStdString(first.QdfPath)).path();
        for (int i = 0; i < 100; ++i) {
            QFile::copy(QString::fromStdString(first.QdfPath),
                        dir + QStringLiteral("/ZZ-%1.qdf").arg(i, 3, 10, QLatin1Char('0')));
        }
        tovalo::ui::Session& s = *t.rig.session;
        s.catalog =
            tovalo::buildCatalog(s.directories.questionDir("nexa"),
                                 s.directories.historyDir("nexa"), tovalo::emptyHistoryFiles(""));
        QCOMPARE(s.catalog.courses.size(), std::size_t(100));  // the catalog's limit
        for (const tovalo::CourseEntry& c : s.catalog.courses) {
            t.rig.files.files[c.HisPath].time = stamp(kLocalStamp);
        }
        LoopbackServer server([](const std::string& request) {
            return request.starts_with("POST /q.cgi")
                       ? reply(200, "", "2026/11/20 07:30:00\r\n")
                       : reply(200, "", "[DLDATA]\r\nMAX=5\r\nQAMNT00=300\r\n");
        });
        const std::string a = server.hostAndPort();
        writeBytes(t.rig.bin() + "His_srv", a + "/q.cgi\r\n" + a + "/u.cgi\r\n" + a + "/d.cgi\r\n");
        s.services.connector = nullptr;  // the desktop's sockets

        // When the progress bar was painted, in ms from the start.
        struct PaintLog : QObject {
            QElapsedTimer since;
            std::vector<qint64> at;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) {
                    at.push_back(since.elapsed());
                }
                return false;
            }
        } paints;
        t.at("ProgressBar")->installEventFilter(&paints);
        t.open();
        QElapsedTimer clock;
        clock.start();
        paints.since.start();
        t.start();
        QTRY_VERIFY_WITH_TIMEOUT(t.proposal->isVisible(), 10000);
        const qint64 query = clock.elapsed();
        QCOMPARE(t.cell(99, 1), QStringLiteral("ｻｰﾊﾞｰ最新"));
        clock.restart();
        QTest::mouseClick(t.proposal->control<QWidget>(QStringLiteral("OKButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!t.rig.messages.shown.empty(), 10000);
        const qint64 transfer = clock.elapsed();
        QCOMPARE(t.shown().back(), std::string("履歴情報の同期が完了しました。"));
        qint64 longestGap = 0;
        for (std::size_t i = 1; i < paints.at.size(); ++i) {
            longestGap = std::max(longestGap, paints.at[i] - paints.at[i - 1]);
        }
        qInfo(
            "100 courses: query %lld ms, transfer %lld ms; progress bar painted %zu times, "
            "at most %lld ms apart",
            query, transfer, paints.at.size(), longestGap);
        QVERIFY(query + transfer < 2000);
        QVERIFY(paints.at.size() >= 4);
        QVERIFY(longestGap < 250);
        QCOMPARE(server.requests().size(), std::size_t(200));
        QCOMPARE(static_cast<unsigned char>(readBytes(s.catalog.courses[99].HisPath)[602]), 5);
    }

    // The window against our own server, as a learner meets it: nothing on
    // the server at first, every course uploaded, then all in step.
    void againstTovaloServer() {
        if (std::string_view(TOVALO_SERVER).empty()) {
            QSKIP("built without tovalo-server");
        }
        SyncRig t;
        QTemporaryDir data;
        ServerProcess server(data.path().toStdString());
        const std::string a = "localhost:" + std::to_string(server.port());
        writeBytes(t.rig.bin() + "His_srv", a + "/sync/query.cgi\r\n" + a + "/sync/upload.cgi\r\n" +
                                                a + "/sync/download.cgi\r\n");
        t.rig.session->services.connector = nullptr;  // the desktop's sockets
        t.open();
        std::size_t runs = 0;
        for (const char* expected : {"ｸﾗｲｱﾝﾄ最新", "同期済み"}) {
            t.start();
            QTRY_VERIFY(t.proposal->isVisible());
            for (int row = 0; row < 3; ++row) {
                QCOMPARE(t.cell(row, 1), QString::fromUtf8(expected));
            }
            QTest::mouseClick(t.proposal->control<QWidget>(QStringLiteral("OKButton")),
                              Qt::LeftButton);
            ++runs;
            QTRY_COMPARE(t.shown().size(), runs);
            QCOMPARE(t.shown().back(), std::string("履歴情報の同期が完了しました。"));
        }
        QCOMPARE(t.cell(0, 2), t.cell(0, 3));
    }
};

QTEST_MAIN(TestSyncForm)
#include "tst_sync_form.moc"
