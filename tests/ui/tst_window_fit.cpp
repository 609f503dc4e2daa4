// Every window of the program on the small desktops it meets: 1280 × 720
// logical pixels (1920 × 1080 at 150 %, 2560 × 1440 at 200 %), 1366 × 768 at
// 100 %, and the 1280 × 900 display at 200 % (640 × 450). CTest runs the suite
// once per display. Each window is opened the way the learner opens it, after
// an earlier 100 % session stored the main screens' place low on the screen;
// it must lie wholly inside the free area, folded or unfolded, and keep its
// picture buttons reachable. A window that keeps its design width shows whole
// the texts that show whole at 100 %; on the 640-pixel screen the main
// screens are narrower than designed, and those texts give way at their end.

#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/app/window_placement.h"
#include "core/results/advisor.h"
#include "core/sync/sync_rules.h"
#include "online_rig.h"
#include "style_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/results/advisor_view.h"
#include "ui/widgets/course_row.h"

namespace {

using tovalo::AnswerStyle;
using tovalo::ui::ImageButton;

void click(QWidget* w) {
    QVERIFY(w != nullptr && w->isVisible());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// The ancestor that cuts `w` off, or null when it is whole. What a scroll
// area hides is reachable by scrolling.
QWidget* clippingAncestor(QWidget* w) {
    QRect r(QPoint(0, 0), w->size());
    for (QWidget* c = w; !c->isWindow(); c = c->parentWidget()) {
        r.translate(c->pos());
        QWidget* parent = c->parentWidget();
        if (parent->objectName() == QLatin1String("qt_scrollarea_viewport")) {
            return nullptr;
        }
        if (!QRect(QPoint(0, 0), parent->size()).contains(r)) {
            return parent;
        }
    }
    return nullptr;
}

// A step of the learner's way: opens a window and says which it is, and
// which of its texts are cut while it has its design width.
struct Step {
    QString name;
    std::function<QWidget*()> open;
    std::function<QStringList(QWidget*)> cutTexts = {};
    int designWidth = 0;
};

// The course rows of the menu whose line is cut short.
QStringList cutCourseRows(QWidget* menu) {
    QStringList cut;
    for (auto* row : menu->findChildren<tovalo::ui::CourseRow*>()) {
        if (row->isVisible() && !row->text().isEmpty() && row->shownText() != row->text()) {
            cut << row->text();
        }
    }
    return cut;
}

QStringList cutAdvisorNames(QWidget* advisor) {
    QStringList cut;
    auto* names = advisor->findChild<tovalo::ui::AdvisorNames*>(QStringLiteral("LabelImage"));
    for (int row = 1; row <= names->count(); ++row) {
        if (names->shownText(row) != names->fullText(row)) {
            cut << names->fullText(row);
        }
    }
    return cut;
}

// Adaptive list headings that do not fit their column, and columns that
// lie past the grid's right edge.
QStringList cutAdaptiveColumns(QWidget* list) {
    QStringList cut;
    auto* grid = list->findChild<QTableView*>(QStringLiteral("SG"));
    QHeaderView* header = grid->horizontalHeader();
    const QFontMetrics metrics(header->font());
    for (int c = 0; c < header->count(); ++c) {
        const QString heading = grid->model()->headerData(c, Qt::Horizontal).toString();
        const int right = header->sectionViewportPosition(c) + header->sectionSize(c);
        if (metrics.horizontalAdvance(heading) + 4 > header->sectionSize(c) ||
            right > grid->viewport()->width()) {
            cut << heading;
        }
    }
    return cut;
}

}  // namespace

class WindowFit : public QObject {
    Q_OBJECT

  private:
    QRect area_;
    QStringList faults_;

