#pragma once

// The online windows over a sample installation: a synchronisation server
// scripted inside the process, and a question update server on a loopback
// socket. The window tests and the tour both drive the windows from here.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTableWidget>
#include <QTest>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/loopback_server.h"
#include "core/sync/sync_rules.h"
#include "core/update/update_rules.h"
#include "exam_rig.h"
#include "platform/qt_modal_windows.h"
#include "ui/online/TDownLoad.h"
#include "ui/online/TSyncCandidateForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/online/TUpdateForm.h"
#include "ui/widgets/image_button.h"

inline std::string readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}
inline std::string readBytes(const std::string& path) {
    return readBytes(QString::fromStdString(path));
}

inline void writeBytes(const QString& path, const std::string& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}
inline void writeBytes(const std::string& path, const std::string& bytes) {
    writeBytes(QString::fromStdString(path), bytes);
}

// One online window of a rig: its controls by name, and opening it as the
// course menu does.
template <class Form>
struct OnlineWindow {
    template <class W = QWidget>
    W* at(const char* name) const {
        return form->template control<W>(QLatin1String(name));
    }
    void open() {
        tovalo::platform::openModal(form);
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

    Form* form = nullptr;
};

// ---- synchronisation

using SysClock = std::chrono::system_clock;

inline const std::string kLocalStamp = "2026/12/01 10:00:00";

inline SysClock::time_point stamp(const std::string& text) {
    return tovalo::sync::toTimePoint(*tovalo::sync::parseSyncDate(text));
}

inline std::string testIdIn(const std::string& request) {
    const std::size_t at = request.find("Test_ID=");
    if (at == std::string::npos) {
        return {};
    }
    return request.substr(at + 8, request.find('&', at) - at - 8);
}

// The sample installation with its nexa courses listed, every history
// stamped kLocalStamp, and "His_srv" naming the scripted server.
struct SyncRig : OnlineWindow<tovalo::ui::TSyncForm> {
    SyncRig() {
        writeBytes(rig.bin() + "His_srv",
                   "his.example/q.cgi\r\nhis.example/u.cgi\r\nhis.example/d.cgi\r\n");
        QVERIFY(rig.start().ok());
        tovalo::ui::Session& s = *rig.session;
        for (const tovalo::app::Vendor& v : s.vendors) {
            if (v.folder == "nexa") {
                s.currentVendor = v.number;
            }
        }
        s.catalog =
            tovalo::buildCatalog(s.directories.questionDir("nexa"),
                                 s.directories.historyDir("nexa"), tovalo::emptyHistoryFiles(""));
        QCOMPARE(s.catalog.courses.size(), std::size_t(3));
        for (const tovalo::CourseEntry& c : s.catalog.courses) {
            rig.files.files[c.HisPath].time = stamp(kLocalStamp);
        }
        s.profile = {"Taro Yamada", "Org", "taro@example.jp", "S-9"};
        rig.server.block = 4096;
        form = rig.screens->SyncForm;
        proposal = rig.screens->SyncCandidateForm;
    }

    const tovalo::CourseEntry& course(int i) const { return rig.session->catalog.courses[i]; }
    void start() { QTest::mouseClick(at<tovalo::ui::ImageButton>("StartButton"), Qt::LeftButton); }
    QString cell(int row, int column) const {
        return proposal->control<QTableWidget>(QStringLiteral("Grid"))->item(row, column)->text();
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& box : rig.messages.shown) {
            texts.push_back(box.text);
        }
        return texts;
    }

    ExamRig rig;
    tovalo::ui::TSyncCandidateForm* proposal = nullptr;
};

// ---- question update

// The same question file with another date line.
inline std::string withDateLine(std::string bytes, const std::string& line9) {
    std::size_t at = 0;
    for (int i = 0; i < 8; ++i) {
        at = bytes.find("\r\n", at) + 2;
    }
    return bytes.replace(at, bytes.find("\r\n", at) - at, line9);
}

// The sample installation, a loopback server that answers every file with
// the installed copy unless told otherwise, and "SRV_INFO" naming it.
struct UpdateRig : OnlineWindow<tovalo::ui::TUpdateForm> {
    UpdateRig() {
        QVERIFY(rig.start().ok());
        tovalo::ui::Session& s = *rig.session;
        for (const tovalo::app::Vendor& v : s.vendors) {
            if (v.folder == "nexa") {
                s.currentVendor = v.number;
            }
        }
        s.services.connector = nullptr;  // the desktop's sockets
        const std::string a = server.hostAndPort();
        writeBytes(QString::fromStdString(rig.bin() + "SRV_INFO"),
                   a + "\r\nupdate/qdf.cgi\r\n" + a + "\r\nupdate/img\r\n");
        rig.settings.values["Name"] = "Taro Yamada";
        rig.settings.values["Serial"] = "S-9";
        rig.settings.values["Email"] = "taro@example.jp";
        rig.clock.time = localTime(2026, 12, 9, 8, 30);
        form = rig.screens->UpdateForm;
        download = rig.screens->DownLoad;
    }

    std::string answer(const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        std::string name = line.substr(
            line.find("/update/img/") != std::string::npos ? line.find("/update/img/") + 12 : 0);
        if (line.find("QDFName=") != std::string::npos) {
            const std::size_t at = line.find("QDFName=") + 8;
            name = line.substr(at, line.find('&', at) - at);
        } else {
            name = name.substr(0, name.find(' '));
        }
        {
            std::lock_guard lock(mutex);
            asked.push_back(name);
        }
        if (name == holdOn) {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        std::string body;
        const auto it = served.find(name);
        if (it != served.end()) {
            body = it->second;
        } else {
            for (const char* vendor : {"nexa", "sorane", "kumo"}) {
                const QString local = questionFile(vendor, name);
                if (QFileInfo::exists(local)) {
                    body = readBytes(local);
                }
            }
        }
        return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nSet-Cookie: sid=7\r\n\r\n" + body;
    }

    QString questionFile(const char* vendor, const std::string& name) const {
        return rig.path(QStringLiteral("QDAT/%1/%2").arg(vendor, QString::fromStdString(name)));
    }
    std::vector<tovalo::update::UpdateMessage> shown() const {
        std::vector<tovalo::update::UpdateMessage> boxes;
        for (const auto& box : rig.messages.shown) {
            boxes.push_back({box.caption, box.text});
        }
        return boxes;
    }
    std::vector<std::string> requested() {
        std::lock_guard lock(mutex);
        return asked;
    }
    // Every "_" or "#" file left in a vendor's folder.
    int workingFiles() const {
        int left = 0;
        for (const char* vendor : {"nexa", "sorane", "kumo"}) {
            QDir dir(rig.path(QStringLiteral("QDAT/") + vendor));
            left += dir.entryList({QStringLiteral("_*"), QStringLiteral("#*")}, QDir::Files).size();
        }
        return left;
    }

    ExamRig rig;
    std::map<std::string, std::string> served;
    std::string holdOn;  // the file whose answer waits for `release`
    std::atomic<bool> release{false};
    std::mutex mutex;
    std::vector<std::string> asked;
    LoopbackServer server{[this](const std::string& request) { return answer(request); }};
    tovalo::ui::TDownLoad* download = nullptr;
};
