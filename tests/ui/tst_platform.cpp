#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "core/app/vendors.h"
#include "core/net/http_client.h"
#include "platform/posix_connector.h"
#include "platform/posix_file_attributes.h"
#include "platform/proc_mounts_drive_lister.h"
#include "platform/qt_bundle_loader.h"
#include "platform/qt_modules.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_shell.h"
#include "platform/sound_module.h"
#include "platform/tls_module.h"
#include "platform/zip_module.h"

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

    // What the first window does not need comes as modules: the program
    // does not link their libraries, and each module loads and offers what
    // it is for.
    void modulesInsteadOfLinkedLibraries() {
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"),
                      {QStringLiteral("-d"), QStringLiteral(TOVALO_STAGE_ROOT "/bin/tovalo")});
        QVERIFY(readelf.waitForFinished() && readelf.exitCode() == 0);
        const QString linked = QString::fromLatin1(readelf.readAllStandardOutput());
        QVERIFY(linked.contains(QStringLiteral("libQt6Widgets")));
        for (const char* library : {"libQt6Multimedia", "libQt6Network", "libQt6WebEngine",
                                    "libssl", "libcrypto", "libzip"}) {
            QVERIFY2(!linked.contains(QLatin1String(library)), library);
        }
        using namespace tovalo::platform;
        QVERIFY(moduleInterface<SoundPlayerFactory>(QStringLiteral("tovalo_sound")) != nullptr);
        QVERIFY(moduleInterface<TlsHandshakerFactory>(QStringLiteral("tovalo_tls")) != nullptr);
        QVERIFY(moduleInterface<ZipEntryReaderModule>(QStringLiteral("tovalo_unzip")) != nullptr);
        QString reason;
        QVERIFY(loadModule(QStringLiteral("tovalo_nothing"), &reason) == nullptr);
        QVERIFY(!reason.isEmpty());
    }

    // The client over real sockets: a loopback server that answers, one
    // that never does, and a port nobody listens on.
    void httpOverSockets() {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 4), 0);
        socklen_t length = sizeof address;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        const std::string base = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));

        std::string request;
        std::thread server([&] {
            // First: read the request and answer in two writes.
            int c = ::accept(listener, nullptr, nullptr);
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    break;
                }
                request.append(buffer, static_cast<std::size_t>(n));
            }
            const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\nhel";
            ::send(c, head.data(), head.size(), 0);
            ::send(c, "lo!", 3, 0);
            ::close(c);
            // Second: take the connection and say nothing until the client gives up.
            c = ::accept(listener, nullptr, nullptr);
            while (::recv(c, buffer, sizeof buffer, 0) > 0) {
            }
            ::close(c);
        });
        tovalo::platform::PosixConnector connector;
        tovalo::net::HttpClient client(connector);
        tovalo::net::HttpResponse r = client.get(base + "/q?x=1");
        QCOMPARE(r.outcome, tovalo::net::HttpOutcome::Success);
        QCOMPARE(r.body, std::string("hello!"));
        QVERIFY(request.starts_with("GET /q?x=1 HTTP/1.0\r\nHost: 127.0.0.1\r\n"));

        client.settings.timeout = std::chrono::milliseconds(300);
        QElapsedTimer clock;
        clock.start();
        r = client.get(base + "/");
        // Connected and asked, but never answered.
        QCOMPARE(r.outcome, tovalo::net::HttpOutcome::ExchangeFailed);
        QVERIFY(clock.elapsed() >= 250 && clock.elapsed() < 5000);
        ::shutdown(listener, SHUT_RDWR);
        server.join();
        ::close(listener);

        // The port is closed now: refused at once.
        QCOMPARE(client.get(base + "/").outcome, tovalo::net::HttpOutcome::ConnectionFailed);
        QCOMPARE(client.get("http://no-such-host.invalid/").outcome,
                 tovalo::net::HttpOutcome::InvalidHost);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
