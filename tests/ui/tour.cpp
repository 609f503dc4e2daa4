// Starts the real window set against an installation and saves a picture of
// every screen, so that a reviewer sees each one without running the program.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>

#include "core/app/command_line.h"
#include "core/platform/doubles.h"
#include "platform/desktop_platform.h"
#include "test_rig.h"
#include "ui/TCourseMenuForm.h"
#include "ui/TMainMenuForm.h"

class Tour : public QObject {
    Q_OBJECT

  private:
    QDir out_;

    void save(QWidget* screen, const QString& name) {
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QCoreApplication::processEvents();
        QString file = out_.filePath(name + QStringLiteral(".png"));
        QVERIFY2(screen->grab().save(file), qPrintable(file));
        qInfo("saved %s", qPrintable(file));
    }

  private slots:
    void initTestCase() {
        tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp));
        QVERIFY(QDir().mkpath(QStringLiteral(TOVALO_TOUR_DIR)));
        out_ = QDir(QStringLiteral(TOVALO_TOUR_DIR));
    }

    void everyScreen() {
        // The staged sample installation when the build made one, otherwise a
        // bare one with no vendors.
        TestRig bare;
        QString stagedBin = QStringLiteral(TOVALO_STAGE_ROOT "/bin/");
        bool staged = QFileInfo::exists(stagedBin + QStringLiteral("CGI_URL"));
        std::string programDir = staged ? stagedBin.toStdString() : bare.bin();
        qInfo("installation: %s", programDir.c_str());

        tovalo::platform::DesktopPlatform desktop;
        QVERIFY2(desktop.settings.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")),
                 "the tour must not touch the user's settings");
        QSettings(desktop.settings.fileName(), QSettings::IniFormat).clear();

        tovalo::platform::RecordingMessageBoxes messages;
        tovalo::platform::RecordingSoundPlayer sound;
        tovalo::platform::RecordingShell shell;
        tovalo::ui::Services services{
            desktop.settings, messages,       sound,         shell,
            desktop.clock,    desktop.drives, desktop.files, desktop.bundles};
        tovalo::ui::Session session(services, programDir, tovalo::app::parseCommandLine({}));
        session.endProgram = [] {};
        tovalo::ui::Screens screens;
        tovalo::Status started = tovalo::ui::createWindowSet(session, screens);
        QVERIFY2(started.ok(), started.ok() ? "" : started.error().describe().c_str());
        qInfo("vendors loaded: %d", int(session.vendors.size()));

        tovalo::ui::TMainMenuForm* profile = screens.MainMenuForm;
        // Pictures with a fallback face would hide missing Japanese fonts.
        QCOMPARE(QFontInfo(profile->Label1->font()).family(), QStringLiteral("IPAPGothic"));
        profile->show();
        save(profile, QStringLiteral("01-profile-registration"));

        typeText(profile->Edit_Name, QStringLiteral("山田 太郎"));
        typeText(profile->Edit_Org, QStringLiteral("株式会社サンプル 情報システム部"));
        QTest::keyClicks(profile->Edit_Email, QStringLiteral("taro.yamada@example.jp"));
        save(profile, QStringLiteral("02-profile-registration-filled"));

        profile->Button1Click();
        QVERIFY(messages.shown.empty());
        save(screens.CourseMenuForm, QStringLiteral("04-course-menu"));

        screens.CourseMenuForm->hide();
        profile->show();
        save(profile, QStringLiteral("03-profile-stored"));
        profile->hide();
    }
};

QTEST_MAIN(Tour)
#include "tour.moc"
