#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "core/app/command_line.h"
#include "core/app/program_options.h"
#include "core/app/user_folder.h"
#include "platform/desktop_platform.h"
#include "platform/qt_modules.h"
#include "tovalo_version.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/session/session.h"
#include "ui/startup/screens.h"
#include "ui/startup/startup.h"
#include "ui/web/web_page_view.h"

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// Without a display nobody could dismiss a box; stderr has the message.
int failStart(tovalo::platform::MessageBoxes& messages, const std::string& message) {
    std::fprintf(stderr, "tovalo: %s\n", message.c_str());
    QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        messages.showError(message);
    }
    return 1;
}

// TOVALO_EXIT_AFTER_SHOW=menu: leave once the course menu is up, the way
// the install check proves that an installed copy gets that far. It also
// loads every module and exits with 3, naming the reason, when one cannot
// be found, since an installed copy finds them only through the path set
// below.
void leaveAtCourseMenu(tovalo::ui::Screens& screens) {
    QObject::connect(
        screens.MainMenuForm, &tovalo::ui::TMainMenuForm::profileDone, screens.MainMenuForm,
        [&screens] {
            QTimer::singleShot(0, [&screens] {
                QString reason;
                if (!screens.CourseMenuForm->isVisible()) {
                    std::fputs("tovalo: the course menu did not open\n", stderr);
                    QCoreApplication::exit(3);
                } else if (!tovalo::ui::WebPageView::engineAvailable(&reason)) {
                    std::fprintf(stderr, "tovalo: page engine: %s\n", qPrintable(reason));
                    QCoreApplication::exit(3);
                } else {
                    for (const char* name : {"tovalo_sound", "tovalo_tls", "tovalo_unzip"}) {
                        if (!tovalo::platform::loadModule(QLatin1String(name), &reason)) {
                            std::fprintf(stderr, "tovalo: %s: %s\n", name, qPrintable(reason));
                            QCoreApplication::exit(3);
                            return;
                        }
                    }
                    QCoreApplication::exit(0);
                }
            });
        });
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before QApplication, which would want a display.
    const std::vector<std::string> rawArguments(argv + 1, argv + argc);
    switch (tovalo::app::terminalRequest(rawArguments)) {
        case tovalo::app::TerminalRequest::Help:
            std::fputs(tovalo::app::helpText(TOVALO_VERSION).c_str(), stdout);
            return 0;
        case tovalo::app::TerminalRequest::Version:
            std::puts("tovalo " TOVALO_VERSION);
            return 0;
        case tovalo::app::TerminalRequest::None:
            break;
    }

    // The page engine cannot start its sandbox for root, and would then show
    // no page at all; other users keep the sandbox.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QApplication app(argc, argv);
    tovalo::ui::prepareApplication(app);
    // The desktop matches windows to the desktop entry by this name; the
    // icon comes from the theme an installation puts it in.
    QGuiApplication::setDesktopFileName(QStringLiteral(TOVALO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TOVALO_APP_ID)));
    tovalo::platform::DesktopPlatform desktop;

    // An installed copy keeps its page engine module under lib/; a build
    // tree has it beside the program, where the loader looks anyway.
    const QString executableDir = QCoreApplication::applicationDirPath();
    QCoreApplication::addLibraryPath(executableDir + QStringLiteral("/" TOVALO_MODULES_FROM_BIN));

    // An installed copy runs on the user's own folder; see user_folder.h.
    tovalo::Result<tovalo::app::ProgramDirChoice> chosen =
        tovalo::app::chooseProgramDir(executableDir.toStdString(), TOVALO_SHARED_FROM_BIN,
                                      {environment("XDG_DATA_HOME"), environment("HOME")});
    if (!chosen) {
        return failStart(desktop.messages, chosen.error().describe());
    }
    for (const std::string& notice : chosen->notices) {
        std::fprintf(stderr, "tovalo: %s\n", notice.c_str());
    }
    const std::string& programDir = chosen->programDir;
    // Sounds, templates and address files are opened by relative name.
    QDir::setCurrent(QString::fromStdString(programDir));

    std::vector<std::string> arguments;
    QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        arguments.push_back(args[i].toStdString());
    }

    tovalo::ui::Services services{desktop.settings, desktop.messages, desktop.sound,
                                  desktop.shell,    desktop.clock,    desktop.drives,
                                  desktop.files,    desktop.bundles,  &desktop.net};
    tovalo::ui::Session session(services, programDir, tovalo::app::parseCommandLine(arguments));
    session.endProgram = [] { QCoreApplication::quit(); };

    tovalo::ui::Screens screens;
    tovalo::Status started = tovalo::ui::createFirstScreen(session, screens);
    if (!started) {
        return failStart(desktop.messages, started.error().describe());
    }
    screens.MainMenuForm->show();
    // Sound comes with the first windows of a course, not the profile screen.
    tovalo::ui::completeWindowSetAfterFirstPaint(session, screens,
                                                 [&desktop] { desktop.sound.preload(); });
    // For start-up timing: leave as soon as the first screen is up.
    const QByteArray exitAfterShow = qgetenv("TOVALO_EXIT_AFTER_SHOW");
    if (exitAfterShow == "1") {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    } else if (exitAfterShow == "menu") {
        leaveAtCourseMenu(screens);
    }
    return app.exec();
}
