#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "core/app/startup_tooltips.h"
#include "core/catalog/course_menu_rules.h"
#include "course_files.h"
#include "platform/qt_bundle_loader.h"
#include "staged_installation.h"
#include "test_rig.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/online/TUpdateForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/widgets/course_row.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/vendor_tab_strip.h"

using tovalo::app::WindowState;
using tovalo::ui::CourseRow;
using tovalo::ui::TCourseMenuForm;

namespace {

QStringList rowTexts(TCourseMenuForm* menu) {
    QStringList texts;
    for (CourseRow* row : menu->shownRows()) {
        texts << row->text();
    }
    return texts;
}

std::vector<bool> highlights(TCourseMenuForm* menu) {
    std::vector<bool> lit;
    for (CourseRow* row : menu->shownRows()) {
        lit.push_back(row->highlighted());
    }
    return lit;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestCourseMenuForm : public QObject {
    Q_OBJECT

  private:
    static TCourseMenuForm* menu(TestRig& rig) { return rig.screens->CourseMenuForm; }

    static void showMenu(TestRig& rig) {
        menu(rig)->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu(rig)));
    }

    static void addCourses(TestRig& rig, const QString& vendor, int count) {
        for (int i = 1; i <= count; ++i) {
            const std::string code =
                QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')).toStdString();
            rig.writeFile(
                QStringLiteral("QDAT/%1/%2.qdf").arg(vendor, QString::fromStdString(code)),
                courseHeader(code));
        }
    }

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void opensCentredAtMinimumSizeWhenNothingIsStored() {
        TestRig rig({"nexa", "sorane", "kumo"});
        QVERIFY(rig.start().ok());
        QCOMPARE(rig.session->currentVendor, 1);
        showMenu(rig);

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
        showMenu(rig);
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
        showMenu(rig);
        menu(rig)->setGeometry(12, 34, 790, 580);
        QCOMPARE(rig.bundles.loaded.size(), std::size_t(2));

        menu(rig)->ExitButtonClick();

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

    void everyBarButtonCarriesItsTooltip() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        for (const char* name : {"StartButton", "ExitButton", "UpdateButton", "DiagnosisButton",
                                 "NewsButton", "SyncButton"}) {
            auto* button = menu(rig)->findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(button != nullptr, name);
            QCOMPARE(button->toolTip(),
                     QString::fromUtf8(tovalo::app::startupTooltip("TCourseMenuForm", name)));
        }
    }

    void catalogListsQuestionFilesInByteOrderWithTheirHeaders() {
        TestRig rig({"nexa"});
        rig.writeFile("QDAT/nexa/apple.qdf", courseHeader("apple"));
        rig.writeFile("QDAT/nexa/Banana.qdf", courseHeader("Banana", "QFileFormat-x2.0", "2", 40));
        rig.writeFile("QDAT/nexa/CHERRY.QDF", courseHeader("CHERRY"));
        rig.writeFile("QDAT/nexa/near.qdf", courseHeader("near", "QFileFormat-v1.5"));
        rig.writeFile("QDAT/nexa/notes.txt", courseHeader("notes"));
        QVERIFY(rig.start().ok());
        showMenu(rig);

        QCOMPARE(rowTexts(menu(rig)),
                 QStringList({"Banana : コース Banana (全40問) 問題更新日:2026/12/01",
                              "CHERRY : コース CHERRY (全12問) 問題更新日:2026/12/01",
                              "apple : コース apple (全12問) 問題更新日:2026/12/01"}));
        QCOMPARE(rig.session->catalog.courses[0].FormatKind, 2);
        QCOMPARE(rig.session->catalog.courses[1].FormatKind, 1);
        // Line 8 "2" is level 4: the row shows the level-4 badge, the others none.
        QCOMPARE(menu(rig)->shownRows()[0]->levelIcons(), std::vector<int>{4});
        QCOMPARE(menu(rig)->shownRows()[1]->levelIcons(), std::vector<int>{0});
        QCOMPARE(rig.session->catalog.highestLevel, 4);
        // Rows sit 24 pixels apart from 8 pixels down, 22 in.
        QCOMPARE(menu(rig)->shownRows()[0]->geometry(), QRect(22, 8, 560, 21));
        QCOMPARE(menu(rig)->shownRows()[2]->geometry(), QRect(22, 56, 560, 21));
        QVERIFY(rig.messages.shown.empty());
    }

