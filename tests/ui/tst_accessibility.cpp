// What a screen reader finds on every window of the program: each control a
// learner operates has a name to announce, and the controls the program
// paints itself say what kind of control they are.

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QSet>
#include <QtTest>
#include <set>

#include "exam_rig.h"
#include "style_rig.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/online/TDownLoad.h"
#include "ui/online/TSyncCandidateForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/online/TUpdateForm.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/startup/TSpareForm.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle5View.h"
#include "ui/styles/TfrmSelStyle6View.h"
#include "ui/styles/TfrmSelStyle7View.h"
#include "ui/widgets/screen_form.h"

using tovalo::AnswerStyle;
using tovalo::ui::ScreenForm;

namespace {

// The roles of controls a learner operates or moves through: buttons of
// every kind, marks, fields, lists, grids and tabs, sliders and spin boxes.
// Left out are what only shows (labels, pictures, progress, frames), the
// cells and items inside item views (their text is their name and an empty
// cell is content), and scroll bars, which readers announce by role and
// value as part of their area. A widget that takes the focus by Tab is
// checked whatever its role, since that is where a keyboard user lands.
const QSet<QAccessible::Role> kOperated{
    QAccessible::PushButton,   QAccessible::CheckBox,       QAccessible::RadioButton,
    QAccessible::ButtonMenu,   QAccessible::ButtonDropDown, QAccessible::ComboBox,
    QAccessible::EditableText, QAccessible::SpinBox,        QAccessible::Slider,
    QAccessible::Dial,         QAccessible::List,           QAccessible::ListItem,
    QAccessible::Table,        QAccessible::Tree,           QAccessible::PageTab,
    QAccessible::PageTabList,  QAccessible::Link,           QAccessible::HotkeyField,
};

struct Walk {
    int operated = 0;
    QStringList unnamed;
    std::map<QString, QAccessible::Role> roles;  // by object name
};

QString describe(QAccessibleInterface* iface) {
    QObject* o = iface->object();
    const QString name = o != nullptr ? o->objectName() : QString();
    return QStringLiteral("%1 (%2, role %3)")
        .arg(name.isEmpty() ? QStringLiteral("<no object name>") : name,
             o != nullptr ? QString::fromLatin1(o->metaObject()->className()) : QString())
        .arg(static_cast<int>(iface->role()));
}

void walk(QAccessibleInterface* iface, QWidget* window, Walk& seen, int depth = 0) {
    if (iface == nullptr || !iface->isValid() || depth > 40) {
        return;
    }
    QObject* object = iface->object();
    auto* widget = qobject_cast<QWidget*>(object);
    const bool tabStop =
        widget != nullptr && widget != window && (widget->focusPolicy() & Qt::TabFocus);
    if (kOperated.contains(iface->role()) || tabStop) {
        ++seen.operated;
        if (iface->text(QAccessible::Name).trimmed().isEmpty()) {
            seen.unnamed << window->objectName() + QStringLiteral(": ") + describe(iface);
        }
    }
    if (object != nullptr && !object->objectName().isEmpty()) {
        seen.roles[object->objectName()] = iface->role();
    }
    // Item views list their cells as children: content, not controls. A
    // page view's children are the page's own, written by the course.
    if (qobject_cast<QAbstractItemView*>(object) != nullptr ||
        (object != nullptr &&
         QByteArray(object->metaObject()->className()).startsWith("QWebEngine"))) {
        return;
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        walk(iface->child(i), window, seen, depth + 1);
    }
}

Walk walkWindow(QWidget* window) {
    Walk seen;
    walk(QAccessible::queryAccessibleInterface(window), window, seen);
    return seen;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // Every window the program makes, opened the way the program opens it
    // and walked while its controls are built: none with an unnamed
    // control, and every window that has controls was reached.
    void everyOperatedControlHasAName() {
        std::set<QString> walked;
        QStringList unnamed;
        std::map<QString, int> operated;
        QStringList unreached;
        const auto check = [&](QWidget* window) {
            const Walk seen = walkWindow(window);
            auto* form = qobject_cast<ScreenForm*>(window);
            const QString name = form != nullptr ? form->formName() : window->objectName();
            walked.insert(name);
            operated[name] += seen.operated;
            unnamed << seen.unnamed;
            // A window whose controls take the focus must show them to the
            // walk; one with none (the introduction card, windows of later
            // versions) has nothing to name.
            for (const QWidget* w : window->findChildren<QWidget*>()) {
                if ((w->focusPolicy() & Qt::TabFocus) && seen.operated == 0) {
                    unreached << name;
                    break;
                }
            }
        };

        // The road of an exam with a case study and figures.
        int windows = 0;
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            tovalo::ui::Screens& s = *rig.screens;
            windows = static_cast<int>(s.all().size());
            s.MainMenuForm->show();
            check(s.MainMenuForm);
            s.MainMenuForm->hide();
            s.CourseMenuForm->show();
            check(s.CourseMenuForm);

            rig.drawExam("nexa", "NXA-330", 10, 30);
            s.CourseMenuForm->StartButtonClick();
            QVERIFY(s.CatSelForm->isVisible());
            check(s.CatSelForm);
            s.CatSelForm->hide();

            rig.drawExam("nexa", "NXA-330", 10, 30);
            s.GenericMBForm->startExam();
            check(s.GenericMBForm);
            QTest::keyClick(s.GenericMBForm, Qt::Key_Space);
            QVERIFY(s.CaseStudyForm->isVisible());
            check(s.CaseStudyForm);
            s.CaseStudyForm->close();
            check(s.ExamModeForm);
            s.RefImgForm->showFigure(QStringLiteral("図1"), rig.path("QDAT/nexa/img/nxa_cost.jpg"));
            check(s.RefImgForm);
            s.RefImgForm->hide();
            s.ExamModeForm->AnswerClick();
            QVERIFY(s.CheatForm->isVisible());
            check(s.CheatForm);
            s.ExamModeForm->GradeClick();
            QVERIFY(s.ConfirmForm->isVisible());
            check(s.ConfirmForm);
            s.ConfirmForm->GradeButtonClick();
            QVERIFY(s.ResultForm->isVisible());
            check(s.ResultForm);
            s.ResultForm->hide();

            s.CourseMenuForm->DiagnosisButtonClick();
            QVERIFY(s.StudyForm->isVisible());
            check(s.StudyForm);
            s.AdaptiveForm->show();
            check(s.AdaptiveForm);
            s.AdaptiveForm->hide();
            s.StudyForm->hide();

            // The online windows and the window kept for later.
            for (ScreenForm* w : std::initializer_list<ScreenForm*>{s.UpdateForm, s.DownLoad,
                                                                    s.SyncForm, s.SpareForm}) {
                w->show();
                check(w);
                w->hide();
            }
            s.SyncCandidateForm->showProposal({});
            s.SyncCandidateForm->show();
            check(s.SyncCandidateForm);
            s.SyncCandidateForm->hide();
        }

        // Each special style's window and the window that shows its answer.
        struct Style {
            const char* vendor;
            const char* course;
            int count;
            AnswerStyle style;
        };
        for (const Style& st : {Style{"nexa", "NXS-210", 16, AnswerStyle::Graphic},
                                Style{"nexa", "NXS-210", 16, AnswerStyle::Panel},
                                Style{"nexa", "NXS-210", 16, AnswerStyle::Descriptive},
                                Style{"kumo", "KSE-100", 12, AnswerStyle::PanelSecond},
                                Style{"kumo", "KSE-100", 12, AnswerStyle::Connect}}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            QWidget* window =
                style_rig::openStyleWindow(rig, st.vendor, st.course, st.count, st.style);
            QVERIFY(window != nullptr);
            check(window);
            window->hide();
            tovalo::ui::Screens& s = *rig.screens;
            const std::map<AnswerStyle, ScreenForm*> views{
                {AnswerStyle::Graphic, s.frmSelStyle3View},
                {AnswerStyle::Panel, s.frmSelStyle4View},
                {AnswerStyle::Descriptive, s.frmSelStyle5View},
                {AnswerStyle::PanelSecond, s.frmSelStyle6View},
                {AnswerStyle::Connect, s.frmSelStyle7View}};
            ScreenForm* view = views.at(st.style);
            view->show();
            check(view);
            view->hide();
            s.ExamModeForm->hide();
        }

        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
        QCOMPARE(static_cast<int>(walked.size()), windows);
        QVERIFY2(unreached.isEmpty(), qPrintable(unreached.join(QLatin1Char(' '))));
        // The screens a learner works in were walked with their controls.
        for (const char* screen : {"TMainMenuForm", "TCourseMenuForm", "TCatSelForm",
                                   "TExamModeForm", "TConfirmForm", "TResultForm", "TCheatForm"}) {
            QVERIFY2(operated[QLatin1String(screen)] >= 3, screen);
        }
    }

