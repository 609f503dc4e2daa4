// The question update window and its download window, driven with real
// clicks and keys against a loopback server over the desktop's sockets:
// what the learner is asked and told, what lands on disk, what is stored,
// and that the program is asked to end after a replacement.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>
#include <atomic>
#include <map>
#include <thread>

#include "core/update/update_rules.h"
#include "core/update/zip_maker.h"
#include "online_rig.h"
#include "platform/qt_modal_windows.h"
#include "ui/online/TDownLoad.h"
#include "ui/online/TUpdateForm.h"
#include "ui/online/transfer_animation.h"
#include "ui/widgets/image_button.h"

using tovalo::ui::ImageButton;
using tovalo::ui::TDownLoad;
using tovalo::ui::TUpdateForm;
namespace update = tovalo::update;

namespace {

const update::UpdateMessage kConfirm{"確認", update::kConfirmClear};
const update::UpdateMessage kRestart{update::kInfoCaption, update::kMustRestart};
const update::UpdateMessage kNothing{update::kInfoCaption, update::kNothingNew};

}  // namespace

class TestUpdateForm : public QObject {
    Q_OBJECT

  private slots:
    // One vendor: the newer course arrives zipped with a new figure; the
    // download window shows each file while the update window is hidden,
    // the course and the figure land on disk, the history goes, the date
    // is stored and the program is asked to end.
    void oneVendorReplacesAndEndsTheProgram() {
        UpdateRig t;
        const QString nxn = t.questionFile("nexa", "NXN-101.qdf");
        const std::string newer = withDateLine(readBytes(nxn), "20261201093000");
        t.served["NXN-101.qdf"] = makeZip({{"#NXN-101.qdf", newer}});
        const QString ini = t.questionFile("nexa", "NXN-101.ini");
        std::string iniBytes = readBytes(ini);
        const std::string servedIni = iniBytes.replace(iniBytes.find("\r\n1\r\n"), 5, "\r\n2\r\n")
                                          .insert(iniBytes.find("[Level]"), "nxn_wan.jpg 1\r\n");
        t.served["NXN-101.ini"] = servedIni;
        // The last file fetched, padded below its list to a size whose
        // status line is easy to read.
        std::string lastList = "; NXS-210\r\n1\r\n;\r\n[Pad]\r\n";
        lastList += std::string(700 - lastList.size(), 'x');
        t.served["NXS-210.ini"] = lastList;
        const std::string figure(3000, 'j');
        t.served["nxn_wan.jpg"] = figure;
        t.holdOn = "nxn_wan.jpg";
        const QString history = t.rig.path(QStringLiteral("HIST/nexa/NXN-101.HIS"));
        writeBytes(history, "old history");
        t.rig.messages.answers = {true};

        t.open();
        QCOMPARE(t.form->windowTitle(), QStringLiteral("模擬問題更新"));
        QCOMPARE(t.at<QLabel>("TitleLabel")->text(), QStringLiteral("模擬問題更新"));
        auto* vendors = t.at<QComboBox>("VendorCombo");
        QCOMPARE(vendors->count(), 4);
        QCOMPARE(vendors->itemText(0), QStringLiteral("全部"));
        QCOMPARE(vendors->currentText(), QStringLiteral("ネクサ・ラーニング"));
        QCOMPARE(t.at<QSpinBox>("TimeoutEdit")->value(), 120);
        QCOMPARE(t.at<QLineEdit>("ProxyName")->text(), QStringLiteral("Input Proxy Server name"));
        QCOMPARE(t.at<QLineEdit>("ProxyPort")->text(), QStringLiteral("Input Proxy Port"));
        QVERIFY(!t.at<QLineEdit>("ProxyName")->isEnabled());
        for (const char* name : {"VendorCombo", "TimeoutEdit", "UseProxy", "ProxyName", "ProxyPort",
                                 "StartButton", "CloseButton"}) {
            QVERIFY2(!t.at(name)->accessibleName().isEmpty(), name);
        }

        QTest::mouseClick(t.at<ImageButton>("StartButton"), Qt::LeftButton);
        // The figure's answer is held back: the download window is up with
        // the update window out of the way, and the picture moves.
        QTRY_VERIFY(t.download->isVisible());
        QVERIFY(!t.form->isVisible());
        QCOMPARE(t.download->windowTitle(), QStringLiteral("ダウンロード"));
        QCOMPARE(t.download->windowModality(), Qt::ApplicationModal);
        QCOMPARE(t.download->control<QLabel>(QStringLiteral("MessageLabel"))->text(),
                 QStringLiteral("センターと通信しています。"));
        auto* fileLabel = t.download->control<QLabel>(QStringLiteral("FileLabel"));
        QTRY_COMPARE(fileLabel->text(), QStringLiteral("模擬問題nxn_wan.jpgをダウンロード中"));
        auto* animation =
            t.download->control<tovalo::ui::TransferAnimation>(QStringLiteral("Animate1"));
        QVERIFY(animation->running());
        const QImage before = animation->grab().toImage();
        QTest::qWait(200);
        QVERIFY(animation->grab().toImage() != before);
        t.release = true;

        QTRY_COMPARE(t.rig.endRequests, 1);
        QCOMPARE(t.shown(),
                 (std::vector<update::UpdateMessage>{
                     kConfirm,
                     {update::kInfoCaption, update::replacedList({"NXN-101 : ネットワーク基礎"})},
                     kRestart}));
        QVERIFY(!t.download->isVisible());
        QVERIFY(!animation->running());
        QCOMPARE(t.download->control<QLabel>(QStringLiteral("StatusLabel"))->text(),
                 QStringLiteral("700 bytes / 700 bytes"));
        QVERIFY(!t.form->isVisible());
        QVERIFY(readBytes(nxn) == newer);
        QVERIFY(readBytes(ini) == servedIni);
        QVERIFY(readBytes(t.rig.path(QStringLiteral("QDAT/nexa/img/nxn_wan.jpg"))) == figure);
        QVERIFY(!QFileInfo::exists(history));
        QCOMPARE(t.workingFiles(), 0);
        QCOMPARE(t.rig.settings.values["LastUpdateYear"], std::string("2026"));
        QCOMPARE(t.rig.settings.values["LastUpdateMonth"], std::string("12"));
        QCOMPARE(t.rig.settings.values["LastUpdateDay"], std::string("9"));
        QCOMPARE(t.rig.settings.values["ProxyServer"], std::string());
        // Only nexa was asked about: its three courses, then its three lists
        // and the one new figure.
        QCOMPARE(t.requested(), (std::vector<std::string>{
                                    "NXA-330.qdf", "NXN-101.qdf", "NXS-210.qdf", "NXA-330.ini",
                                    "NXN-101.ini", "nxn_wan.jpg", "NXS-210.ini"}));
    }

