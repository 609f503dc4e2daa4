#include <sys/stat.h>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "core/app/vendors.h"
#include "platform/posix_file_attributes.h"
#include "platform/proc_mounts_drive_lister.h"
#include "platform/qt_bundle_loader.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_shell.h"

using namespace tovalo::platform;

class TestPlatform : public QObject {
    Q_OBJECT

  private:
    static std::string bundle(const char* name) {
        return std::string(TOVALO_TEST_BUNDLES) + "/" + name + ".rcc";
    }

  private slots:
    void settingsLiveUnderTheTestConfigFolder() {
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY2(!config.isEmpty(), "the test must run with its own XDG_CONFIG_HOME");
        QtSettingsStore store;
        QVERIFY2(store.fileName().startsWith(config), qPrintable(store.fileName()));
        QVERIFY(store.fileName().contains("Marvesta/Tovalo Vidod v2"));
    }

    void settingsRoundTripAsStrings() {
        {
            QtSettingsStore store;
            QSettings(store.fileName(), QSettings::IniFormat).clear();
        }
        {
            QtSettingsStore store;
            QVERIFY(!store.read("Name").has_value());
            store.write("Name", "山田 太郎");
            store.write("DefaultDir", "007");
            store.writeInteger("Left", -12);
            store.flush();
        }
        QtSettingsStore reopened;
        QCOMPARE(reopened.read("Name").value_or(""), std::string("山田 太郎"));
        QCOMPARE(reopened.read("DefaultDir").value_or(""), std::string("007"));
        QCOMPARE(reopened.readInteger("Left", 0), -12);
        // Key names are kept exactly as the program spells them.
        QVERIFY(!reopened.read("name").has_value());
    }

    void bundlesLoadSideBySideAndUnload() {
        QtBundleLoader loader;
        tovalo::Result<std::string> alpha = loader.load(bundle("alpha"), 1);
        QVERIFY2(alpha.ok(), alpha.ok() ? "" : alpha.error().describe().c_str());
        tovalo::Result<std::string> beta = loader.load(bundle("beta"), 2);
        QVERIFY(beta.ok());
        QCOMPARE(tovalo::app::VendorStrings::parse(*alpha).get(2), std::string("alpha"));
        QCOMPARE(tovalo::app::VendorStrings::parse(*beta).get(2), std::string("beta"));
        QCOMPARE(tovalo::app::VendorStrings::parse(*beta).get(5), std::string(" "));
        QCOMPARE(QtBundleLoader::picture(1, 109).size(), QSize(77, 36));
        QCOMPARE(QtBundleLoader::picture(2, 109).size(), QSize(77, 36));
        QVERIFY(QtBundleLoader::picture(1, 104).isNull());

        loader.unload(1);
        QVERIFY(QtBundleLoader::picture(1, 109).isNull());
        QVERIFY(!QFile::exists(":/vendor1/strings.txt"));
        QVERIFY(QFile::exists(":/vendor2/strings.txt"));
    }

    void brokenBundlesFailAndLeaveTheSlotFree() {
        QtBundleLoader loader;
        tovalo::Result<std::string> missing = loader.load(bundle("nothing"), 1);
        QVERIFY(!missing.ok());
        QCOMPARE(missing.error().message, std::string("ファイルが見つかりません"));

        tovalo::Result<std::string> noStrings = loader.load(bundle("nostrings"), 1);
        QVERIFY(!noStrings.ok());
        QVERIFY(!QFile::exists(":/vendor1/109.png"));

        QTemporaryDir dir;
        QString text = dir.filePath("Tovalofake.rcc");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a resource bundle");
        f.close();
        QVERIFY(!loader.load(text.toStdString(), 1).ok());
    }

    void cdromRootsFromTheMountTable() {
        QTemporaryDir dir;
        QString table = dir.filePath("mounts");
        QFile f(table);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cdrom iso9660 ro 0 0\n");
        f.close();
        QCOMPARE(ProcMountsDriveLister(table.toStdString()).cdromRoots(),
                 std::vector<std::string>{"/media/cdrom/"});
        QVERIFY(ProcMountsDriveLister((dir.path() + "/none").toStdString()).cdromRoots().empty());
    }

    void fileAttributesChangePermissionsAndTimes() {
        QTemporaryDir dir;
        std::string path = dir.filePath("exam.htm").toStdString();
        QFile f(QString::fromStdString(path));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        PosixFileAttributes attributes;

        QVERIFY(attributes.setReadOnly(path, true).ok());
        struct stat st {};
        QCOMPARE(::stat(path.c_str(), &st), 0);
        QCOMPARE(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), mode_t(0));
        QVERIFY(attributes.setReadOnly(path, false).ok());
        QCOMPARE(::stat(path.c_str(), &st), 0);
        QVERIFY(st.st_mode & S_IWUSR);
        QVERIFY(attributes.setHidden(path, true).ok());

        auto when = std::chrono::system_clock::from_time_t(1'000'000'000);
        QVERIFY(attributes.setFileTimes(path, when).ok());
        tovalo::Result<std::chrono::system_clock::time_point> read = attributes.lastWriteTime(path);
        QVERIFY(read.ok());
        QVERIFY(*read == when);

        std::string gone = dir.filePath("gone.htm").toStdString();
        QCOMPARE(attributes.setReadOnly(gone, false).error().message,
                 std::string("ファイルが見つかりません"));
        QVERIFY(!attributes.lastWriteTime(gone).ok());
    }

    void shellReportsAMissingPageWithoutOpeningAnything() {
        QtShell shell;
        QTemporaryDir dir;
        std::string page = dir.filePath("Print.htm").toStdString();
        tovalo::Status opened = shell.open(page);
        QVERIFY(!opened.ok());
        QCOMPARE(opened.error().message, std::string("ファイルが見つかりません"));
        QCOMPARE(opened.error().file, page);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