    // The controls the program paints itself tell what they are: the
    // vendor tabs, the course list and its rows, the minor-category lines.
    void paintedControlsHaveRoles() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        tovalo::ui::Screens& s = *rig.screens;
        s.CourseMenuForm->show();
        const Walk menu = walkWindow(s.CourseMenuForm);
        QCOMPARE(menu.roles.at(QStringLiteral("TabStrip")), QAccessible::PageTabList);
        QCOMPARE(menu.roles.at(QStringLiteral("CourseList")), QAccessible::List);
        QCOMPARE(menu.roles.at(QStringLiteral("CourseRow1")), QAccessible::ListItem);

        // The selected row says so; the others do not.
        auto* row1 = QAccessible::queryAccessibleInterface(
            s.CourseMenuForm->control<QWidget>(QStringLiteral("CourseRow1")));
        auto* row2 = QAccessible::queryAccessibleInterface(
            s.CourseMenuForm->control<QWidget>(QStringLiteral("CourseRow2")));
        QVERIFY(row1->state().selected);
        QVERIFY(!row2->state().selected);
        QVERIFY(row1->text(QAccessible::Name).startsWith(QStringLiteral("NXA-330")));
        QTest::mouseClick(s.CourseMenuForm->control<QWidget>(QStringLiteral("CourseRow2")),
                          Qt::LeftButton);
        QVERIFY(!row1->state().selected);
        QVERIFY(row2->state().selected);

        s.CourseMenuForm->StartButtonClick();
        QVERIFY(s.CatSelForm->isVisible());
        const Walk categories = walkWindow(s.CatSelForm);
        const QString firstList =
            QStringLiteral("CategoryList%1").arg(s.CatSelForm->categoryRows().front().category);
        QCOMPARE(categories.roles.at(firstList), QAccessible::List);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
