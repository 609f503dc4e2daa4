// The graphic window and its view, opened from the exam screen, and the
// click picture inside the exam screen, answered with real mouse and key
// events.

#include <QLabel>
#include <QScrollArea>
#include <QtTest>
#include <string>
#include <vector>

#include "style_rig.h"
#include "ui/styles/TfrmSelStyle3.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/qt_convert.h"

using tovalo::AnswerStyle;
using tovalo::ui::ImageButton;
using tovalo::ui::qs;
using tovalo::ui::TExamModeForm;
using namespace style_rig;

namespace {

// The figures of the sample questions the tests draw.
const QSize kBays(640, 270);      // NXS-210, graphic
const QSize kRackRear(480, 236);  // NXS-210, click picture

// The exam screen on the sample question of `style` of a course that has
// both picture styles, changed by `mutate` when given.
TExamModeForm* sampleQuestion(ExamRig& rig, AnswerStyle style, const Mutation& mutate = {}) {
    return openQuestion(rig, "nexa", "NXS-210", 16, style, mutate);
}

// A question whose data lines, from slot 1, are `lines`.
Mutation dataLines(const std::vector<std::string>& lines) {
    return [=](tovalo::ExamQuestion& q) {
        for (std::size_t k = 0; k < q.ShownChoice.size(); ++k) {
            q.ShownChoice[k] = k < lines.size() ? lines[k] : std::string();
        }
    };
}

// Two zones side by side with a gap of 3 pixels: a press on a mark in a's
// right part lands in b.
Mutation twoZones() {
    return dataLines({"a@40,40,100,100", "b@104,40,160,100"});
}

QWidget* mark(QWidget* window, int k) {
    return window->findChild<QWidget*>(QStringLiteral("CsrImg%1").arg(k));
}

// The numbers of the mark pictures on show.
QList<int> shownMarks(QWidget* window) {
    QList<int> shown;
    for (int k = 1; k <= 5; ++k) {
        if (QWidget* m = mark(window, k); m != nullptr && m->isVisible()) {
            shown << k;
        }
    }
    return shown;
}

// Where a mark picture points, in the coordinates of `picture`: the
// graphic window centres its 32 × 32 marks on the point, the click picture
// puts the pointer's tip there.
QPoint centreOn(QWidget* picture, QWidget* m) {
    return m->pos() + QPoint(16, 16) - picture->pos();
}
QPoint tipOn(QWidget* picture, QWidget* m) {
    return m->pos() - picture->pos();
}

void press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(w, button, {}, at);
}

bool near(QColor a, QColor b, int tolerance = 40) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// The first figure name of the question becomes `name`.
Mutation figureNamed(const std::string& name) {
    return [=](tovalo::ExamQuestion& q) {
        const std::string tag = "<INCLUDE IMG>@";
        const auto at = q.QuesText.find(tag);
        QVERIFY(at != std::string::npos);
        const auto from = at + tag.size();
        const auto end = q.QuesText.find_first_of("@\r\n", from);
        q.QuesText.replace(from, end - from, name);
    };
}

// Tabs from the exam screen's current focus until `target` has it.
bool tabTo(QWidget* target) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
        typeKey(Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

}  // namespace

class TestStyleGraphic : public QObject {
    Q_OBJECT

