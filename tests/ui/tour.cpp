// Starts the real window set against an installation and saves a picture of
// every screen, so that a reviewer sees each one without running the program.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>
#include <atomic>
#include <ctime>
#include <thread>

#include "core/app/command_line.h"
#include "core/platform/doubles.h"
#include "core/styles/answer_style.h"
#include "exam_rig.h"
#include "online_rig.h"
#include "platform/desktop_platform.h"
#include "staged_installation.h"
#include "style_rig.h"
#include "test_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle5View.h"
#include "ui/styles/TfrmSelStyle6View.h"
#include "ui/styles/TfrmSelStyle7View.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/minor_category_list.h"

namespace {

// A fixed moment, so that the pictures come out the same on every run.
std::chrono::system_clock::time_point examDay() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 1;
    t.tm_hour = 10;
    t.tm_min = 30;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

}  // namespace

class Tour : public QObject {
    Q_OBJECT

  private:
    QDir out_;

    void save(QWidget* screen, const QString& name) {
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QCoreApplication::processEvents();
        // A pass on a scaled screen keeps its pictures beside the 100 % ones.
        const qreal ratio = qGuiApp->devicePixelRatio();
        const QString suffix =
            ratio > 1.0 ? QStringLiteral("-%1").arg(qRound(ratio * 100)) : QString();
        QString file = out_.filePath(name + suffix + QStringLiteral(".png"));
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
        QCOMPARE(QFontInfo(profile->control<QLabel>(QStringLiteral("Label1"))->font()).family(),
                 QStringLiteral("IPAPGothic"));
        profile->show();
        save(profile, QStringLiteral("01-profile-registration"));

        typeText(profile->control<QLineEdit>(QStringLiteral("Edit_Name")),
                 QStringLiteral("山田 太郎"));
        typeText(profile->control<QLineEdit>(QStringLiteral("Edit_Org")),
                 QStringLiteral("株式会社サンプル 情報システム部"));
        QTest::keyClicks(profile->control<QLineEdit>(QStringLiteral("Edit_Email")),
                         QStringLiteral("taro.yamada@example.jp"));
        save(profile, QStringLiteral("02-profile-registration-filled"));

        profile->Button1Click();
        QVERIFY(messages.shown.empty());
        save(screens.CourseMenuForm, QStringLiteral("04-course-menu"));

        screens.CourseMenuForm->hide();
        profile->show();
        save(profile, QStringLiteral("03-profile-stored"));
        profile->hide();
    }

    // The course menu on each sample vendor and the category screen of one
    // course, on a copy of the staged installation so that the history files
    // the menu creates stay out of the build tree.
    void courseMenuAndCategories() {
        StagedInstallation staged;
        if (!staged.available) {
            QSKIP("the build has not staged the sample installation");
        }
        QVERIFY(staged.started);
        tovalo::ui::TCourseMenuForm* menu = staged.screens->CourseMenuForm;
        menu->show();
        const char* shots[] = {"10-course-menu-nexa", "11-course-menu-sorane",
                               "12-course-menu-kumo"};
        for (int vendor = 1;
             vendor <= static_cast<int>(staged.session->vendors.size()) && vendor <= 3; ++vendor) {
            menu->TabStripClick(vendor);
            if (vendor == 1) {
                menu->CourseRowClick(2);
            }
            save(menu, QLatin1String(shots[vendor - 1]));
        }
        QVERIFY(staged.messages.shown.empty());

        menu->TabStripClick(1);
        menu->CourseRowClick(1);
        menu->StartButtonClick();
        tovalo::ui::TCatSelForm* categories = staged.screens->CatSelForm;
        QVERIFY(categories->isVisible());
        QTest::mouseClick(categories->categoryRows().at(1).list, Qt::LeftButton, {},
                          categories->categoryRows().at(1).list->linePoint(2));
        save(categories, QStringLiteral("13-category-screen"));
        QTest::mouseClick(categories->control<QCheckBox>(QStringLiteral("MajorOnlyCheck")),
                          Qt::LeftButton, {}, QPoint(6, 8));
        save(categories, QStringLiteral("14-category-screen-majors-only"));
        QTest::mouseClick(categories->control<QCheckBox>(QStringLiteral("MajorOnlyCheck")),
                          Qt::LeftButton, {}, QPoint(6, 8));
        QTest::mouseClick(categories->control<QRadioButton>(QStringLiteral("ModeMockExam")),
                          Qt::LeftButton, {}, QPoint(6, 10));
        save(categories, QStringLiteral("15-category-screen-mock-exam"));
        categories->BackButtonClick();
        menu->hide();
        QVERIFY(staged.messages.shown.empty());
    }