    void check(const Step& step, QWidget* window) {
        if (window == nullptr || !window->isVisible()) {
            faults_ << step.name + QStringLiteral(": did not open");
            return;
        }
        if (!QTest::qWaitForWindowExposed(window)) {
            faults_ << step.name + QStringLiteral(": not exposed");
        }
        QCoreApplication::processEvents();
        const QRect frame = window->frameGeometry();
        if (!area_.contains(frame)) {
            faults_ << QStringLiteral("%1: %2,%3 %4×%5 leaves the free area %6×%7")
                           .arg(step.name)
                           .arg(frame.x())
                           .arg(frame.y())
                           .arg(frame.width())
                           .arg(frame.height())
                           .arg(area_.width())
                           .arg(area_.height());
        }
        for (ImageButton* b : window->findChildren<ImageButton*>()) {
            if (b->isVisible() && b->window() == window) {
                if (QWidget* clip = clippingAncestor(b)) {
                    faults_ << QStringLiteral("%1: %2 is cut off by %3")
                                   .arg(step.name, b->objectName(), clip->objectName());
                }
            }
        }
        if (step.cutTexts && window->width() >= step.designWidth) {
            for (const QString& text : step.cutTexts(window)) {
                faults_ << QStringLiteral("%1: \"%2\" is cut").arg(step.name, text);
            }
        }
    }

    void walk(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            QWidget* window = step.open();
            if (QTest::currentTestFailed()) {
                return;
            }
            check(step, window);
        }
    }

    // The place an earlier session at 100 % stored for the main screens:
    // low on the screen, where the answer window unfolds past the bottom.
    static void storePlace(ExamRig& rig) {
        rig.settings.values = {
            {"Left", "300"}, {"Top", "200"}, {"Width", "760"}, {"Height", "562"}, {"State", "1"}};
    }

