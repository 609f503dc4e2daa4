#include <QApplication>
#include <QScreen>
#include <QtTest>

#include "core/app/startup_tooltips.h"
#include "test_rig.h"
#include "ui/TCourseMenuForm.h"
#include "ui/TMainMenuForm.h"

using tovalo::app::WindowState;
using tovalo::ui::TCourseMenuForm;

class TestCourseMenuForm : public QObject {
    Q_OBJECT

  private:
    static TCourseMenuForm* menu(TestRig& rig) { return rig.screens->CourseMenuForm; }

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void opensCentredAtMinimumSizeWhenNothingIsStored() {
        TestRig rig({"nexa", "sorane", "kumo"});
        QVERIFY(rig.start().ok());
        QCOMPARE(rig.session->currentVendor, 1);
        menu(rig)->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu(rig)));

        QSize desktop = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(menu(rig)->geometry(),
                 QRect(desktop.width() / 2 - 380, desktop.height() / 2 - 281, 760, 562));
        QVERIFY(!menu(rig)->isMaximized());
        QCOMPARE(menu(rig)->windowTitle(), QString("Tovalo - テストの選択"));
    }

    void neverSmallerThanItsMinimum() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        menu(rig)->show();
        menu(rig)->resize(500, 300);
        QCOMPARE(menu(rig)->size(), QSize(760, 562));
    }

    void storedVendorIndexIsClampedToTheInstalledVendors() {
        TestRig rig({"nexa", "sorane", "kumo"});
        rig.settings.values["DefaultDir"] = "5";
        QVERIFY(rig.start().ok());
        QCOMPARE(rig.session->currentVendor, 3);
    }

    void maximisedStateIsSharedAndStored() {
        TestRig rig({"nexa"});
        rig.settings.values = {
            {"State", "2"}, {"Left", "40"}, {"Top", "30"}, {"Width", "780"}, {"Height", "570"}};
        QVERIFY(rig.start().ok());
        QCOMPARE(rig.session->windowState, WindowState::Maximised);
        menu(rig)->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu(rig)));
        QTRY_VERIFY(menu(rig)->isMaximized());

        menu(rig)->showNormal();
        QTRY_COMPARE(rig.session->windowState, WindowState::Normal);
        menu(rig)->showMaximized();
        QTRY_COMPARE(rig.session->windowState, WindowState::Maximised);

        menu(rig)->close();
        QCOMPARE(rig.settings.values.at("State"), std::string("2"));
        // A maximised window stores the bounds it returns to.
        QCOMPARE(rig.settings.values.at("Width"), std::string("780"));
        QCOMPARE(rig.settings.values.at("Height"), std::string("570"));
    }

    void closingStoresSettingsDeletesPagesUnloadsBundlesAndEnds() {
        TestRig rig({"nexa", "kumo"});
        rig.settings.values["Name"] = "山田 太郎";
        QVERIFY(rig.start({"kumo"}).ok());
        for (const char* page : {"cheat.htm", "result.htm", "exam.htm", "casestudy.htm"}) {
            rig.writeFile(QStringLiteral("QDAT/nexa/") + page, "<html></html>");
            rig.writeFile(QStringLiteral("QDAT/kumo/") + page, "<html></html>");
        }
        menu(rig)->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu(rig)));
        menu(rig)->setGeometry(12, 34, 790, 580);
        QCOMPARE(rig.bundles.loaded.size(), std::size_t(2));

        menu(rig)->close();

        const std::map<std::string, std::string, std::less<>> expected = {
            {"Name", "山田 太郎"}, {"State", "1"}, {"Width", "790"},     {"Height", "580"},
            {"Top", "34"},         {"Left", "12"}, {"Path", rig.root()}, {"DefaultDir", "2"}};
        QCOMPARE(rig.settings.values, expected);
        QVERIFY(rig.settings.flushes > 0);
        for (const char* vendor : {"nexa", "kumo"}) {
            QString dir = rig.path(QStringLiteral("QDAT/") + vendor + QLatin1Char('/'));
            QVERIFY(!QFile::exists(dir + "cheat.htm"));
            QVERIFY(!QFile::exists(dir + "result.htm"));
            QVERIFY(!QFile::exists(dir + "exam.htm"));
            QVERIFY(QFile::exists(dir + "casestudy.htm"));
        }
        QVERIFY(rig.bundles.loaded.empty());
        QCOMPARE(rig.endRequests, 1);
        QVERIFY(!rig.screens->MainMenuForm->isVisible());
    }

    void tooltipsReachControlsByName() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        auto* exit = new QWidget(menu(rig));
        exit->setObjectName("ExitButton");
        auto* unnamed = new QWidget(menu(rig));
        tovalo::ui::applyStartupTooltips(*rig.screens);
        QCOMPARE(exit->toolTip(), QString("Tovaloを終了します"));
        QCOMPARE(unnamed->toolTip(), QString());
    }
};

QTEST_MAIN(TestCourseMenuForm)
#include "tst_course_menu_form.moc"