    // An exam from its card to the review list, on a copy of the staged
    // installation: a plain-text question, one with figures and its figure
    // window, a special style, both kinds of case study and an HTML question.
    void examScreens() {
        if (!QFileInfo::exists(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Tovalonexa.rcc"))) {
            QSKIP("the build has not staged the sample installation");
        }
        using tovalo::ExamQuestion;
        using tovalo::SelectionMode;
        const auto pageShown = [this](tovalo::ui::WebPageView* view, int pages) {
            QTRY_VERIFY_WITH_TIMEOUT(view->pagesLoaded() >= pages, 15000);
            // The engine paints a moment after the page reports it is loaded.
            QTest::qWait(400);
        };
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", "NXN-101", 20, 30);
            tovalo::ui::TGenericMBForm* card = rig.screens->GenericMBForm;
            card->startExam();
            save(card, QStringLiteral("20-introduction-box"));
            QTest::keyClick(card, Qt::Key_Space);
            tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
            for (int q = 1; q <= 3; ++q) {
                const int style = rig.session->exam.questions()[q - 1].Style;
                (tovalo::answerStyle(style) == tovalo::AnswerStyle::Multiple
                     ? static_cast<QAbstractButton*>(
                           exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((1) + 1)))
                     : exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((1) + 1)))
                    ->click();
                exam->control<QCheckBox>(QStringLiteral("StickyNote"))->setChecked(q == 2);
                exam->NextClick();
            }
            (tovalo::answerStyle(rig.session->exam.questions()[3].Style) ==
                     tovalo::AnswerStyle::Multiple
                 ? static_cast<QAbstractButton*>(
                       exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((2) + 1)))
                 : exam->control<QRadioButton>(QStringLiteral("RadioButton%1").arg((2) + 1)))
                ->click();
            // Six minutes on four questions of a 90-second pace: the reminder
            // is up.
            for (int i = 0; i < 363; ++i) {
                exam->Timer1Timer();
            }
            QVERIFY(exam->paceReminderShown());
            save(exam, QStringLiteral("21-exam-plain-text"));
            exam->GradeClick();
            save(rig.screens->ConfirmForm, QStringLiteral("27-review-list"));
            rig.screens->ConfirmForm->StringGrid1DblClick(2);
            save(exam, QStringLiteral("28-exam-reviewing"));
            exam->hide();
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", "NXS-210", 16, 30, SelectionMode::Normal,
                         ExamRig::firstWhere([](const ExamQuestion& q) {
                             return q.QuesText.find(".jpg@") != std::string::npos;
                         }));
            rig.screens->GenericMBForm->startExam();
            QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
            tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
            exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1))->click();
            exam->Timer1Timer();
            save(exam, QStringLiteral("22-exam-figures"));
            exam->control<tovalo::ui::ImageButton>(QStringLiteral("FigButton%1").arg((0) + 1))
                ->click();
            save(rig.screens->RefImgForm, QStringLiteral("26-figure-window"));
            rig.screens->RefImgForm->hide();
            for (int q = 2; q <= 16; ++q) {
                exam->NextClick();
                if (rig.session->exam.questions()[q - 1].Style == 4) {
                    break;
                }
            }
            save(exam, QStringLiteral("29-exam-special-style"));
            exam->hide();
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("sorane", "SRD-120", 10, 15);
            rig.screens->GenericMBForm->startExam();
            QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
            save(rig.screens->CaseStudyForm, QStringLiteral("24-case-study-text"));
            rig.screens->CaseStudyForm->Button1Click();
            rig.screens->ExamModeForm->hide();
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", "NXA-330", 10, 40, SelectionMode::Normal,
                         ExamRig::firstWhere([](const ExamQuestion& q) {
                             return tovalo::answerStyle(q.Style) == tovalo::AnswerStyle::Multiple;
                         }));
            rig.screens->GenericMBForm->startExam();
            QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
            tovalo::ui::TCaseStudyForm* study = rig.screens->CaseStudyForm;
            pageShown(study->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1")), 1);
            save(study, QStringLiteral("25-case-study-html"));
            study->Button1Click();
            tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
            pageShown(exam->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1")), 1);
            exam->control<QCheckBox>(QStringLiteral("CheckBox%1").arg((0) + 1))->click();
            exam->Timer1Timer();
            save(exam, QStringLiteral("23-exam-html"));
            exam->hide();
        }
    }

    // Each special-style window with an answer under way, and each View.
    void styleWindows() {
        if (!QFileInfo::exists(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Tovalonexa.rcc"))) {
            QSKIP("the build has not staged the sample installation");
        }
        using tovalo::AnswerStyle;
        struct Shot {
            const char* vendor;
            const char* course;
            int count;
            AnswerStyle style;
            QString name;
            std::function<void()> answer;
        };
        const auto keys = [](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> ks) {
            for (const auto& [key, modifiers] : ks) {
                style_rig::typeKey(key, modifiers);
            }
        };
        const Qt::KeyboardModifiers none;
        const std::vector<Shot> shots{
            {"nexa", "NXS-210", 16, AnswerStyle::Graphic, QStringLiteral("40-style-graphic"),
             [&] {
                 keys({{Qt::Key_Right, Qt::ShiftModifier},
                       {Qt::Key_Right, Qt::ShiftModifier},
                       {Qt::Key_Right, Qt::ShiftModifier},
                       {Qt::Key_Right, Qt::ShiftModifier},
                       {Qt::Key_Down, Qt::ShiftModifier},
                       {Qt::Key_Space, none},
                       {Qt::Key_Right, Qt::ShiftModifier},
                       {Qt::Key_Right, Qt::ShiftModifier}});
             }},
            {"nexa", "NXS-210", 16, AnswerStyle::Panel, QStringLiteral("41-style-panels"),
             [&] {
                 keys({{Qt::Key_1, none}, {Qt::Key_Return, none}, {Qt::Key_Tab, none}});
             }},
            {"nexa", "NXS-210", 16, AnswerStyle::Descriptive, QStringLiteral("42-style-typed"),
             [] { QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("HTTPS")); }},
            {"kumo", "KSE-100", 12, AnswerStyle::PanelSecond,
             QStringLiteral("43-style-panels-second"),
             [&] {
                 keys({{Qt::Key_2, none}, {Qt::Key_Return, none}, {Qt::Key_Tab, none}});
             }},
            {"kumo", "KSE-100", 12, AnswerStyle::Connect, QStringLiteral("44-style-connect"),
             [&] {
                 keys({{Qt::Key_Space, none},
                       {Qt::Key_Tab, none},
                       {Qt::Key_Space, Qt::ShiftModifier},
                       {Qt::Key_1, none}});
             }},
        };
        for (const Shot& shot : shots) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            tovalo::ui::TExamModeForm* exam =
                style_rig::openQuestion(rig, shot.vendor, shot.course, shot.count, shot.style);
            style_rig::clickStyleButton(exam, shot.style);
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY(window != nullptr);
            shot.answer();
            save(window, shot.name);
            window->hide();
            // The View of the same question, as the answer window opens it.
            const tovalo::ui::Screens& screens = *rig.screens;
            QWidget* view =
                shot.style == AnswerStyle::Graphic ? static_cast<QWidget*>(screens.frmSelStyle3View)
                : shot.style == AnswerStyle::Panel ? static_cast<QWidget*>(screens.frmSelStyle4View)
                : shot.style == AnswerStyle::Descriptive
                    ? static_cast<QWidget*>(screens.frmSelStyle5View)
                : shot.style == AnswerStyle::PanelSecond
                    ? static_cast<QWidget*>(screens.frmSelStyle6View)
                    : static_cast<QWidget*>(screens.frmSelStyle7View);
            QVERIFY2(view != nullptr, qPrintable(shot.name));
            view->show();
            save(view, shot.name + QStringLiteral("-view"));
            view->hide();
            exam->hide();
        }
        {
            // The click picture answers on the exam screen itself.
            ExamRig rig;
            QVERIFY(rig.start().ok());
            tovalo::ui::TExamModeForm* exam =
                style_rig::openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::ClickPicture);
            const tovalo::PictureRect zone = rig.session->exam.handoff().zones.front();
            auto* picture = exam->control<QWidget>(QStringLiteral("Image_Type8"));
            QTest::mouseClick(picture, Qt::LeftButton, {},
                              QPoint((zone.x1 + zone.x2) / 2, (zone.y1 + zone.y2) / 2));
            exam->Timer1Timer();
            save(exam, QStringLiteral("45-exam-click-picture"));
            exam->hide();
        }
    }

    // The answer window folded and unfolded, for a plain-text course and an
    // HTML one, and the support page it writes.
    void answerViews() {
        if (!QFileInfo::exists(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Tovalonexa.rcc"))) {
            QSKIP("the build has not staged the sample installation");
        }
        using tovalo::ExamQuestion;
        for (const auto& [course, name] :
             {std::pair<std::string, QString>{"NXN-101", QStringLiteral("50-answer-view")},
              std::pair<std::string, QString>{"NXA-330", QStringLiteral("52-answer-view-html")}}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", course, 10, 30, tovalo::SelectionMode::Normal,
                         ExamRig::firstWhere([](const ExamQuestion& q) {
                             return q.RefPage[0] != "0" || !q.RefText[0].empty();
                         }));
            rig.screens->GenericMBForm->startExam();
            QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
            if (rig.screens->CaseStudyForm->isVisible()) {
                rig.screens->CaseStudyForm->Button1Click();
            }
            tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
            exam->AnswerClick();
            auto* answer = rig.screens->CheatForm;
            save(answer, name + QStringLiteral("-folded"));
            answer->Button2Click();
            auto* browser = answer->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"));
            if (course == "NXA-330") {
                QTRY_VERIFY_WITH_TIMEOUT(browser->pagesLoaded() >= 1, 15000);
                QTest::qWait(400);
            }
            save(answer, name + QStringLiteral("-unfolded"));
            if (course == "NXN-101") {
                // The support page as the learner's browser shows it.
                rig.session->profile = {"山田 花子", "ネットワーク研究会", "hanako@example.jp",
                                        "TV-2026-0001"};
                answer->control<tovalo::ui::ImageButton>(QStringLiteral("Button5"))->click();
                QVERIFY(!rig.shell.opened.empty());
                tovalo::ui::WebPageView page;
                page.resize(760, 640);
                page.show();
                page.showPage(QString::fromStdString(rig.shell.opened.back()));
                QTRY_VERIFY_WITH_TIMEOUT(page.pagesLoaded() >= 1, 15000);
                QTest::qWait(400);
                save(&page, QStringLiteral("54-support-page"));
            }
            answer->hide();
            exam->hide();
        }
    }

    // The result screen of a plain-text course and of an HTML one, each
    // with right and wrong answers and answers looked at during the exam.
    void resultScreens() {
        if (!QFileInfo::exists(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Tovalonexa.rcc"))) {
            QSKIP("the build has not staged the sample installation");
        }
        const auto answer = [](tovalo::ui::Session& s) {
            tovalo::ExamEngine& engine = s.exam.engine();
            for (int p = 1; p <= s.exam.questionCount(); ++p) {
                std::array<bool, 10> marks{};
                marks[0] = true;
                engine.recordAnswer(p, p % 4 != 0 ? s.exam.question(p).ShownCorrect : marks, false);
                if (p % 5 == 3) {
                    engine.markAnswerViewed(p);
                }
                engine.recordTime(p, 40);
            }
            engine.setElapsedSeconds(1234);
        };
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.clock.time = examDay();
            rig.adaptive = true;
            rig.drawExam("nexa", "NXS-210", 16, 30);
            answer(*rig.session);
            tovalo::ui::TResultForm* result = rig.screens->ResultForm;
            result->show();
            save(result, QStringLiteral("30-result-text"));
            // The review pane for a choice row and for a special-style row.
            const std::vector<tovalo::ExamQuestion>& exam = rig.session->exam.questions();
            const auto rowWhere = [&](auto wanted) {
                const auto it = std::find_if(exam.begin(), exam.end(), wanted);
                return static_cast<int>(it - exam.begin()) + 1;
            };
            result->ShowRow(rowWhere([](const tovalo::ExamQuestion& q) {
                return q.Style == 1 && q.QuesText.starts_with("<INCLUDE IMG>");
            }));
            save(result, QStringLiteral("32-result-review-choice"));
            result->ShowRow(rowWhere([](const tovalo::ExamQuestion& q) { return q.Style == 3; }));
            save(result, QStringLiteral("33-result-review-graphic"));
            // The printed report, as the learner's browser shows it.
            const QDir stagePrint(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Print"));
            QDir(rig.path(QStringLiteral("bin"))).mkpath(QStringLiteral("Print"));
            for (const QString& name : stagePrint.entryList(QDir::Files)) {
                QFile::copy(stagePrint.filePath(name),
                            rig.path(QStringLiteral("bin/Print/") + name));
            }
            result->control<tovalo::ui::ImageButton>(QStringLiteral("Button8"))->click();
            QVERIFY(!rig.shell.opened.empty());
            {
                tovalo::ui::WebPageView page;
                page.resize(760, 900);
                page.show();
                page.showPage(QString::fromStdString(rig.shell.opened.back()));
                QTRY_VERIFY_WITH_TIMEOUT(page.pagesLoaded() >= 1, 15000);
                QTest::qWait(600);
                save(&page, QStringLiteral("35-printed-report"));
            }
            result->Button3Click();
            // Leaving the result stored the adaptive file: its list.
            rig.screens->AdaptiveForm->showFor(*rig.session->course());
            save(rig.screens->AdaptiveForm, QStringLiteral("36-adaptive-list"));
            rig.screens->AdaptiveForm->hide();
            // The advisor over the vendor's courses, and the course just taken.
            tovalo::ui::TStudyForm* advisor = rig.screens->StudyForm;
            advisor->show();
            save(advisor, QStringLiteral("37-advisor"));
            advisor->openCourse(rig.session->CourseIndex);
            for (int i = 0;
                 i < 100 && advisor->control<QTimer>(QStringLiteral("Timer1"))->isActive(); ++i) {
                advisor->Timer1Timer();
            }
            save(advisor, QStringLiteral("38-advisor-course"));
            advisor->Button2Click();
            rig.screens->CourseMenuForm->hide();
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.clock.time = examDay();
            rig.drawExam("sorane", "SRL-240", 13, 40);
            answer(*rig.session);
            tovalo::ui::TResultForm* result = rig.screens->ResultForm;
            result->show();
            QTRY_VERIFY_WITH_TIMEOUT(
                result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))
                        ->pagesLoaded() >= 1,
                15000);
            // The engine paints a moment after the page reports it is loaded.
            QTest::qWait(400);
            save(result, QStringLiteral("31-result-html"));
            result->ShowRow(1);
            QTRY_VERIFY_WITH_TIMEOUT(
                result->control<tovalo::ui::WebPageView>(QStringLiteral("WebBrowser1"))
                        ->pagesLoaded() >= 2,
                15000);
            QTest::qWait(400);
            save(result, QStringLiteral("34-result-review-html"));
            result->Button3Click();
            rig.screens->CourseMenuForm->hide();
        }
    }

    // The synchronisation window, its proposal and its progress, and the
    // question update window with its download window, each against a
    // server that holds one answer back while the picture is taken.
    void onlineWindows() {
        if (!QFileInfo::exists(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Tovalonexa.rcc"))) {
            QSKIP("the build has not staged the sample installation");
        }
        {
            SyncRig t;
            std::atomic<bool> release{false};
            t.rig.server.handler = [&](const std::string& request) {
                const std::string id = testIdIn(request);
                if (request.starts_with("POST /q.cgi")) {
                    return reply(200, "",
                                 (id == "NXA-330"   ? std::string("NOTFOUND")
                                  : id == "NXN-101" ? std::string("2026/11/20 07:30:00")
                                                    : kLocalStamp) +
                                     "\r\n");
                }
                if (request.starts_with("POST /d.cgi")) {
                    while (!release) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
                    return reply(200, "", "[DLDATA]\r\nTEST_ID=NXN-101\r\nMAX=1\r\n");
                }
                return reply(200, "", "\r\n");
            };
            t.open();
            save(t.form, QStringLiteral("60-sync-window"));
            t.start();
            QTRY_VERIFY(t.proposal->isVisible());
            save(t.proposal, QStringLiteral("61-sync-proposal"));
            QTest::keyClick(t.proposal->windowHandle(), Qt::Key_Return);
            QTRY_COMPARE(t.at<QLabel>("ProgressLabel")->text(),
                         QStringLiteral("NXN-101 : ダウンロード中"));
            save(t.form, QStringLiteral("62-sync-progress"));
            release = true;
            QTRY_VERIFY(t.at("StartButton")->isEnabled());
            t.form->hide();
        }
        {
            UpdateRig t;
            const QString nxn = t.questionFile("nexa", "NXN-101.qdf");
            t.served["NXN-101.qdf"] = withDateLine(readBytes(nxn), "20261201093000");
            t.holdOn = "NXN-101.qdf";
            t.rig.messages.answers = {true};
            t.open();
            save(t.form, QStringLiteral("63-update-window"));
            QTest::mouseClick(t.at<tovalo::ui::ImageButton>("StartButton"), Qt::LeftButton);
            QTRY_VERIFY(t.download->isVisible());
            QTRY_COMPARE(t.download->control<QLabel>(QStringLiteral("FileLabel"))->text(),
                         QStringLiteral("模擬問題NXN-101.qdfをダウンロード中"));
            // A few frames into the transfer picture.
            QTest::qWait(300);
            save(t.download, QStringLiteral("64-update-download"));
            t.release = true;
            QTRY_COMPARE(t.rig.endRequests, 1);
        }
    }
};

QTEST_MAIN(Tour)
#include "tour.moc"