    // All vendors, from the keyboard: each is announced and confirmed; the
    // declined one is not touched, the others are updated.
    void allVendorsFromTheKeyboard() {
        UpdateRig t;
        const QString kse = t.questionFile("kumo", "KSE-100.qdf");
        const std::string newer = withDateLine(readBytes(kse), "20250630235959");
        t.served["KSE-100.qdf"] = newer;  // a day earlier, later in the day: newer
        t.rig.messages.answers = {true, false, true};
        t.open();

        auto* vendors = t.at<QComboBox>("VendorCombo");
        vendors->setFocus();
        QTest::keyClick(vendors, Qt::Key_Home);
        QCOMPARE(vendors->currentIndex(), 0);
        QCOMPARE(vendors->currentText(), QStringLiteral("全部"));
        const QImage unfocused = t.at("StartButton")->grab().toImage();
        // Vendor, time-out, proxy box, (its fields are off), start.
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), t.at("StartButton"));
        QVERIFY(t.at("StartButton")->grab().toImage() != unfocused);  // the focus mark
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

        QTRY_COMPARE(t.rig.endRequests, 1);
        QCOMPARE(
            t.shown(),
            (std::vector<update::UpdateMessage>{
                {update::kInfoCaption, "ネクサ・ラーニング の更新を行います。"},
                kConfirm,
                kNothing,
                {update::kInfoCaption, "ソラネ教育センター の更新を行います。"},
                kConfirm,
                {update::kInfoCaption, "くもテック・アカデミー の更新を行います。"},
                kConfirm,
                {update::kInfoCaption, update::replacedList({"KSE-100 : 情報セキュリティ入門"})},
                kRestart}));
        QVERIFY(readBytes(kse) == newer);
        for (const std::string& name : t.requested()) {
            QVERIFY2(!name.starts_with("SR"), name.c_str());
        }
        QCOMPARE(t.requested().size(), std::size_t(3 + 3 + 2 + 2));
        QCOMPARE(t.workingFiles(), 0);
    }

    // What is refused before anything goes out, a run with nothing new, a
    // declined confirmation, and the stop button.
    void refusalsNothingNewAndStop() {
        UpdateRig t;
        t.open();
        auto* timeout = t.at<QSpinBox>("TimeoutEdit");
        QCOMPARE(timeout->maximum(), 1000);
        timeout->setFocus();
        timeout->selectAll();
        QTest::keyClicks(timeout, QStringLiteral("0"));
        QCOMPARE(timeout->value(), 0);
        QTest::mouseClick(t.at<ImageButton>("StartButton"), Qt::LeftButton);
        QCOMPARE(t.shown().back().text,
                 std::string("接続タイムアウト時間に0秒以下を設定することはできません。"));
        QCOMPARE(QApplication::focusWidget(), timeout);
        timeout->selectAll();
        QTest::keyClicks(timeout, QStringLiteral("30"));

        auto* use = t.at<QCheckBox>("UseProxy");
        use->setFocus();
        QTest::keyClick(use, Qt::Key_Space);
        QVERIFY(t.at<QLineEdit>("ProxyName")->isEnabled());
        t.at<QLineEdit>("ProxyName")->setText(QStringLiteral("http://proxy.lan"));
        QTest::mouseClick(t.at<ImageButton>("StartButton"), Qt::LeftButton);
        QCOMPARE(t.shown().back().text, std::string("Proxyサーバー名が誤っています。"));
        QTest::keyClick(use, Qt::Key_Space);
        QVERIFY(t.requested().empty());

        // Declined: nothing is asked of the server and the window stays.
        t.rig.messages.shown.clear();
        t.rig.messages.answers = {false};
        QTest::mouseClick(t.at<ImageButton>("StartButton"), Qt::LeftButton);
        QTRY_VERIFY(t.at("StartButton")->isEnabled());
        QCOMPARE(t.shown(), std::vector<update::UpdateMessage>{kConfirm});
        QVERIFY(t.form->isVisible());
        QVERIFY(t.requested().empty());

        // Nothing newer: told so, back to the course menu, no end, no date.
        t.rig.messages.shown.clear();
        t.rig.messages.answers = {true};
        QTest::mouseClick(t.at<ImageButton>("StartButton"), Qt::LeftButton);
        QTRY_VERIFY(!t.form->isVisible());
        QTRY_COMPARE(t.shown(), (std::vector<update::UpdateMessage>{kConfirm, kNothing}));
        // The run ends after its last message; opened before that, the
        // window would be closed again by the run's end.
        QTRY_VERIFY(t.at("StartButton")->isEnabled());
        QCOMPARE(t.rig.endRequests, 0);
        QVERIFY(!t.rig.settings.values.count("LastUpdateYear"));
        QCOMPARE(t.requested().size(), std::size_t(6));

        // Stopped while a file is on its way: the files stay as they were.
        const QString nxs = t.questionFile("nexa", "NXS-210.qdf");
        const std::string before = readBytes(nxs);
        t.served["NXS-210.qdf"] = withDateLine(before, "20991231235959");
        t.holdOn = "NXS-210.qdf";
        t.rig.messages.shown.clear();
        t.rig.messages.answers = {true};
        t.open();
        // Opened again, the window has its start button in focus.
        QCOMPARE(QApplication::focusWidget(), t.at("StartButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        auto* fileLabel = t.download->control<QLabel>(QStringLiteral("FileLabel"));
        QTRY_COMPARE(fileLabel->text(), QStringLiteral("模擬問題NXS-210.qdfをダウンロード中"));
        QTest::mouseClick(t.download->control<ImageButton>(QStringLiteral("StopButton")),
                          Qt::LeftButton);
        QCOMPARE(fileLabel->text(), QStringLiteral("中止しています…"));
        t.release = true;
        QTRY_COMPARE(t.shown().back(),
                     (update::UpdateMessage{update::kUpdateCaption, update::kUpdateCancelled}));
        QTRY_VERIFY(!t.download->isVisible());
        QVERIFY(readBytes(nxs) == before);
        QCOMPARE(t.workingFiles(), 0);
        QCOMPARE(t.rig.endRequests, 0);
        QTRY_VERIFY(!t.form->isVisible());
    }
};

QTEST_MAIN(TestUpdateForm)
#include "tst_update_form.moc"