    void rowFontFollowsTheVendorsLabelStyle() {
        TestRig rig({"nexa", "sorane"});
        rig.bundles.bundles[rig.bin() + "Tovalosorane.rcc"] = "2=sorane\n3=2\n12=ｱ\n";
        rig.bundles.bundles[rig.bin() + "Tovalonexa.rcc"] = "2=nexa\n3=1\n12=A\n";
        addCourses(rig, "nexa", 1);
        addCourses(rig, "sorane", 1);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        QCOMPARE(QFontInfo(menu(rig)->shownRows()[0]->font()).family(), QString("IPAPGothic"));
        menu(rig)->TabStripClick(2);
        QCOMPARE(QFontInfo(menu(rig)->shownRows()[0]->font()).family(), QString("IPAGothic"));
    }

    void scrollBarOnlyPastSixteenRows() {
        TestRig rig({"nexa", "kumo"});
        addCourses(rig, "nexa", 16);
        addCourses(rig, "kumo", 17);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        QCOMPARE(menu(rig)->shownRows().size(), std::size_t(16));
        QVERIFY(!menu(rig)
                     ->control<QScrollArea>(QStringLiteral("CourseArea"))
                     ->verticalScrollBar()
                     ->isVisible());
        // Sixteen rows fit the area of the smallest window without it.
        QVERIFY(
            menu(rig)->control<QScrollArea>(QStringLiteral("CourseArea"))->viewport()->height() >=
            menu(rig)->control<QWidget>(QStringLiteral("CourseList"))->height());

        menu(rig)->TabStripClick(2);
        QCOMPARE(menu(rig)->shownRows().size(), std::size_t(17));
        QVERIFY(menu(rig)
                    ->control<QScrollArea>(QStringLiteral("CourseArea"))
                    ->verticalScrollBar()
                    ->isVisible());

        menu(rig)->TabStripClick(1);
        QVERIFY(!menu(rig)
                     ->control<QScrollArea>(QStringLiteral("CourseArea"))
                     ->verticalScrollBar()
                     ->isVisible());
    }

