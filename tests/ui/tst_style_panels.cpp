// The panel windows (styles 4 and 6) and their Views, opened from the exam
// screen's style button and answered with real mouse and key events. What
// the learner sees is read from the painted pixels.

#include <QFile>
#include <QLabel>
#include <QtTest>

#include "style_rig.h"
#include "ui/styles/TfrmSelStyle4.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle6.h"
#include "ui/styles/TfrmSelStyle6View.h"

using tovalo::AnswerStyle;
using tovalo::ui::ImageButton;
using tovalo::ui::ScreenForm;
using tovalo::ui::TExamModeForm;
using namespace style_rig;

namespace {

// The server-tier question of NXS-210 (style 4): three slots, four pieces,
// the fourth one left over.
const QRect kTierSlot[] = {{80, 96, 130, 46}, {250, 96, 130, 46}, {420, 96, 130, 46}};
const QRect kTierPiece[] = {
    {20, 214, 130, 46}, {165, 214, 130, 46}, {310, 214, 130, 46}, {455, 214, 130, 46}};
const char* const kTierAnswer =
    "@80,96,210,142;20,214,150,260@250,96,380,142;165,214,295,260@420,96,550,142;310,214,440,260";

// The subnet question of NXA-330 (style 6): slots S1..S4, pieces LB, WEB,
// WEB, DB and BAS.
const QRect kSubnetSlot[] = {
    {262, 67, 116, 40}, {150, 147, 116, 40}, {374, 147, 116, 40}, {262, 227, 116, 40}};
const QRect kSubnetPiece[] = {{12, 330, 116, 40},
                              {136, 330, 116, 40},
                              {260, 330, 116, 40},
                              {384, 330, 116, 40},
                              {508, 330, 116, 40}};

// The zone question of KSE-100 (style 6): slots D1, D2, I1, I2, pieces
// DMZ, LAN, DMZ, LAN.
const QRect kZoneSlot[] = {
    {240, 86, 130, 40}, {420, 86, 130, 40}, {240, 186, 130, 40}, {420, 186, 130, 40}};
const QRect kZonePiece[] = {
    {14, 284, 146, 40}, {166, 284, 146, 40}, {318, 284, 146, 40}, {470, 284, 146, 40}};

// A sample question of a panel style: the course holding it and its style.
struct PanelQuestion {
    const char* vendor;
    const char* course;
    int count;
    AnswerStyle style;
};
const PanelQuestion kTierQuestion{"nexa", "NXS-210", 16, AnswerStyle::Panel};
const PanelQuestion kSubnetQuestion{"nexa", "NXA-330", 10, AnswerStyle::PanelSecond};
const PanelQuestion kZoneQuestion{"kumo", "KSE-100", 12, AnswerStyle::PanelSecond};

struct OpenedPanel {
    TExamModeForm* exam;
    ScreenForm* window;
};

// Starts an exam on `question` and opens its panel window with the style button.
OpenedPanel openPanelWindow(ExamRig& rig, const PanelQuestion& question,
                            const Mutation& mutate = {}) {
    TExamModeForm* exam =
        openQuestion(rig, question.vendor, question.course, question.count, question.style, mutate);
    clickStyleButton(exam, question.style);
    ScreenForm* window = question.style == AnswerStyle::Panel
                             ? static_cast<ScreenForm*>(rig.screens->frmSelStyle4)
                             : static_cast<ScreenForm*>(rig.screens->frmSelStyle6);
    return {exam, window};
}

// The window answered right: the exam screen marks the answer slot.
bool markedRight(ExamRig& rig, TExamModeForm* exam) {
    return rig.session->exam.styleSolved() &&
           exam->marks() == markedSlot(rig.session->exam.handoff().answerSlot);
}

bool leftWrong(ExamRig& rig, TExamModeForm* exam) {
    return !rig.session->exam.styleSolved() && exam->marks() == markedSlot(0);
}

// The question's data lines a, b and c replaced by these lists, each of
// which begins with its first item's "@".
Mutation panelLines(const std::string& a, const std::string& b, const std::string& c) {
    return [=](tovalo::ExamQuestion& q) {
        q.ShownChoice[0] = "a" + a;
        q.ShownChoice[1] = "b" + b;
        q.ShownChoice[2] = "c" + c;
    };
}

QImage figure(ExamRig& rig, const QString& relative) {
    return QImage(rig.path(QStringLiteral("QDAT/") + relative), "BMP")
        .convertToFormat(QImage::Format_RGB32);
}

QImage shot(QWidget* window) {
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The window shows the picture's `piece` with its top-left at `at`. The top
// `skipTop` rows are left out where the keys' slot numbers may cover them.
bool drawnAt(QWidget* window, const QImage& picture, const QRect& piece, QPoint at,
             int skipTop = 0) {
    const QImage painted = shot(window);
    for (int y = skipTop; y < piece.height(); ++y) {
        for (int x = 0; x < piece.width(); ++x) {
            if (painted.pixel(at.x() + x, at.y() + y) !=
                picture.pixel(piece.x() + x, piece.y() + y)) {
                return false;
            }
        }
    }
    return true;
}

bool allWhite(QWidget* window, const QRect& area) {
    const QImage painted = shot(window);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (painted.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

// Drags with the mouse on the picture: pressed at `from`, moved in two
// steps to `to`, released there.
void mouseDrag(QWidget* surface, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(surface, button, {}, from);
    QTest::mouseMove(surface, from + (to - from) / 2);
    QTest::mouseMove(surface, to);
    QTest::mouseRelease(surface, button, {}, to);
}

// Drags `piece`, wherever it stands now, so that its top-left lands on `target`.
void dragPiece(QWidget* surface, QPoint pieceAt, QPoint target,
               Qt::MouseButton button = Qt::LeftButton) {
    const QPoint grip(30, 20);
    mouseDrag(surface, pieceAt + grip, target + grip, button);
}

QString answerString(ScreenForm* window) {
    return window->control<QLabel>(QStringLiteral("Label2"))->text();
}

void clickAnswer(ScreenForm* window) {
    auto* button = window->control<ImageButton>(QStringLiteral("Button1"));
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

}  // namespace

class TestStylePanels : public QObject {
    Q_OBJECT

  private slots:
    void windowShowsThePictureWithItsPiecesCutOut() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kTierQuestion);
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tovalo パネル表示"));
        QCOMPARE(window->size(), QSize(600, 290 + 65));
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        QCOMPARE(surface->geometry(), QRect(0, 0, 600, 290));
        auto* button = window->control<QWidget>(QStringLiteral("Button1"));
        QVERIFY(button->geometry().top() >= 290);
        QVERIFY(window->rect().contains(button->geometry()));
        auto* expected = window->control<QLabel>(QStringLiteral("Label1"));
        QCOMPARE(expected->text(), QString::fromUtf8(kTierAnswer));
        QVERIFY(!expected->isVisible());
        QVERIFY(!window->control<QWidget>(QStringLiteral("Label2"))->isVisible());
        QCOMPARE(surface->accessibleName(), QStringLiteral("パネルを配置する図"));
        QCOMPARE(button->accessibleName(), QStringLiteral("解答する"));

        const QImage picture = figure(rig, QStringLiteral("nexa/img/nxs_3tier.bmp"));
        QVERIFY(!picture.isNull());
        for (const QRect& piece : kTierPiece) {
            QVERIFY(drawnAt(window, picture, piece, piece.topLeft()));
        }
        // The slots show the picture's own drawing until a piece comes.
        QVERIFY(drawnAt(window, picture, kTierSlot[0], kTierSlot[0].topLeft()));
        QVERIFY(!drawnAt(window, picture, kTierPiece[0], kTierSlot[0].topLeft()));

        // A held piece follows the pointer and leaves a white hole where
        // it was cut out; released far from every slot, it goes back.
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(500, 230));
        QTest::mouseMove(surface, QPoint(500, 200));
        QTest::mouseMove(surface, QPoint(500, 180));
        QVERIFY(allWhite(window, kTierPiece[3]));
        QVERIFY(drawnAt(window, picture, kTierPiece[3], kTierPiece[3].topLeft() - QPoint(0, 50)));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(500, 180));
        QVERIFY(drawnAt(window, picture, kTierPiece[3], kTierPiece[3].topLeft()));
        // The piece being dragged passes in front of the others.
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(40, 230));
        QTest::mouseMove(surface, QPoint(140, 230));
        QVERIFY(drawnAt(window, picture, kTierPiece[0], kTierPiece[0].topLeft() + QPoint(100, 0)));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(140, 230));
        QVERIFY(drawnAt(window, picture, kTierPiece[1], kTierPiece[1].topLeft()));
        QTest::keyClick(window, Qt::Key_Escape);
    }

    // Closer than 50 pixels across and 15 down the piece snaps into the
    // slot; at 50 or 15 it goes back. Any mouse button drags.
    void aPieceSnapsOnlyWithinTheSnapDistances() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kTierQuestion);
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        const QImage picture = figure(rig, QStringLiteral("nexa/img/nxs_3tier.bmp"));

        dragPiece(surface, kTierPiece[0].topLeft(), kTierSlot[0].topLeft() + QPoint(49, 14));
        QVERIFY(drawnAt(window, picture, kTierPiece[0], kTierSlot[0].topLeft()));
        QVERIFY(allWhite(window, kTierPiece[0]));

        dragPiece(surface, kTierPiece[1].topLeft(), kTierSlot[1].topLeft() + QPoint(50, 0));
        QVERIFY(drawnAt(window, picture, kTierPiece[1], kTierPiece[1].topLeft()));
        QVERIFY(drawnAt(window, picture, kTierSlot[1], kTierSlot[1].topLeft()));
        dragPiece(surface, kTierPiece[1].topLeft(), kTierSlot[1].topLeft() + QPoint(0, 15));
        QVERIFY(drawnAt(window, picture, kTierPiece[1], kTierPiece[1].topLeft()));
        dragPiece(surface, kTierPiece[1].topLeft(), kTierSlot[1].topLeft() + QPoint(-49, -14));
        QVERIFY(drawnAt(window, picture, kTierPiece[1], kTierSlot[1].topLeft()));

        dragPiece(surface, kTierPiece[2].topLeft(), kTierSlot[2].topLeft() + QPoint(0, -15),
                  Qt::RightButton);
        QVERIFY(drawnAt(window, picture, kTierPiece[2], kTierPiece[2].topLeft()));
        dragPiece(surface, kTierPiece[2].topLeft(), kTierSlot[2].topLeft() + QPoint(-5, 3),
                  Qt::RightButton);
        QVERIFY(drawnAt(window, picture, kTierPiece[2], kTierSlot[2].topLeft()));

        // Placed as the expected answer says: right, and the exam screen
        // marks the answer slot.
        clickAnswer(window);
        QVERIFY(!window->isVisible());
        QCOMPARE(answerString(window), QString::fromUtf8(kTierAnswer));
        QVERIFY(markedRight(rig, exam));

        // Opened again, the window starts over: every piece at its start,
        // and a wrong arrangement leaves no mark.
        clickStyleButton(exam, AnswerStyle::Panel);
        QCOMPARE(exam->marks(), markedSlot(0));
        for (const QRect& piece : kTierPiece) {
            QVERIFY(drawnAt(window, picture, piece, piece.topLeft()));
        }
        dragPiece(surface, kTierPiece[3].topLeft(), kTierSlot[0].topLeft());
        clickAnswer(window);
        QCOMPARE(answerString(window), QStringLiteral("@80,96,210,142;455,214,585,260"));
        QVERIFY(leftWrong(rig, exam));
    }

    // A piece dropped on a taken slot goes on to the next free slot in the
    // list that is also within reach, or back to its start; picking a piece
    // up frees its slot at once.
    void takenSlotsAndPickingUp() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        // Slots A and B lie 30 pixels apart, C far away.
        const std::string slotList = "@100,20,160,50@130,20,190,50@400,20,460,50";
        const std::string pieces = "@20,214,80,244@100,214,160,244@180,214,240,244";
        auto [exam, window] =
            openPanelWindow(rig, kTierQuestion,
                            panelLines("@100,20,160,50;20,214,80,244@130,20,190,50;100,214,160,244",
                                       slotList, pieces));
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        const QImage picture = figure(rig, QStringLiteral("nexa/img/nxs_3tier.bmp"));
        const QRect p1(20, 214, 60, 30), p2(100, 214, 60, 30), p3(180, 214, 60, 30);
        const QPoint a(100, 20), b(130, 20);

        dragPiece(surface, p1.topLeft(), a);
        QVERIFY(drawnAt(window, picture, p1, a));
        dragPiece(surface, p2.topLeft(), a + QPoint(2, 2));
        QVERIFY(drawnAt(window, picture, p2, b));
        // Piece 1 still sits in A, its right part under piece 2.
        QVERIFY(drawnAt(window, picture, p1.adjusted(0, 0, -30, 0), a));
        dragPiece(surface, p3.topLeft(), a);
        QVERIFY(drawnAt(window, picture, p3, p3.topLeft()));

        // Lifted out of A and dropped a little off, piece 1 snaps back into
        // A: the slot was free while the piece was held. Now in front, it
        // covers piece 2's left half.
        mouseDrag(surface, a + QPoint(10, 10), a + QPoint(20, 15));
        QVERIFY(drawnAt(window, picture, p1, a));
        QVERIFY(drawnAt(window, picture, p2.adjusted(30, 0, 0, 0), b + QPoint(30, 0)));
        QCOMPARE(window->control<QWidget>(QStringLiteral("Piece1"))->geometry(),
                 QRect(a, p1.size()));

        clickAnswer(window);
        QCOMPARE(answerString(window),
                 QStringLiteral("@100,20,160,50;20,214,80,244@130,20,190,50;100,214,160,244"));
        QVERIFY(rig.session->exam.styleSolved());

        // Piece 1 taken on from A to C leaves A free: piece 3, dropped on B,
        // goes to A, the first free slot in reach.
        clickStyleButton(exam, AnswerStyle::Panel);
        dragPiece(surface, p1.topLeft(), a);
        dragPiece(surface, a, QPoint(400, 20));
        QVERIFY(drawnAt(window, picture, p1, QPoint(400, 20)));
        dragPiece(surface, p3.topLeft(), b);
        QVERIFY(drawnAt(window, picture, p3, a));
        clickAnswer(window);
        QCOMPARE(answerString(window),
                 QStringLiteral("@100,20,160,50;180,214,240,244@400,20,460,50;20,214,80,244"));
        QVERIFY(!rig.session->exam.styleSolved());
    }

    // Style 6 answers with ids: an empty slot still names itself, and two
    // pieces with one id fill either of the slots that ask for it.
    void idsLetInterchangeablePiecesSwap() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kSubnetQuestion);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tovalo パネル表示"));
        QCOMPARE(window->size(), QSize(640, 400 + 65));
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        const QImage picture = figure(rig, QStringLiteral("nexa/img/nxa_subnets.bmp"));

        clickAnswer(window);
        QCOMPARE(answerString(window), QStringLiteral("@S1;@S2;@S3;@S4;"));
        QVERIFY(!rig.session->exam.styleSolved());

        clickStyleButton(exam, AnswerStyle::PanelSecond);
        // LB, then the second WEB into S2 and the first into S3, then DB.
        for (auto [piece, slot] : {std::pair{0, 0}, {2, 1}, {1, 2}, {3, 3}}) {
            dragPiece(surface, kSubnetPiece[piece].topLeft(), kSubnetSlot[slot].topLeft());
            QVERIFY(drawnAt(window, picture, kSubnetPiece[piece], kSubnetSlot[slot].topLeft()));
        }
        QVERIFY(drawnAt(window, picture, kSubnetPiece[4], kSubnetPiece[4].topLeft()));
        clickAnswer(window);
        QCOMPARE(answerString(window), QStringLiteral("@S1;LB@S2;WEB@S3;WEB@S4;DB"));
        QVERIFY(markedRight(rig, exam));
    }

    // Esc, like the close box, leaves the answer wrong however the pieces lie.
    void closingWithoutTheButtonLeavesTheAnswerWrong() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kTierQuestion);
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        for (int k = 0; k < 3; ++k) {
            dragPiece(surface, kTierPiece[k].topLeft(), kTierSlot[k].topLeft());
        }
        typeKey(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QVERIFY(leftWrong(rig, exam));

        clickStyleButton(exam, AnswerStyle::Panel);
        for (int k = 0; k < 3; ++k) {
            dragPiece(surface, kTierPiece[k].topLeft(), kTierSlot[k].topLeft());
        }
        window->close();
        QVERIFY(leftWrong(rig, exam));
    }

    // Without a mouse: Tab chooses a piece, a digit or the arrows the slot,
    // Enter puts the piece there.
    void keyboardAloneAnswersStyleFour() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kTierQuestion);
        const QImage picture = figure(rig, QStringLiteral("nexa/img/nxs_3tier.bmp"));
        const auto focused = [] { return QApplication::focusWidget()->accessibleName(); };
        QCOMPARE(focused(), QStringLiteral("パネル 1"));

        // The focused piece wears a ring just outside its edge.
        const QImage ringed = shot(window);
        const QPoint outside = kTierPiece[0].topLeft() + QPoint(40, -3);
        QVERIFY(qBlue(ringed.pixel(outside)) > 150 && qRed(ringed.pixel(outside)) < 100);
        QVERIFY(picture.pixel(outside) != ringed.pixel(outside));
        // A click gives the ring up while the mouse is in use; the next key
        // brings it back.
        auto* surface = window->control<QWidget>(QStringLiteral("Image1"));
        QTest::mouseClick(surface, Qt::LeftButton, {}, kTierPiece[0].center());
        QCOMPARE(shot(window).pixel(outside), picture.pixel(outside));
        QCOMPARE(focused(), QStringLiteral("パネル 1"));

        typeKey(Qt::Key_1);
        QCOMPARE(shot(window).pixel(outside), ringed.pixel(outside));
        // The picked slot is outlined.
        const QRgb edge = shot(window).pixel(kTierSlot[0].topLeft() + QPoint(60, -1));
        QVERIFY(qRed(edge) > 180 && qBlue(edge) < 100);
        typeKey(Qt::Key_Return);
        QVERIFY(drawnAt(window, picture, kTierPiece[0], kTierSlot[0].topLeft(), 20));
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(), QStringLiteral("配置先 1"));

        typeKey(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("パネル 2"));
        typeKey(Qt::Key_Right);  // slot 1
        typeKey(Qt::Key_Right);  // slot 2
        typeKey(Qt::Key_Return);
        QVERIFY(drawnAt(window, picture, kTierPiece[1], kTierSlot[1].topLeft(), 20));

        // A piece sent to a taken slot with no free one in reach stays put.
        typeKey(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("パネル 3"));
        typeKey(Qt::Key_2);
        typeKey(Qt::Key_Return);
        QVERIFY(drawnAt(window, picture, kTierPiece[2], kTierPiece[2].topLeft(), 20));
        typeKey(Qt::Key_Left);  // from nothing picked to the last slot
        typeKey(Qt::Key_Enter);
        QVERIFY(drawnAt(window, picture, kTierPiece[2], kTierSlot[2].topLeft(), 20));

        // Past the last piece the focus reaches the button, and back.
        typeKey(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("パネル 4"));
        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->control<QWidget>(QStringLiteral("Button1")));
        typeKey(Qt::Key_Backtab);
        QCOMPARE(focused(), QStringLiteral("パネル 4"));
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Space);
        QVERIFY(!window->isVisible());
        QVERIFY(markedRight(rig, exam));
    }

    void keyboardAloneAnswersStyleSix() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        auto [exam, window] = openPanelWindow(rig, kZoneQuestion);
        const QImage picture = figure(rig, QStringLiteral("kumo/img/kse_zones.bmp"));
        QCOMPARE(window->size(), QSize(620, 340 + 65));

        // DMZ, LAN, DMZ, LAN into D1, I1, D2, I2.
        const int slotOf[] = {1, 3, 2, 4};
        for (int k = 0; k < 4; ++k) {
            if (k > 0) {
                typeKey(Qt::Key_Tab);
            }
            QCOMPARE(QApplication::focusWidget()->accessibleName(),
                     QStringLiteral("パネル %1").arg(k + 1));
            typeKey(static_cast<Qt::Key>(Qt::Key_0 + slotOf[k]));
            typeKey(Qt::Key_Return);
            QVERIFY(
                drawnAt(window, picture, kZonePiece[k], kZoneSlot[slotOf[k] - 1].topLeft(), 20));
        }
        // Delete takes the last one back to its start; the slot stays empty.
        typeKey(Qt::Key_Delete);
        QVERIFY(drawnAt(window, picture, kZonePiece[3], kZonePiece[3].topLeft(), 20));
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Return);
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(answerString(window), QStringLiteral("@D1;DMZ@D2;DMZ@I1;LAN@I2;"));

        clickStyleButton(exam, AnswerStyle::PanelSecond);
        for (int k = 0; k < 4; ++k) {
            if (k > 0) {
                typeKey(Qt::Key_Tab);
            }
            typeKey(static_cast<Qt::Key>(Qt::Key_0 + slotOf[k]));
            typeKey(Qt::Key_Return);
        }
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Return);
        QVERIFY(markedRight(rig, exam));
    }

    // The Views put the pieces where the expected answer says and let none move.
    void viewsShowTheExpectedPlaces() {
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Panel);
            auto* view = rig.screens->frmSelStyle4View;
            view->show();
            QVERIFY(QTest::qWaitForWindowActive(view));
            QCOMPARE(view->windowTitle(), QStringLiteral("Tovalo 正解パネル表示"));
            QCOMPARE(view->size(), QSize(600, 290 + 65));
            const QImage picture = figure(rig, QStringLiteral("nexa/img/nxs_3tier.bmp"));
            for (int k = 0; k < 3; ++k) {
                QVERIFY(drawnAt(view, picture, kTierPiece[k], kTierSlot[k].topLeft()));
            }
            QVERIFY(drawnAt(view, picture, kTierPiece[3], kTierPiece[3].topLeft()));
            auto* surface = view->control<QWidget>(QStringLiteral("Image1"));
            dragPiece(surface, kTierPiece[3].topLeft(), kTierSlot[0].topLeft());
            QVERIFY(drawnAt(view, picture, kTierPiece[3], kTierPiece[3].topLeft()));
            QVERIFY(drawnAt(view, picture, kTierPiece[0], kTierSlot[0].topLeft()));
            auto* button = view->control<ImageButton>(QStringLiteral("Button1"));
            QCOMPARE(button->accessibleName(), QStringLiteral("閉じる"));
            QCOMPARE(QApplication::focusWidget(), button);
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            QVERIFY(!view->isVisible());
        }
        {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            openQuestion(rig, "nexa", "NXA-330", 10, AnswerStyle::PanelSecond);
            auto* view = rig.screens->frmSelStyle6View;
            view->show();
            QCOMPARE(view->windowTitle(), QStringLiteral("Tovalo 正解パネル表示"));
            const QImage picture = figure(rig, QStringLiteral("nexa/img/nxa_subnets.bmp"));
            // One WEB piece in each of the two slots that ask for WEB.
            for (auto [piece, slot] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 3}}) {
                QVERIFY(drawnAt(view, picture, kSubnetPiece[piece], kSubnetSlot[slot].topLeft()));
            }
            QVERIFY(drawnAt(view, picture, kSubnetPiece[4], kSubnetPiece[4].topLeft()));
            QTest::keyClick(view, Qt::Key_Escape);
            QVERIFY(!view->isVisible());
        }
    }

    // Data lines the windows cannot use: a note says which, and the answer
    // can never be right.
    void brokenDataIsSaidAndNeverRight() {
        std::string many;
        for (int i = 0; i < 101; ++i) {
            many += "@" + std::to_string(i) + ",0," + std::to_string(i + 5) + ",5";
        }
        const std::string slotList = "@80,96,210,142";
        const std::string pieces = "@20,214,150,260";
        const std::string answer = "@80,96,210,142;20,214,150,260";
        const struct {
            Mutation mutate;
            QString line;
        } cases[] = {
            {panelLines(answer, slotList, "@20,214,150"), QStringLiteral("c@ の行")},
            {panelLines(answer, "@80,96,x,142", pieces), QStringLiteral("b@ の行")},
            {panelLines(answer, many, pieces), QStringLiteral("b@ の行")},
            {[](tovalo::ExamQuestion& q) { q.ShownChoice[0] = "Null"; }, QStringLiteral("a@ の行")},
        };
        for (const auto& c : cases) {
            ExamRig rig;
            QVERIFY(rig.start().ok());
            auto [exam, window] = openPanelWindow(rig, kTierQuestion, c.mutate);
            auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
            QVERIFY(note->isVisible());
            QVERIFY2(note->text().contains(c.line), qPrintable(note->text()));
            QVERIFY(!window->control<QWidget>(QStringLiteral("Image1"))->isVisible());
            auto* button = window->control<QWidget>(QStringLiteral("Button1"));
            QVERIFY(window->rect().contains(note->geometry()));
            QVERIFY(!note->geometry().intersects(button->geometry()));
            clickAnswer(window);
            QVERIFY(!window->isVisible());
            QVERIFY(leftWrong(rig, exam));
        }
    }

    // A picture that is no bitmap, whatever its name: a note names the file.
    void unreadablePictureIsSaid() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        QFile bitmap(rig.path(QStringLiteral("QDAT/nexa/img/nxs_3tier.bmp")));
        QVERIFY(bitmap.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bitmap.write("GIF89a not a bitmap");
        bitmap.close();
        auto [exam, window] = openPanelWindow(rig, kTierQuestion);
        auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().contains(QStringLiteral("nxs_3tier.bmp")), qPrintable(note->text()));
        QVERIFY(!window->control<QWidget>(QStringLiteral("Image1"))->isVisible());
        clickAnswer(window);
        QVERIFY(!rig.session->exam.styleSolved());

        // The view of the same question says so too.
        auto* view = rig.screens->frmSelStyle4View;
        view->show();
        QVERIFY(view->control<QLabel>(QStringLiteral("DefectNote"))->isVisible());
        view->close();
    }
};

QTEST_MAIN(TestStylePanels)
#include "tst_style_panels.moc"