  private slots:
    // As many marks as zones; the right button frees a mark, and the next
    // press takes the lowest free number; two marks in one zone are wrong.
    void graphicWindowPlacesAsManyMarksAsZones() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::Graphic,
                                             dataLines({"a@40,40,100,100", "b@200,40,260,100"}));
        auto* window = rig.screens->frmSelStyle3;
        clickStyleButton(exam, AnswerStyle::Graphic);
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tovalo グラフィック表示"));
        QCOMPARE(window->size(), kBays + QSize(10, 65));
        auto* picture = window->control<QWidget>(QStringLiteral("DestImg"));
        QCOMPARE(picture->size(), kBays);
        QCOMPARE(QApplication::focusWidget(), picture);
        auto* button = window->control<ImageButton>(QStringLiteral("Button1"));
        QVERIFY(window->rect().contains(button->geometry()));
        QVERIFY(button->y() >= picture->geometry().bottom());
        QVERIFY(shownMarks(window).isEmpty());

        press(picture, {50, 50});
        press(picture, {220, 60});
        QCOMPARE(shownMarks(window), (QList<int>{1, 2}));
        QCOMPARE(centreOn(picture, mark(window, 1)), QPoint(50, 50));
        QCOMPARE(centreOn(picture, mark(window, 2)), QPoint(220, 60));
        press(picture, {70, 70});  // a third mark for two zones: ignored
        QCOMPARE(shownMarks(window), (QList<int>{1, 2}));

        press(mark(window, 1), {16, 16}, Qt::RightButton);
        QCOMPARE(shownMarks(window), (QList<int>{2}));
        press(picture, {230, 80});
        QCOMPARE(shownMarks(window), (QList<int>{1, 2}));
        QCOMPARE(centreOn(picture, mark(window, 1)), QPoint(230, 80));

        // Both marks in zone b, none in a.
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));

        // The next showing starts without marks.
        clickStyleButton(exam, AnswerStyle::Graphic);
        QVERIFY(shownMarks(window).isEmpty());
    }

    // A press exactly on a zone's border misses it; a left press on a mark
    // is a press on the picture under it, and a right answer marks the
    // answer slot.
    void graphicWindowJudgesStrictlyInside() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::Graphic, twoZones());
        auto* window = rig.screens->frmSelStyle3;
        const int answerSlot = rig.session->exam.handoff().answerSlot;
        QCOMPARE(answerSlot, 1);
        clickStyleButton(exam, AnswerStyle::Graphic);
        auto* picture = window->control<QWidget>(QStringLiteral("DestImg"));
        auto* button = window->control<ImageButton>(QStringLiteral("Button1"));

        press(picture, {40, 70});  // on a's left edge
        press(picture, {130, 70});
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));

        clickStyleButton(exam, AnswerStyle::Graphic);
        press(picture, {96, 70});
        // The mark's right part covers (108, 70), which is in b.
        press(mark(window, 1), {28, 16});
        QCOMPARE(shownMarks(window), (QList<int>{1, 2}));
        QCOMPARE(centreOn(picture, mark(window, 2)), QPoint(108, 70));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(answerSlot));
    }

    // Esc, like the close box, leaves a right answer unrecorded.
    void closingWithoutTheButtonLeavesTheAnswerWrong() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::Graphic, twoZones());
        auto* window = rig.screens->frmSelStyle3;
        for (bool byEsc : {true, false}) {
            clickStyleButton(exam, AnswerStyle::Graphic);
            auto* picture = window->control<QWidget>(QStringLiteral("DestImg"));
            press(picture, {70, 70});
            press(picture, {130, 70});
            if (byEsc) {
                typeKey(Qt::Key_Escape);
            } else {
                window->close();
            }
            QVERIFY(!window->isVisible());
            QVERIFY(!rig.session->exam.styleSolved());
            QCOMPARE(exam->marks(), markedSlot(0));
        }
    }

    // Without a mouse: the crosshair, Space and Enter, Delete and
    // Backspace, then Tab to the button.
    void graphicWindowFromTheKeyboard() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // The crosshair starts in the middle of the picture, (320, 135).
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::Graphic,
                                             dataLines({"a@300,120,340,150", "b@380,120,420,150"}));
        auto* window = rig.screens->frmSelStyle3;
        clickStyleButton(exam, AnswerStyle::Graphic);
        auto* picture = window->control<QWidget>(QStringLiteral("DestImg"));
        QCOMPARE(QApplication::focusWidget(), picture);
        const QImage figure = tovalo::ui::readFigure(qs(rig.session->exam.handoff().pictures[0]));

        // The crosshair is drawn where a mark would go, and follows the arrows.
        const QColor amber(255, 200, 40);
        QVERIFY(near(picture->grab().toImage().pixelColor(327, 135), amber));
        QVERIFY(!near(figure.pixelColor(327, 135), amber));
        typeKey(Qt::Key_Space);
        QCOMPARE(centreOn(picture, mark(window, 1)), QPoint(320, 135));
        for (int i = 0; i < 3; ++i) {
            typeKey(Qt::Key_Right, Qt::ShiftModifier);
        }
        typeKey(Qt::Key_Down);
        const QImage moved = picture->grab().toImage();
        QVERIFY(near(moved.pixelColor(392 + 7, 139), amber));
        QVERIFY(!near(moved.pixelColor(327, 135), amber));
        typeKey(Qt::Key_Return);
        QCOMPARE(centreOn(picture, mark(window, 2)), QPoint(392, 139));

        typeKey(Qt::Key_Delete);
        QCOMPARE(shownMarks(window), (QList<int>{1}));
        typeKey(Qt::Key_Backspace);
        QVERIFY(shownMarks(window).isEmpty());
        typeKey(Qt::Key_Enter, Qt::KeypadModifier);  // at (392, 139), in b
        for (int i = 0; i < 18; ++i) {
            typeKey(Qt::Key_Left);
        }
        typeKey(Qt::Key_Space);  // at (320, 139), in a
        QCOMPARE(shownMarks(window), (QList<int>{1, 2}));

        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->control<QWidget>(QStringLiteral("Button1")));
        typeKey(Qt::Key_Space);
        QVERIFY(!window->isVisible());
        QVERIFY(rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(rig.session->exam.handoff().answerSlot));
    }

    // The click picture: the recorded answer follows every change of the
    // marks.
    void clickPictureAnswerFollowsTheMarks() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::ClickPicture,
                                             dataLines({"a@40,40,100,100", "b@200,40,260,100"}));
        const tovalo::ExamProgress& progress = rig.session->exam.engine().progress();
        const auto solvedMarks = markedSlot(rig.session->exam.handoff().answerSlot);
        auto* picture = exam->control<QWidget>(QStringLiteral("Image_Type8"));
        QVERIFY(picture->isVisible());
        QCOMPARE(picture->size(), kRackRear);
        QVERIFY(exam->control<QLabel>(QStringLiteral("Type8Hint"))->isVisible());
        QVERIFY(!picture->accessibleName().isEmpty());

        press(picture, {70, 70});
        QCOMPARE(shownMarks(exam), (QList<int>{1}));
        QCOMPARE(tipOn(picture, mark(exam, 1)), QPoint(70, 70));
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));
        press(picture, {220, 70});
        QVERIFY(rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), solvedMarks);

        // Right on a mark: that mark goes, and the answer with it.
        press(mark(exam, 2), {4, 4}, Qt::RightButton);
        QCOMPARE(shownMarks(exam), (QList<int>{1}));
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));

        // A left press on a mark is a press on the picture at that point.
        press(mark(exam, 1), {20, 10});
        QCOMPARE(tipOn(picture, mark(exam, 2)), QPoint(90, 80));
        QVERIFY(!rig.session->exam.styleSolved());  // both in a
        press(picture, {5, 5}, Qt::RightButton);
        QCOMPARE(shownMarks(exam), (QList<int>{1}));

        // Right on the picture takes off the latest mark, whatever its number.
        press(picture, {220, 70});  // mark 2, in b
        QCOMPARE(exam->marks(), solvedMarks);
        press(mark(exam, 1), {4, 4}, Qt::RightButton);
        press(picture, {41, 99});  // mark 1 again, the latest, just inside a
        QCOMPARE(exam->marks(), solvedMarks);
        press(picture, {300, 200}, Qt::RightButton);
        QCOMPARE(shownMarks(exam), (QList<int>{2}));
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));

        // On a's edge does not count.
        press(picture, {100, 70});
        QCOMPARE(shownMarks(exam), (QList<int>{1, 2}));
        QCOMPARE(exam->marks(), markedSlot(0));

        // The recorded answer goes with the exam: solved, moving on keeps it.
        press(picture, {300, 200}, Qt::RightButton);
        press(picture, {99, 41});
        QCOMPARE(exam->marks(), solvedMarks);
        QTest::mouseClick(exam->control<ImageButton>(QStringLiteral("NextButton")), Qt::LeftButton);
        QCOMPARE(progress.CurrentIndex, 2);
        QCOMPARE(progress.Answer[0], solvedMarks);

        // Back on it, the answer stands without its marks; an undo on the
        // bare picture still takes it back.
        QTest::mouseClick(exam->control<ImageButton>(QStringLiteral("PrevButton")), Qt::LeftButton);
        QCOMPARE(progress.CurrentIndex, 1);
        QVERIFY(shownMarks(exam).isEmpty());
        QCOMPARE(exam->marks(), solvedMarks);
        press(picture, {300, 200}, Qt::RightButton);
        QCOMPARE(exam->marks(), markedSlot(0));
        QVERIFY(!rig.session->exam.styleSolved());
    }

    // Tab reaches the picture; while it has the focus the arrows, Space,
    // Enter and Backspace work on it, and elsewhere Enter and Backspace
    // still move between questions.
    void clickPictureFromTheKeyboard() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // The crosshair starts in the middle of the picture, (240, 118).
        TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::ClickPicture,
                                             dataLines({"a@220,100,260,140", "b@300,100,340,140"}));
        const tovalo::ExamProgress& progress = rig.session->exam.engine().progress();
        const auto solvedMarks = markedSlot(rig.session->exam.handoff().answerSlot);
        auto* picture = exam->control<QWidget>(QStringLiteral("Image_Type8"));
        QVERIFY(QTest::qWaitForWindowActive(exam));

        // A click on the picture does not take the focus from the keys of the exam.
        press(picture, {5, 5}, Qt::RightButton);
        QVERIFY(!picture->hasFocus());

        QVERIFY(tabTo(picture));
        typeKey(Qt::Key_Space);
        QCOMPARE(tipOn(picture, mark(exam, 1)), QPoint(240, 118));
        for (int i = 0; i < 3; ++i) {
            typeKey(Qt::Key_Right, Qt::ShiftModifier);
        }
        typeKey(Qt::Key_Return);
        QCOMPARE(tipOn(picture, mark(exam, 2)), QPoint(312, 118));
        QCOMPARE(progress.CurrentIndex, 1);
        QVERIFY(rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), solvedMarks);

        typeKey(Qt::Key_Backspace);
        QCOMPARE(shownMarks(exam), (QList<int>{1}));
        QCOMPARE(exam->marks(), markedSlot(0));
        typeKey(Qt::Key_Up);
        typeKey(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(tipOn(picture, mark(exam, 2)), QPoint(312, 114));
        typeKey(Qt::Key_Delete);
        typeKey(Qt::Key_Space);
        QCOMPARE(exam->marks(), solvedMarks);
        QCOMPARE(progress.CurrentIndex, 1);

        // Away from the picture, Enter is the next question again.
        QVERIFY(tabTo(exam->control<QWidget>(QStringLiteral("StickyNote"))));
        typeKey(Qt::Key_Return);
        QCOMPARE(progress.CurrentIndex, 2);
        QCOMPARE(progress.Answer[0], solvedMarks);
        typeKey(Qt::Key_Backspace);
        QCOMPARE(progress.CurrentIndex, 1);
    }

    // The view frames the sample question's zones in red on its picture.
    void viewFramesTheZonesInRed_data() {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("course");
        QTest::addColumn<int>("count");
        QTest::addColumn<AnswerStyle>("style");
        QTest::addColumn<QSize>("figure");
        QTest::addColumn<int>("zoneCount");
        QTest::newRow("graphic") << "nexa"
                                 << "NXS-210" << 16 << AnswerStyle::Graphic << kBays << 2;
        QTest::newRow("click picture, page course")
            << "sorane"
            << "SRL-240" << 13 << AnswerStyle::ClickPicture << QSize(600, 232) << 1;
    }
    void viewFramesTheZonesInRed() {
        QFETCH(QString, vendor);
        QFETCH(QString, course);
        QFETCH(int, count);
        QFETCH(AnswerStyle, style);
        QFETCH(QSize, figure);
        QFETCH(int, zoneCount);
        ExamRig rig;
        QVERIFY(rig.start().ok());
        openQuestion(rig, vendor.toStdString(), course.toStdString(), count, style);
        const std::vector<tovalo::PictureRect> zones = rig.session->exam.handoff().zones;
        QCOMPARE(static_cast<int>(zones.size()), zoneCount);
        const QImage shown = tovalo::ui::readFigure(qs(rig.session->exam.handoff().pictures[0]));
        QCOMPARE(shown.size(), figure);

        auto* view = rig.screens->frmSelStyle3View;
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QCOMPARE(view->windowTitle(), QStringLiteral("Tovalo 正解グラフィック表示"));
        QCOMPARE(view->size(), figure + QSize(10, 65));
        auto* picture = view->control<QWidget>(QStringLiteral("DestImg"));
        const QImage shot = view->grab().toImage();
        const QColor red(255, 0, 0);
        for (const tovalo::PictureRect& z : zones) {
            const QPoint o = picture->pos();
            const int midX = (z.x1 + z.x2) / 2;
            const int midY = (z.y1 + z.y2) / 2;
            for (QPoint edge :
                 {QPoint(z.x1, midY), QPoint(z.x2, midY), QPoint(midX, z.y1), QPoint(midX, z.y2)}) {
                QCOMPARE(shot.pixelColor(o + edge), red);
            }
            // Inside and outside, the picture itself.
            for (QPoint off :
                 {QPoint(z.x1 - 2, midY), QPoint(z.x1 + 4, midY + 5), QPoint(midX, z.y2 + 2)}) {
                QCOMPARE(shot.pixelColor(o + off), shown.pixelColor(off));
            }
        }
        QCOMPARE(QApplication::focusWidget(), view->control<QWidget>(QStringLiteral("Button1")));
        typeKey(Qt::Key_Space);
        QVERIFY(!view->isVisible());
    }

    // Broken data lines or an unreadable figure: a note in place of the
    // picture, and the question cannot be answered right.
    void brokenQuestionsAreSaid() {
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            TExamModeForm* exam = sampleQuestion(rig, AnswerStyle::Graphic,
                                                 dataLines({"a@40,40,100", "b@104,40,160,100"}));
            auto* window = rig.screens->frmSelStyle3;
            clickStyleButton(exam, AnswerStyle::Graphic);
            auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
            QVERIFY(note->isVisible());
            QVERIFY(note->text().contains(QStringLiteral("a@ の行")));
            QVERIFY(!window->control<QWidget>(QStringLiteral("DestImg"))->isVisible());
            typeKey(Qt::Key_Tab);
            typeKey(Qt::Key_Space);
            QVERIFY(!window->isVisible());
            QCOMPARE(exam->marks(), markedSlot(0));
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            TExamModeForm* exam =
                sampleQuestion(rig, AnswerStyle::Graphic, figureNamed("missing.jpg"));
            auto* window = rig.screens->frmSelStyle3;
            clickStyleButton(exam, AnswerStyle::Graphic);
            auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
            QVERIFY(note->isVisible());
            QCOMPARE(note->text(), QStringLiteral("この問題の図（missing.jpg）を読み込めないため、"
                                                  "解答できません。"));
            QVERIFY(!window->control<QWidget>(QStringLiteral("DestImg"))->isVisible());
        }
        {
            // A gap among the zones of a click picture.
            ExamRig rig;
            QVERIFY(rig.start().ok());
            TExamModeForm* exam =
                sampleQuestion(rig, AnswerStyle::ClickPicture,
                               dataLines({"a@40,40,100,100", "", "c@104,40,160,100"}));
            auto* note = exam->control<QLabel>(QStringLiteral("Type8Note"));
            QVERIFY(note->isVisible());
            QCOMPARE(note->text(), qs(tovalo::defectNote(*rig.session->exam.handoff().defect)));
            QVERIFY(note->text().contains(QStringLiteral("b@ の行")));
            QVERIFY(!exam->control<QWidget>(QStringLiteral("Image_Type8"))->isVisible());
            QVERIFY(!exam->control<QWidget>(QStringLiteral("Type8Hint"))->isVisible());
            QVERIFY(shownMarks(exam).isEmpty());
            // The note is laid out whole inside the answer panel's box.
            QVERIFY(note->parentWidget()->rect().contains(note->geometry()));
            QVERIFY(note->height() >= note->fontMetrics().height());
        }
    }
};

QTEST_MAIN(TestStyleGraphic)
#include "tst_style_graphic.moc"
