#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/app/command_line.h"
#include "core/platform/doubles.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/session/session.h"
#include "ui/startup/screens.h"
#include "ui/startup/startup.h"

// Types text the way an input method delivers it: Japanese never arrives
// as single key presses.
inline void typeText(QWidget* widget, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(widget, &commit);
}

// A small installation in a temporary folder (<tmp>/bin with CGI_URL and the
// vendor list, <tmp>/QDAT/<vendor>) and the window set started over it with
// recording doubles for every host facility.
class TestRig {
  public:
    explicit TestRig(const std::vector<std::string>& vendors = {}) {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("bin"));
        writeFile(QStringLiteral("bin/CGI_URL"), " http://diagnosis.example/cgi-bin/post.cgi \n");
        std::string list = "[Vender]\n";
        for (std::size_t i = 0; i < vendors.size(); ++i) {
            list += std::to_string(i + 1) + "=" + vendors[i] + "\n";
            root.mkpath(QStringLiteral("QDAT/") + QString::fromStdString(vendors[i]));
            bundles.bundles[bin() + "Tovalo" + vendors[i] + ".rcc"] =
                "1=" + vendors[i] + "\n2=" + vendors[i] + "\n3=" + std::to_string(i + 1) + "\n";
        }
        writeFile(QStringLiteral("bin/Tovalo20.ini"), list);
    }

    ~TestRig() {
        // Screens refer to the session; they go first.
        screens.reset();
        session.reset();
    }

    tovalo::Status start(const std::vector<std::string>& arguments = {}) {
        newSession(arguments);
        return tovalo::ui::createWindowSet(*session, *screens);
    }

    // As the program itself starts: the profile screen shown, the others to follow.
    tovalo::Status startAsTheProgram() {
        newSession({});
        tovalo::Status started = tovalo::ui::createFirstScreen(*session, *screens);
        if (started) {
            screens->MainMenuForm->show();
            tovalo::ui::completeWindowSetAfterFirstPaint(*session, *screens);
        }
        return started;
    }

    void newSession(const std::vector<std::string>& arguments) {
        tovalo::ui::Services services{settings, messages, sound, shell,
                                      clock,    drives,   files, bundles};
        session = std::make_unique<tovalo::ui::Session>(services, bin(),
                                                        tovalo::app::parseCommandLine(arguments));
        session->endProgram = [this] { ++endRequests; };
        screens = std::make_unique<tovalo::ui::Screens>();
    }

    [[nodiscard]] std::string root() const { return dir.path().toStdString(); }
    [[nodiscard]] std::string bin() const { return root() + "/bin/"; }
    [[nodiscard]] QString path(const QString& relative) const {
        return dir.path() + QLatin1Char('/') + relative;
    }
    void writeFile(const QString& relative, const std::string& bytes) const {
        QFile f(path(relative));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    QTemporaryDir dir;
    tovalo::platform::MemorySettingsStore settings;
    tovalo::platform::RecordingMessageBoxes messages;
    tovalo::platform::RecordingSoundPlayer sound;
    tovalo::platform::RecordingShell shell;
    tovalo::platform::ManualClock clock;
    tovalo::platform::FixedDriveLister drives;
    tovalo::platform::MemoryFileAttributes files;
    tovalo::platform::FakeBundleLoader bundles;
    std::unique_ptr<tovalo::ui::Session> session;
    std::unique_ptr<tovalo::ui::Screens> screens;
    int endRequests = 0;
};
