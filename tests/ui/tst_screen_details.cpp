// Details the learner sees on screen, measured where they are drawn: where
// the online windows open, when lists show a scroll bar, how the side
// column sets a course title, and the advisor's category view.

#include <QAbstractScrollArea>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "exam_rig.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/result_grid.h"
#include "ui/widgets/text_wrap.h"

using tovalo::ui::ImageButton;

namespace {

void click(QWidget* w) {
    QVERIFY(w != nullptr && w->isVisible());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// The lines a label shows, as it lays them out in its box.
QStringList laidOutLines(const QLabel* label) {
    QStringList lines;
    for (const QString& paragraph : label->text().split(QLatin1Char('\n'))) {
        lines << (label->wordWrap() ? tovalo::ui::wrappedLines(paragraph, label->font(),
                                                               label->contentsRect().width())
                                    : QStringList{paragraph});
    }
    return lines;
}

}  // namespace

class ScreenDetails : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // The synchronisation and update windows open centred over the course
    // menu they are opened from, wherever the menu stands.
    void onlineWindowsOpenOverTheCourseMenu() {
        for (const char* button : {"SyncButton", "UpdateButton"}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            tovalo::ui::TCourseMenuForm* menu = rig.screens->CourseMenuForm;
            menu->show();
            menu->move(90, 140);
            menu->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(menu));
            click(menu->control(QLatin1String(button)));
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY2(window != nullptr, button);
            const QPoint offset = window->frameGeometry().center() - menu->frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1 opens %2,%3 off the menu's centre")
                                    .arg(QLatin1String(button))
                                    .arg(offset.x())
                                    .arg(offset.y())));
            window->close();
        }
    }

    // The review list and the result grid show a scroll bar only when their
    // rows do not fit.
    void scrollBarsOnlyWhenTheRowsOverflow() {
        struct Case {
            bool review;
            int questions;
            bool bar;
        };
        for (const Case& c : {Case{true, 10, false}, Case{true, 14, false}, Case{true, 20, true},
                              Case{false, 10, false}, Case{false, 40, true}}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam("nexa", "NXN-101", c.questions, 60);
            QAbstractScrollArea* area = nullptr;
            if (c.review) {
                rig.screens->ConfirmForm->ShowList(QRect());
                area = rig.screens->ConfirmForm->control<QScrollArea>(QStringLiteral("ScrollBox"));
            } else {
                rig.screens->ResultForm->show();
                area = rig.screens->ResultForm->control<tovalo::ui::ResultGrid>(
                    QStringLiteral("StringGrid1"));
            }
            QVERIFY(QTest::qWaitForWindowExposed(area->window()));
            QVERIFY2(area->verticalScrollBar()->isVisible() == c.bar,
                     qPrintable(QStringLiteral("%1 of %2 questions: scroll bar %3")
                                    .arg(c.review ? "review list" : "result grid")
                                    .arg(c.questions)
                                    .arg(c.bar ? "missing" : "shown")));
            area->window()->hide();
        }
    }

    // Titles in the side column of the exam and result screens break
    // between words, never inside one, and every line fits its box.
    void sideTitlesBreakBetweenWords() {
        struct Case {
            const char* vendor;
            const char* course;
            QStringList words;
        };
        for (const Case& c :
             {Case{"nexa", "NXA-330", {"NXA-330", "クラウド移行設計", "ケーススタディ"}},
              Case{"sorane", "SRL-240", {"SRL-240", "Linuxサーバー管理", "エキスパート"}}}) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            rig.drawExam(c.vendor, c.course, 10, 30);
            rig.screens->GenericMBForm->startExam();
            QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
            rig.screens->ExamModeForm->hide();
            rig.screens->ResultForm->show();
            for (const QLabel* box :
                 {rig.screens->ExamModeForm->control<QLabel>(QStringLiteral("TitleBox")),
                  rig.screens->ResultForm->control<QLabel>(QStringLiteral("Memo2"))}) {
                const QStringList lines = laidOutLines(box);
                const QString where = QStringLiteral("%1 %2: %3")
                                          .arg(QLatin1String(c.course), box->objectName(),
                                               lines.join(QLatin1Char('/')));
                const QFontMetrics metrics(box->font());
                QVERIFY2(lines.size() * metrics.lineSpacing() <= box->contentsRect().height(),
                         qPrintable(where));
                for (const QString& line : lines) {
                    QVERIFY2(metrics.horizontalAdvance(line) <= box->contentsRect().width(),
                             qPrintable(where));
                    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                        QVERIFY2(c.words.contains(word), qPrintable(where));
                    }
                }
            }
            rig.screens->ResultForm->hide();
        }
    }

    // The advisor's category view has one background, the course view's:
    // no strip of another colour below the categories or at the right.
    void advisorCategoryViewHasOneBackground() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 10, 30);
        tovalo::ui::TStudyForm* advisor = rig.screens->StudyForm;
        advisor->show();
        QVERIFY(QTest::qWaitForWindowExposed(advisor));
        auto* list = advisor->control<QScrollArea>(QStringLiteral("ScrollBox1"))->viewport();
        const QColor background =
            list->grab().toImage().pixelColor(list->width() - 3, list->height() - 3);
        advisor->openCourse(1);
        auto* slide = advisor->control<QTimer>(QStringLiteral("Timer1"));
        for (int i = 0; i < 200 && slide->isActive(); ++i) {
            advisor->Timer1Timer();
        }
        auto* detail = advisor->control<QScrollArea>(QStringLiteral("ScrollBox2"));
        QVERIFY(detail->isVisible());
        // Inside the box's focus frame.
        const QImage shown = detail->viewport()->grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        const int drawn = qRound((detail->widget()->height() - 2) * ratio);
        const int rightStrip = qRound(24 * ratio);
        // Below the last category and down the right edge.
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (y < drawn && x < shown.width() - rightStrip) {
                    continue;
                }
                QVERIFY2(shown.pixelColor(x, y) == background,
                         qPrintable(QStringLiteral("%1 at %2,%3 in a view %4×%5")
                                        .arg(shown.pixelColor(x, y).name())
                                        .arg(x)
                                        .arg(y)
                                        .arg(shown.width())
                                        .arg(shown.height())));
            }
        }
    }
};

QTEST_MAIN(ScreenDetails)
#include "tst_screen_details.moc"
