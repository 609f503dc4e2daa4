#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include <unistd.h>

#include "core/app/command_line.h"
#include "platform/desktop_platform.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/startup/screens.h"
#include "ui/startup/session.h"
#include "ui/startup/startup.h"

int main(int argc, char* argv[]) {
    // The page engine cannot start its sandbox for root, and would then show
    // no page at all; other users keep the sandbox.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QApplication app(argc, argv);
    tovalo::ui::prepareApplication(app);

    // Sounds, templates and address files are opened by relative name.
    QString programDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programDir);

    std::vector<std::string> arguments;
    QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        arguments.push_back(args[i].toStdString());
    }

    tovalo::platform::DesktopPlatform desktop;
    tovalo::ui::Services services{desktop.settings, desktop.messages, desktop.sound,
                                  desktop.shell,    desktop.clock,    desktop.drives,
                                  desktop.files,    desktop.bundles,  &desktop.net};
    tovalo::ui::Session session(services, programDir.toStdString(),
                                tovalo::app::parseCommandLine(arguments));
    session.endProgram = [] { QCoreApplication::quit(); };

    tovalo::ui::Screens screens;
    tovalo::Status started = tovalo::ui::createWindowSet(session, screens);
    if (!started) {
        std::string message = started.error().describe();
        std::fprintf(stderr, "tovalo: %s\n", message.c_str());
        // Without a display nobody could dismiss the box; stderr has it.
        QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            desktop.messages.showError(message);
        }
        return 1;
    }
    screens.MainMenuForm->show();
    // For start-up timing: leave as soon as the first screen is up.
    if (qEnvironmentVariableIntValue("TOVALO_EXIT_AFTER_SHOW") == 1) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