    void moreThanAHundredFilesAreRefusedAfterTheFirstHundred() {
        TestRig rig({"nexa"});
        addCourses(rig, "nexa", 101);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        QCOMPARE(menu(rig)->shownRows().size(), std::size_t(100));
        QCOMPARE(menu(rig)->shownRows().back()->text().left(6), QString("C100 :"));
        QTRY_COMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));
        QVERIFY(rig.messages.shown[0].text.find("100") != std::string::npos);
        QVERIFY(rig.messages.shown[0].text.find("101") != std::string::npos);
    }

    void newCourseGetsAnEmptyHistoryFileAndAnExistingOneIsKept() {
        TestRig rig({"nexa"});
        addCourses(rig, "nexa", 2);
        QDir(rig.dir.path()).mkpath("HIST/nexa");
        const std::string kept(1960, '\x07');
        rig.writeFile("HIST/nexa/C002.HIS", kept);
        QVERIFY(rig.start().ok());
        showMenu(rig);

        const QByteArray created = fileBytes(rig.path("HIST/nexa/C001.HIS"));
        QCOMPARE(created.size(), 1960);
        QCOMPARE(created.count('\x07'), qsizetype(0));
        QCOMPARE(fileBytes(rig.path("HIST/nexa/C002.HIS")), QByteArray::fromStdString(kept));
        QCOMPARE(QString::fromStdString(rig.session->catalog.courses[0].HisPath),
                 rig.path("HIST/nexa/C001.HIS"));
    }

    void clickingARowSelectsItAloneAndStartOpensIt() {
        TestRig rig({"nexa", "kumo"});
        CourseSpec spec;
        for (const char* code : {"A-1", "A-2", "A-3"}) {
            spec.code = code;
            rig.writeFile(QStringLiteral("QDAT/nexa/%1.qdf").arg(code), courseFile(spec));
        }
        QVERIFY(rig.start().ok());
        showMenu(rig);
        QCOMPARE(highlights(menu(rig)), (std::vector<bool>{true, false, false}));
        QCOMPARE(menu(rig)->selectedRow(), 1);

        CourseRow* third = menu(rig)->shownRows()[2];
        QTest::mouseClick(third, Qt::LeftButton, {}, QPoint(100, 10));
        QCOMPARE(highlights(menu(rig)), (std::vector<bool>{false, false, true}));
        QCOMPARE(rig.session->CourseIndex, 0);

        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton")),
            Qt::LeftButton);
        QCOMPARE(rig.session->CourseIndex, 3);
        QCOMPARE(rig.settings.values.at("DefaultDir"), std::string("1"));
        QVERIFY(!menu(rig)->isVisible());
        QVERIFY(rig.screens->CatSelForm->isVisible());
        QCOMPARE(rig.screens->CatSelForm->windowTitle(), QString("A-3 : テストコース"));

        // Back on the menu the course just opened stays selected.
        rig.screens->CatSelForm->BackButtonClick();
        QVERIFY(menu(rig)->isVisible());
        QCOMPARE(highlights(menu(rig)), (std::vector<bool>{false, false, true}));
        QCOMPARE(menu(rig)->selectedRow(), 3);
    }

    void aCourseThatDoesNotLoadKeepsTheMenu() {
        TestRig rig({"nexa"});
        std::string broken = courseFile(CourseSpec{});
        broken.resize(broken.size() / 2);
        rig.writeFile("QDAT/nexa/BAD-1.qdf", broken);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        menu(rig)->StartButtonClick();
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));
        QVERIFY(rig.messages.shown[0].text.find("BAD-1.qdf") != std::string::npos);
        QVERIFY(menu(rig)->isVisible());
        QVERIFY(!rig.screens->CatSelForm->isVisible());
    }

    void startWithoutCoursesDoesNothing() {
        TestRig rig({"nexa"});
        QVERIFY(rig.start().ok());
        showMenu(rig);
        QVERIFY(menu(rig)->shownRows().empty());
        menu(rig)->StartButtonClick();
        QVERIFY(menu(rig)->isVisible());
        QVERIFY(rig.messages.shown.empty());
    }

    void commandLineVendorOpensOnItsTab() {
        TestRig rig({"nexa", "sorane", "kumo"});
        addCourses(rig, "kumo", 4);
        rig.settings.values["DefaultDir"] = "1";
        QVERIFY(rig.start({"KUMO"}).ok());
        showMenu(rig);
        QCOMPARE(rig.session->currentVendor, 3);
        QCOMPARE(
            menu(rig)->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"))->selected(),
            3);
        QCOMPARE(menu(rig)->shownRows().size(), std::size_t(4));
        QCOMPARE(QString::fromStdString(rig.session->catalog.courses[0].QdfPath),
                 rig.path("QDAT/kumo/C001.qdf"));
    }

    void vendorTabsSelectAndLookPressed() {
        TestRig rig({"nexa", "sorane", "kumo"});
        addCourses(rig, "nexa", 2);
        addCourses(rig, "kumo", 5);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        tovalo::ui::VendorTabStrip* strip =
            menu(rig)->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"));

        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->clickPointFor(3));
        QCOMPARE(rig.session->currentVendor, 3);
        QCOMPARE(menu(rig)->shownRows().size(), std::size_t(5));
        QCOMPARE(menu(rig)->selectedRow(), 1);

        // The pressed tab starts 18 pixels down: its first rows are the
        // strip's black, where the other tabs already show their picture.
        const QImage shot = strip->grab().toImage();
        auto blackAt = [&](int vendor, int y) {
            return shot.pixelColor(tovalo::tabLeft(vendor) + 38 - strip->offset(), y) ==
                   QColor(Qt::black);
        };
        QVERIFY(blackAt(3, 10));
        QVERIFY(!blackAt(3, 30));
        QVERIFY(!blackAt(1, 10));
        QVERIFY(!blackAt(2, 10));
        QVERIFY(blackAt(1, 45));

        // A click on the border between two tabs selects neither.
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(77, 20));
        QCOMPARE(rig.session->currentVendor, 3);
    }

    void arrowsScrollTheTabsByOneTabWhileThereIsMoreToSee() {
        std::vector<std::string> vendors;
        for (int i = 1; i <= 10; ++i) {
            vendors.push_back("v" + std::to_string(i));
        }
        TestRig rig(vendors);
        rig.settings.values["DefaultDir"] = "9";
        QVERIFY(rig.start().ok());
        showMenu(rig);
        tovalo::ui::VendorTabStrip* strip =
            menu(rig)->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"));
        QCOMPARE(strip->width(), 539);
        // A ninth tab is brought into view when the menu is shown, as far as
        // the strip can go.
        QCOMPARE(strip->offset(), 231);

        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("TabLeftButton")),
            Qt::LeftButton);
        QCOMPARE(strip->offset(), 154);
        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("TabLeftButton")),
            Qt::LeftButton);
        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("TabLeftButton")),
            Qt::LeftButton);
        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("TabLeftButton")),
            Qt::LeftButton);
        QCOMPARE(strip->offset(), 0);
        QTest::mouseClick(
            menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("TabRightButton")),
            Qt::LeftButton);
        QCOMPARE(strip->offset(), 77);

        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->clickPointFor(2));
        QCOMPARE(rig.session->currentVendor, 2);
    }

    void greetingScrollsToTheCurrentTabAndPlaysTheSound() {
        TestRig rig({"nexa", "sorane", "kumo"});
        QVERIFY(rig.start({"kumo"}).ok());
        showMenu(rig);
        QVERIFY(menu(rig)->Timer1->isActive());
        QVERIFY(menu(rig)->Timer1->isSingleShot());
        QVERIFY(rig.sound.played.empty());
        menu(rig)->Timer1->stop();
        menu(rig)->Timer1Timer();
        QCOMPARE(rig.sound.played, std::vector<std::string>{"wav/test.wav"});
        // Three tabs fit the strip: nothing to scroll to.
        QCOMPARE(
            menu(rig)->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"))->offset(),
            0);
    }

    void newsAndVendorInformationOpenWithTheDesktop() {
        TestRig rig({"nexa"});
        rig.writeFile("bin/online", " http://news.example/tovalo/ \r\nsecond\r\n");
        QVERIFY(rig.start().ok());
        showMenu(rig);

        menu(rig)->NewsButtonClick();
        QCOMPARE(rig.shell.opened, std::vector<std::string>{"http://news.example/tovalo/"});

        // The vendor page is missing: the user is told, nothing is opened.
        menu(rig)->VendorInfoButtonClick();
        QCOMPARE(rig.shell.opened.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QVERIFY(rig.messages.shown[0].text.find("nexa-info.html") != std::string::npos);

        rig.writeFile("bin/nexa-info.html", "<html></html>");
        menu(rig)->VendorInfoButtonClick();
        QCOMPARE(rig.shell.opened.back(), rig.bin() + "nexa-info.html");
        QCOMPARE(menu(rig)
                     ->control<tovalo::ui::ImageButton>(QStringLiteral("VendorInfoButton"))
                     ->toolTip(),
                 QString("nexa"));
    }

    // A picture button's click may open a box that waits for an answer; the
    // button must already be drawn back in place by then, not left pressed
    // under the box. What the window has drawn is read from the screen.
    void buttonIsDrawnReleasedWhileTheBoxItOpenedWaits() {
        TestRig rig({"nexa"});
        QVERIFY(rig.start().ok());
        showMenu(rig);
        auto* news = menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("NewsButton"));
        const QRect rest = news->geometry();
        const auto drawn = [&] {
            return menu(rig)
                ->screen()
                ->grabWindow(menu(rig)->winId(), rest.x(), rest.y(), rest.width(), rest.height())
                .toImage();
        };
        QTRY_COMPARE(drawn(), menu(rig)->grab(rest).toImage());
        const QImage released = drawn();

        QTest::mousePress(news, Qt::LeftButton, {}, news->rect().center());
        QTRY_VERIFY(drawn() != released);
        bool boxWasUp = false;
        rig.messages.whileShown = [&] {
            boxWasUp = true;
            QCOMPARE(news->geometry(), rest);
            QVERIFY(drawn() == released);
        };
        QTest::mouseRelease(news, Qt::LeftButton, {}, news->rect().center());
        // No news address installed: the click ends in an error box.
        QVERIFY(boxWasUp);
        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));
    }

    // The update and the synchronisation windows open over the menu, and
    // their close or back button, Esc and the close box lead back. (The
    // advisor's ways back are tested with the advisor, tst_study_form.)
    void sideWindowsLeadBackToTheMenu() {
        TestRig rig({"nexa"});
        addCourses(rig, "nexa", 3);
        QVERIFY(rig.start().ok());
        showMenu(rig);
        menu(rig)->CourseRowClick(2);

        struct Road {
            const char* menuButton;
            tovalo::ui::ScreenForm* window;
            const char* backButton;
        };
        const Road roads[] = {{"UpdateButton", rig.screens->UpdateForm, "CloseButton"},
                              {"SyncButton", rig.screens->SyncForm, "BackButton"}};
        for (const Road& road : roads) {
            for (int way = 0; way < 3; ++way) {
                menu(rig)
                    ->control<tovalo::ui::ImageButton>(QLatin1String(road.menuButton))
                    ->click();
                QVERIFY(road.window->isVisible());
                QCOMPARE(road.window->windowModality(), Qt::ApplicationModal);
                QVERIFY(menu(rig)->isVisible());
                QVERIFY(QTest::qWaitForWindowExposed(road.window));
                if (way == 0) {
                    QTest::mouseClick(road.window->control<QWidget>(QLatin1String(road.backButton)),
                                      Qt::LeftButton);
                } else if (way == 1) {
                    QTest::keyClick(road.window->windowHandle(), Qt::Key_Escape);
                } else {
                    QVERIFY(road.window->windowHandle()->close());
                }
                QVERIFY2(!road.window->isVisible(), qPrintable(road.window->windowTitle()));
                QVERIFY(menu(rig)->isVisible());
            }
        }
        QCOMPARE(rig.session->CourseIndex, 2);
        QCOMPARE(rig.endRequests, 0);
    }

    void layoutFollowsTheWindowSize() {
        TestRig rig({"nexa"});
        rig.bundles.bundles[rig.bin() + "Tovalonexa.rcc"] =
            "2=nexa\n3=1\n5=入門\n6=実践\n7= \n8=達人\n";
        QVERIFY(rig.start().ok());
        showMenu(rig);
        for (QSize size : {QSize(760, 562), QSize(1000, 700)}) {
            menu(rig)->resize(size);
            QCOMPARE(menu(rig)->size(), size);
            const int barTop = size.height() - TCourseMenuForm::kBarHeight;
            QCOMPARE(
                menu(rig)->control<tovalo::ui::VendorTabStrip>(QStringLiteral("TabStrip"))->width(),
                (size.width() - 160 - 30) / 77 * 77);
            QCOMPARE(menu(rig)
                             ->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton"))
                             ->geometry()
                             .right() +
                         1,
                     size.width() - 10);
            QCOMPARE(
                menu(rig)
                        ->control<tovalo::ui::ImageButton>(QStringLiteral("ExitButton"))
                        ->geometry()
                        .right() +
                    1,
                menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton"))->x() -
                    10);
            for (auto* b :
                 {menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("StartButton")),
                  menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("ExitButton")),
                  menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("DiagnosisButton")),
                  menu(rig)->control<tovalo::ui::ImageButton>(QStringLiteral("NewsButton"))}) {
                QCOMPARE(b->y(), barTop + 3);
            }
            QCOMPARE(menu(rig)->control<QLabel>(QStringLiteral("SelectLabel"))->y(), barTop - 45);
            QCOMPARE(
                menu(rig)->control<QScrollArea>(QStringLiteral("CourseArea"))->geometry().bottom() <
                    barTop - 45,
                true);
            auto* legend4 = menu(rig)->findChild<QLabel*>("LegendIcon4");
            QVERIFY(legend4 != nullptr);
            QCOMPARE(legend4->pos(), QPoint(176, barTop - 25));
        }
        // Level 3 is " ": the legend goes 4, 2, 1, then "-- None".
        QVERIFY(menu(rig)->findChild<QLabel*>("LegendIcon3") == nullptr ||
                !menu(rig)->findChild<QLabel*>("LegendIcon3")->isVisible());
        auto* name4 = menu(rig)->findChild<QLabel*>("LegendName4");
        auto* icon2 = menu(rig)->findChild<QLabel*>("LegendIcon2");
        QCOMPARE(name4->x(), 200);
        QCOMPARE(icon2->x(), 200 + name4->fontMetrics().horizontalAdvance("達人") + 8);
        QCOMPARE(menu(rig)->findChild<QLabel*>("LegendName0")->text(), QString("-- None"));
    }

    void stagedVendorsShowTheirPicturesAndFonts() {
        StagedInstallation staged({"Sorane"});
        if (!staged.available) {
            QSKIP("the build has not staged the sample installation");
        }
        QVERIFY(staged.started);
        TCourseMenuForm* m = staged.screens->CourseMenuForm;
        QCOMPARE(staged.session->currentVendor, 2);
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m));

        QCOMPARE(m->shownRows().size(), std::size_t(2));
        QCOMPARE(QFontInfo(m->shownRows()[0]->font()).family(), QString("IPAGothic"));
        QCOMPARE(m->shownRows()[1]->levelIcons(), std::vector<int>{4});
        QCOMPARE(staged.session->catalog.highestLevel, 4);
        QVERIFY(m->control<QLabel>(QStringLiteral("LevelImage"))->isVisible());
        const QPixmap strip = tovalo::platform::QtBundleLoader::picture(2, 108);
        QCOMPARE(m->control<QLabel>(QStringLiteral("LevelImage"))->pixmap().toImage(),
                 strip.copy(3 * 129, 0, 129, 42).toImage());
        QCOMPARE(m->control<tovalo::ui::ImageButton>(QStringLiteral("VendorInfoButton"))->toolTip(),
                 QString("ソラネ教育センターの情報を表示します"));

        m->TabStripClick(1);
        QCOMPARE(QFontInfo(m->shownRows()[0]->font()).family(), QString("IPAPGothic"));
        QCOMPARE(staged.session->catalog.highestLevel, 3);
        QVERIFY(staged.messages.shown.empty());
    }
};

QTEST_MAIN(TestCourseMenuForm)
#include "tst_course_menu_form.moc"