  private slots:
    void initTestCase() {
        tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp));
        QScreen* screen = QGuiApplication::primaryScreen();
        area_ = screen->availableGeometry();
        // Run on the desktop's own screen the suite would prove nothing.
        QVERIFY2(area_.height() <= 768, "run on one of the small screen files");
    }

    void everyWindowLiesInsideTheFreeArea() {
        auto rig = std::make_unique<ExamRig>();
        storePlace(*rig);
        rig->adaptive = true;
        QVERIFY(rig->start().ok());
        const tovalo::ui::Screens& s = *rig->screens;
        std::vector<Step> steps{
            {QStringLiteral("profile"),
             [&] {
                 s.MainMenuForm->show();
                 return s.MainMenuForm;
             }},
            {QStringLiteral("course menu"),
             [&] {
                 s.MainMenuForm->hide();
                 s.CourseMenuForm->show();
                 return s.CourseMenuForm;
             },
             cutCourseRows, tovalo::app::kCourseMenuMinWidth},
            {QStringLiteral("categories"),
             [&] {
                 s.CourseMenuForm->CourseRowClick(1);
                 click(s.CourseMenuForm->control(QStringLiteral("StartButton")));
                 return s.CatSelForm;
             }},
            {QStringLiteral("introduction"),
             [&] {
                 s.CatSelForm->hide();
                 rig->drawExam("nexa", "NXS-210", 16, 30, tovalo::SelectionMode::Normal,
                               ExamRig::firstWhere([](const tovalo::ExamQuestion& q) {
                                   return q.QuesText.find(".jpg@") != std::string::npos;
                               }));
                 s.GenericMBForm->startExam();
                 return s.GenericMBForm;
             }},
            {QStringLiteral("exam"),
             [&] {
                 QTest::keyClick(s.GenericMBForm, Qt::Key_Space);
                 return s.ExamModeForm;
             }},
            {QStringLiteral("figure"),
             [&] {
                 click(s.ExamModeForm->control(QStringLiteral("FigButton1")));
                 return s.RefImgForm;
             }},
            {QStringLiteral("answer folded"),
             [&] {
                 s.RefImgForm->hide();
                 click(s.ExamModeForm->control(QStringLiteral("AnswerButton")));
                 return s.CheatForm;
             }},
            {QStringLiteral("answer unfolded"),
             [&] {
                 click(s.CheatForm->control(QStringLiteral("Button2")));
                 return s.CheatForm;
             }},
            {QStringLiteral("review list"),
             [&] {
                 for (int p = 1; p <= rig->session->exam.questionCount(); ++p) {
                     rig->answerRight(p);
                 }
                 click(s.ExamModeForm->control(QStringLiteral("GradeButton")));
                 return s.ConfirmForm;
             }},
            {QStringLiteral("result"),
             [&] {
                 click(s.ConfirmForm->control(QStringLiteral("GradeButton")));
                 return s.ResultForm;
             }},
            {QStringLiteral("adaptive list"),
             [&] {
                 s.ResultForm->Button3Click();
                 s.AdaptiveForm->showFor(*rig->session->course());
                 return s.AdaptiveForm;
             },
             cutAdaptiveColumns, tovalo::ui::TAdaptiveForm::kShownSize.width()},
            {QStringLiteral("advisor"),
             [&] {
                 s.AdaptiveForm->close();
                 s.CourseMenuForm->DiagnosisButtonClick();
                 return s.StudyForm;
             },
             cutAdvisorNames, tovalo::kAdvisorMinWidth},
            {QStringLiteral("advisor course"),
             [&] {
                 s.StudyForm->openCourse(1);
                 auto* slide = s.StudyForm->control<QTimer>(QStringLiteral("Timer1"));
                 for (int i = 0; i < 200 && slide->isActive(); ++i) {
                     s.StudyForm->Timer1Timer();
                 }
                 return s.StudyForm;
             }},
            {QStringLiteral("case study"),
             [&] {
                 s.StudyForm->hide();
                 rig->drawExam("sorane", "SRD-120", 10, 15);
                 s.GenericMBForm->startExam();
                 QTest::keyClick(s.GenericMBForm, Qt::Key_Space);
                 return s.CaseStudyForm;
             }},
        };
        walk(steps);
        rig.reset();

        // Each answer window and, through the answer window, its View.
        struct StyleCase {
            const char* vendor;
            const char* course;
            int count;
            AnswerStyle style;
            const char* viewButton;
        };
        for (const StyleCase& c :
             {StyleCase{"nexa", "NXS-210", 16, AnswerStyle::Graphic, "Image8"},
              StyleCase{"nexa", "NXS-210", 16, AnswerStyle::Panel, "Image9"},
              StyleCase{"nexa", "NXS-210", 16, AnswerStyle::Descriptive, "ButtonType5"},
              StyleCase{"kumo", "KSE-100", 12, AnswerStyle::PanelSecond, "Image10"},
              StyleCase{"kumo", "KSE-100", 12, AnswerStyle::Connect, "Image11"}}) {
            ExamRig styleRig;
            storePlace(styleRig);
            QVERIFY(styleRig.start().ok());
            const QString name = QStringLiteral("style %1").arg(static_cast<int>(c.style));
            tovalo::ui::TExamModeForm* exam = nullptr;
            walk({{name,
                   [&] {
                       exam =
                           style_rig::openQuestion(styleRig, c.vendor, c.course, c.count, c.style);
                       style_rig::clickStyleButton(exam, c.style);
                       return QApplication::activeModalWidget();
                   }},
                  {name + QStringLiteral(" view"), [&] {
                       QApplication::activeModalWidget()->close();
                       click(exam->control(QStringLiteral("AnswerButton")));
                       click(styleRig.screens->CheatForm->control(QLatin1String(c.viewButton)));
                       return QApplication::activeModalWidget();
                   }}});
        }

        SyncRig sync;
        sync.rig.server.handler = [](const std::string&) {
            return reply(200, "", kLocalStamp + "\r\n");
        };
        walk({{QStringLiteral("sync"),
               [&] {
                   sync.rig.screens->CourseMenuForm->show();
                   sync.rig.screens->CourseMenuForm->SyncButtonClick();
                   return sync.form;
               }},
              {QStringLiteral("sync proposal"), [&] {
                   sync.start();
                   (void)QTest::qWaitFor([&] { return sync.proposal->isVisible(); });
                   return sync.proposal;
               }}});
        sync.proposal->close();
        sync.form->close();

        UpdateRig update;
        update.holdOn = "NXN-101.qdf";
        update.rig.messages.answers = {true};
        walk({{QStringLiteral("update"),
               [&] {
                   update.rig.screens->CourseMenuForm->show();
                   update.rig.screens->CourseMenuForm->UpdateButtonClick();
                   return update.form;
               }},
              {QStringLiteral("download"), [&] {
                   click(update.at<ImageButton>("StartButton"));
                   (void)QTest::qWaitFor([&] { return update.download->isVisible(); });
                   return update.download;
               }}});
        update.release = true;
        QTRY_VERIFY(!update.download->isVisible());

        QVERIFY2(faults_.isEmpty(), qPrintable(faults_.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(WindowFit)
#include "tst_window_fit.moc"
