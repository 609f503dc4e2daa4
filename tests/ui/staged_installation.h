#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "core/app/command_line.h"
#include "core/platform/doubles.h"
#include "platform/qt_bundle_loader.h"
#include "ui/session/session.h"
#include "ui/startup/screens.h"
#include "ui/startup/startup.h"

// The staged sample installation copied into a temporary folder, started
// with the real bundle loader so that the vendors' pictures and strings are
// the ones users get. The copy keeps the history files the menu creates
// out of the build tree.
class StagedInstallation {
  public:
    explicit StagedInstallation(const std::vector<std::string>& arguments = {}) {
        const QString staged = QStringLiteral(TOVALO_STAGE_ROOT);
        available = QFileInfo::exists(staged + QStringLiteral("/bin/Tovalo20.ini"));
        if (!available) {
            return;
        }
        copy(staged + QStringLiteral("/bin"), dir.path() + QStringLiteral("/bin"));
        copy(staged + QStringLiteral("/QDAT"), dir.path() + QStringLiteral("/QDAT"));
        QDir(dir.path()).mkpath(QStringLiteral("HIST"));
        tovalo::ui::Services services{settings, messages, sound, shell,
                                      clock,    drives,   files, bundles};
        session = std::make_unique<tovalo::ui::Session>(
            services, dir.path().toStdString() + "/bin/", tovalo::app::parseCommandLine(arguments));
        session->endProgram = [] {};
        screens = std::make_unique<tovalo::ui::Screens>();
        started = tovalo::ui::createWindowSet(*session, *screens).ok();
    }
    ~StagedInstallation() {
        screens.reset();
        session.reset();
    }

    QTemporaryDir dir;
    bool available = false;
    bool started = false;
    tovalo::platform::MemorySettingsStore settings;
    tovalo::platform::RecordingMessageBoxes messages;
    tovalo::platform::RecordingSoundPlayer sound;
    tovalo::platform::RecordingShell shell;
    tovalo::platform::ManualClock clock;
    tovalo::platform::FixedDriveLister drives;
    tovalo::platform::MemoryFileAttributes files;
    tovalo::platform::QtBundleLoader bundles;
    std::unique_ptr<tovalo::ui::Session> session;
    std::unique_ptr<tovalo::ui::Screens> screens;

  private:
    static void copy(const QString& from, const QString& to) {
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = to + source.mid(from.size());
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(source, target);
        }
    }
};
