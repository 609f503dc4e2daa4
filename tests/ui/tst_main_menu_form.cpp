#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "test_rig.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/widgets/screen_form.h"

using tovalo::ui::TMainMenuForm;

class TestMainMenuForm : public QObject {
    Q_OBJECT

  private:
    static void registerProfile(TestRig& rig) {
        rig.settings.values = {
            {"Name", "山田 太郎"}, {"Org", "開発部"}, {"Email", "taro@example.jp"}};
    }
    static TMainMenuForm* form(TestRig& rig) { return rig.screens->MainMenuForm; }
    static QWidget* courseMenu(TestRig& rig) { return rig.screens->CourseMenuForm; }
    static QColor linkColour(TestRig& rig) {
        return form(rig)
            ->control<QLabel>(QStringLiteral("Label5"))
            ->palette()
            .color(QPalette::WindowText);
    }

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void startupCreatesEveryWindowOnceInOrder() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        QStringList names;
        for (tovalo::ui::ScreenForm* f : rig.screens->all()) {
            names << f->formName();
            QVERIFY2(!f->isVisible(), qPrintable(f->formName()));
        }
        const QStringList expected = {
            "TMainMenuForm",  "TExamModeForm",      "TCourseMenuForm",   "TGenericMBForm",
            "TResultForm",    "TStudyForm",         "TCatSelForm",       "TCheatForm",
            "TConfirmForm",   "TUpdateForm",        "TDownLoad",         "TRefImgForm",
            "TfrmSelStyle4",  "TfrmSelStyle3",      "TfrmSelStyle4View", "TfrmSelStyle3View",
            "TCaseStudyForm", "TfrmSelStyle5",      "TfrmSelStyle5View", "TfrmSelStyle6View",
            "TfrmSelStyle6",  "TAdaptiveForm",      "TfrmSelStyle7",     "TfrmSelStyle7View",
            "TSyncForm",      "TSyncCandidateForm", "TSpareForm"};
        QCOMPARE(names, expected);
        QCOMPARE(rig.session->cgiUrl, std::string("http://diagnosis.example/cgi-bin/post.cgi"));
    }

    // The program shows the profile screen before it makes the other
    // windows; they follow its first paint, or come at once when the
    // learner acts before that.
    void otherWindowsFollowTheFirstPaint() {
        {
            TestRig rig({"nexa"});
            QVERIFY(rig.startAsTheProgram().ok());
            QVERIFY(!rig.screens->complete && courseMenu(rig) == nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(form(rig)));
            QTRY_VERIFY(rig.screens->complete);
            QCOMPARE(rig.screens->all().size(), std::size_t{27});
        }
        {
            TestRig rig({"nexa"});
            QVERIFY(rig.startAsTheProgram().ok());
            auto* name = form(rig)->control<QLineEdit>(QStringLiteral("Edit_Name"));
            QTest::keyClicks(name, QStringLiteral("Sato"));  // typing leads nowhere yet
            QVERIFY(!rig.screens->complete);
            typeText(name, "鈴木 花子");
            QTest::mouseClick(form(rig)->control<QPushButton>(QStringLiteral("Button1")),
                              Qt::LeftButton);
            QVERIFY(rig.screens->complete);
            QVERIFY(courseMenu(rig)->isVisible() && !form(rig)->isVisible());
        }
    }

    void missingCgiUrlStopsStartupBeforeAnyOtherWindow() {
        TestRig rig({"nexa"});
        QVERIFY(QFile::remove(rig.path("bin/CGI_URL")));
        tovalo::Status started = rig.start();
        QVERIFY(!started.ok());
        QCOMPARE(started.error().message, std::string("ファイルが見つかりません"));
        QVERIFY(QString::fromStdString(started.error().describe()).contains("CGI_URL"));
        QCOMPARE(rig.screens->all().size(), std::size_t(1));
        QVERIFY(rig.screens->CourseMenuForm == nullptr);
        QVERIFY(rig.bundles.loaded.empty());
    }

    void startupKeepsCdromDrivesAndTheCommandLine() {
        TestRig rig({"nexa", "sorane", "kumo"});
        for (int i = 0; i < 30; ++i) {
            rig.drives.roots.push_back("/media/cd" + std::to_string(i) + "/");
        }
        rig.settings.values["DefaultDir"] = "1";
        QVERIFY(rig.start({"SORANE"}).ok());
        QCOMPARE(rig.session->cdromRoots.size(), std::size_t(25));
        QCOMPARE(rig.session->vendors.size(), std::size_t(3));
        QCOMPARE(rig.session->currentVendor, 2);
        QVERIFY(!rig.session->showQuestionNumbers);

        TestRig debug({"nexa"});
        QVERIFY(debug.start({"d"}).ok());
        QVERIFY(debug.session->showQuestionNumbers);
        QCOMPARE(debug.session->currentVendor, 1);
    }

    void registrationViewWhenNoNameIsStored() {
        TestRig rig;
        rig.settings.values["Name"] = "   ";
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        QVERIFY(f->registrationShown());
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label1"))->text(),
                 QString("氏名、所属、E-mailアドレスを登録してください。"));
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label2"))->text(), QString("氏名 : "));
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label3"))->text(), QString("所属 : "));
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label4"))->text(), QString("E-mail : "));
        QCOMPARE(f->control<QPushButton>(QStringLiteral("Button1"))->text(), QString("OK"));
        QCOMPARE(f->control<QPushButton>(QStringLiteral("Button2"))->text(), QString("キャンセル"));
        QVERIFY(f->control<QLineEdit>(QStringLiteral("Edit_Name"))->isVisible() &&
                f->control<QLineEdit>(QStringLiteral("Edit_Org"))->isVisible() &&
                f->control<QLineEdit>(QStringLiteral("Edit_Email"))->isVisible());
        QVERIFY(f->control<QPushButton>(QStringLiteral("Button1"))->isVisible() &&
                f->control<QPushButton>(QStringLiteral("Button2"))->isVisible());
        QVERIFY(!f->Timer1->isActive());
    }

    void okStoresTheProfileAndOpensTheCourseMenu() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        typeText(f->control<QLineEdit>(QStringLiteral("Edit_Name")), "鈴木 花子");
        typeText(f->control<QLineEdit>(QStringLiteral("Edit_Org")), "情報システム部");
        QTest::keyClicks(f->control<QLineEdit>(QStringLiteral("Edit_Email")), "hanako@example.jp");
        QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Button1")), Qt::LeftButton);

        QVERIFY(rig.messages.shown.empty());
        QCOMPARE(rig.settings.values.at("Name"), std::string("鈴木 花子"));
        QCOMPARE(rig.settings.values.at("Org"), std::string("情報システム部"));
        QCOMPARE(rig.settings.values.at("Email"), std::string("hanako@example.jp"));
        QCOMPARE(rig.settings.values.at("Path"), rig.root());
        QCOMPARE(rig.session->profile.name, std::string("鈴木 花子"));
        QVERIFY(!f->isVisible());
        QVERIFY(courseMenu(rig)->isVisible());
    }

    void emptyNameIsRefusedWithAnErrorBox_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QString("   ");
    }
    void emptyNameIsRefusedWithAnErrorBox() {
        QFETCH(QString, name);
        TestRig rig;
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        typeText(f->control<QLineEdit>(QStringLiteral("Edit_Name")), name);
        typeText(f->control<QLineEdit>(QStringLiteral("Edit_Org")), "営業部");
        QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Button1")), Qt::LeftButton);

        QCOMPARE(rig.messages.shown.size(), std::size_t(1));
        QCOMPARE(rig.messages.shown[0].caption, std::string("Error"));
        QCOMPARE(rig.messages.shown[0].text, std::string("名前を入力してください。"));
        QVERIFY(rig.settings.values.empty());
        QVERIFY(f->isVisible());
        QVERIFY(!courseMenu(rig)->isVisible());
    }

    void cancelEndsTheProgram() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        form(rig)->show();
        QTest::mouseClick(form(rig)->control<QPushButton>(QStringLiteral("Button2")),
                          Qt::LeftButton);
        QCOMPARE(rig.endRequests, 1);
        QVERIFY(!form(rig)->isVisible());
        QVERIFY(!courseMenu(rig)->isVisible());
        QVERIFY(rig.settings.values.empty());
    }

    void storedProfileIsShownWithoutEdits() {
        TestRig rig;
        registerProfile(rig);
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        QVERIFY(!f->registrationShown());
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label1"))->text(), QString());
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label_Name"))->text(), QString("山田 太郎"));
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label_Org"))->text(), QString("開発部"));
        QCOMPARE(f->control<QLabel>(QStringLiteral("Label_Email"))->text(),
                 QString("taro@example.jp"));
        QVERIFY(!f->control<QLineEdit>(QStringLiteral("Edit_Name"))->isVisible());
        QVERIFY(!f->control<QPushButton>(QStringLiteral("Button1"))->isVisible() &&
                !f->control<QPushButton>(QStringLiteral("Button2"))->isVisible());
        QVERIFY(f->Timer1->isActive());
        QCOMPARE(f->Timer1->interval(), 100);
    }

    void timerHandsOverOnTheFiftyFirstTick() {
        TestRig rig;
        registerProfile(rig);
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        for (int i = 0; i < 50; ++i) {
            f->Timer1Timer();
        }
        QVERIFY(f->isVisible());
        QVERIFY(!courseMenu(rig)->isVisible());
        f->Timer1Timer();
        QVERIFY(!f->isVisible());
        QVERIFY(courseMenu(rig)->isVisible());
        QVERIFY(!f->Timer1->isActive());
    }

    void countdownStartsAfreshOnEveryShow() {
        TestRig rig;
        registerProfile(rig);
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        for (int i = 0; i < 40; ++i) {
            f->Timer1Timer();
        }
        f->hide();
        f->show();
        for (int i = 0; i < 40; ++i) {
            f->Timer1Timer();
        }
        QVERIFY(f->isVisible());
    }

    void linkLabelTogglesSilverAndRedEveryFifthTick() {
        TestRig rig;
        registerProfile(rig);
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        const QColor silver(192, 192, 192);
        const QColor red(255, 0, 0);
        QCOMPARE(linkColour(rig), silver);
        for (int tick = 1; tick <= 12; ++tick) {
            f->Timer1Timer();
            QCOMPARE(linkColour(rig), ((tick / 5) % 2 == 1) ? red : silver);
        }
    }

    void spaceHandsOverWhenTheScreenHasTheFocus() {
        TestRig rig;
        registerProfile(rig);
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        QTest::keyClick(f, Qt::Key_A);
        QVERIFY(f->isVisible());
        QTest::keyClick(f, Qt::Key_Space);
        QVERIFY(!f->isVisible());
        QVERIFY(courseMenu(rig)->isVisible());
    }

    void spaceInTheNameFieldIsJustABlank() {
        TestRig rig;
        QVERIFY(rig.start().ok());
        TMainMenuForm* f = form(rig);
        f->show();
        QTest::keyClicks(f->control<QLineEdit>(QStringLiteral("Edit_Name")), "a b");
        QCOMPARE(f->control<QLineEdit>(QStringLiteral("Edit_Name"))->text(), QString("a b"));
        QVERIFY(f->isVisible());
        QVERIFY(!courseMenu(rig)->isVisible());
    }

    void clickHandsOverOnlyWhenANameIsStored() {
        TestRig unregistered;
        QVERIFY(unregistered.start().ok());
        form(unregistered)->show();
        QTest::mouseClick(form(unregistered)->control<QWidget>(QStringLiteral("Image1")),
                          Qt::LeftButton);
        QTest::mouseClick(form(unregistered)->control<QFrame>(QStringLiteral("Panel1")),
                          Qt::LeftButton, {}, QPoint(4, 300));
        QVERIFY(form(unregistered)->isVisible());
        QVERIFY(!courseMenu(unregistered)->isVisible());

        TestRig onPicture;
        registerProfile(onPicture);
        QVERIFY(onPicture.start().ok());
        form(onPicture)->show();
        QTest::mouseClick(form(onPicture)->control<QWidget>(QStringLiteral("Image1")),
                          Qt::LeftButton);
        QVERIFY(!form(onPicture)->isVisible());
        QVERIFY(courseMenu(onPicture)->isVisible());

        TestRig onFrame;
        registerProfile(onFrame);
        QVERIFY(onFrame.start().ok());
        form(onFrame)->show();
        QTest::mouseClick(form(onFrame)->control<QFrame>(QStringLiteral("Panel1")), Qt::LeftButton,
                          {}, QPoint(4, 300));
        QVERIFY(!form(onFrame)->isVisible());
        QVERIFY(courseMenu(onFrame)->isVisible());
    }
};

QTEST_MAIN(TestMainMenuForm)
#include "tst_main_menu_form.moc"
