// The connect window, opened from the exam screen's style button and drawn
// on with real mouse and key events; what it shows is read from the pixels
// it paints.

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QtTest>

#include "style_rig.h"
#include "ui/styles/TfrmSelStyle7.h"
#include "ui/styles/TfrmSelStyle7View.h"
#include "ui/styles/connect_surface.h"

using tovalo::AnswerStyle;
using tovalo::ui::ConnectSurface;
using tovalo::ui::TExamModeForm;
using namespace style_rig;

namespace {

// NXA-330's connect question: panels 本社LAN (40,80)-(180,134), 支店LAN
// (40,214)-(180,268), クラウドVPC (460,80)-(600,134) and 利用者
// (460,214)-(600,268); connectors 専用線, IPsecVPN (both undirected), HTTPS
// and Telnet (directed), each 100 x 28, from (40,322) on, 20 apart.
enum NxaPanel { HeadOffice = 1, Branch, CloudVpc, Users };
enum NxaConnector { Leased = 1, IpsecVpn, Https, Telnet };

const QString kNxaPicture = QStringLiteral("QDAT/nexa/img/nxa_connect.bmp");

QImage shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The inside of a connector (its outline left out) as the question's
// picture has it, or inverted.
QImage connectorFace(const QImage& picture, int connector, bool inverted = false) {
    QImage face = picture.copy(41 + (connector - 1) * 120, 323, 98, 26);
    if (inverted) {
        face.invertPixels();
    }
    return face;
}

// The inside of the connector copy drawn with its top-left at `topLeft`.
QImage drawnFace(QWidget* surface, const QPoint& topLeft) {
    return shot(surface).copy(topLeft.x() + 1, topLeft.y() + 1, 98, 26);
}

bool outlinedAt(QWidget* surface, const QRect& r) {
    const QImage s = shot(surface);
    for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        if (s.pixel(corner) != qRgb(0, 0, 0)) {
            return false;
        }
    }
    return true;
}

// With TOVALO_STYLE_SHOTS naming a folder, the windows met on the way are
// saved there to be looked at.
void dump(QWidget* w, const char* name) {
    const QString dir = qEnvironmentVariable("TOVALO_STYLE_SHOTS");
    if (!dir.isEmpty()) {
        w->grab().save(QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".png")));
    }
}

// The left button at points of the surface: the press goes to the widget
// under the pointer there (a panel, a connector or the surface itself), and
// the moves and the release that follow go to that same widget, wherever
// it has moved, as the desktop hands them on.
class Pointer {
  public:
    explicit Pointer(QWidget* surface) : surface_(surface) {}
    void press(const QPoint& at, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* child = surface_->childAt(at);
        held_ = child != nullptr ? child : surface_;
        QTest::mousePress(held_, Qt::LeftButton, modifiers, held_->mapFrom(surface_, at));
    }
    void move(const QPoint& to) { QTest::mouseMove(held_, held_->mapFrom(surface_, to)); }
    void release(const QPoint& at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseRelease(held_, Qt::LeftButton, modifiers, held_->mapFrom(surface_, at));
        held_ = nullptr;
    }
    void click(const QPoint& at, Qt::KeyboardModifiers modifiers = {}) {
        press(at, modifiers);
        release(at, modifiers);
    }

  private:
    QWidget* surface_;
    QWidget* held_ = nullptr;
};

QImage readPicture(const ExamRig& rig, const QString& relative) {
    return QImage(rig.path(relative), "BMP").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestStyleConnect : public QObject {
    Q_OBJECT

    ExamRig* rig_ = nullptr;
    TExamModeForm* exam_ = nullptr;

    tovalo::ui::TfrmSelStyle7* openNxa(const Mutation& mutate = {}) {
        exam_ = openQuestion(*rig_, "nexa", "NXA-330", 10, AnswerStyle::Connect, mutate);
        clickStyleButton(exam_, AnswerStyle::Connect);
        return rig_->screens->frmSelStyle7;
    }

    QWidget* surface() { return rig_->screens->frmSelStyle7->control(QStringLiteral("Image1")); }
    QWidget* panel(int p) {
        return rig_->screens->frmSelStyle7->control(QStringLiteral("Panel%1").arg(p));
    }
    QWidget* connector(int c) {
        return rig_->screens->frmSelStyle7->control(QStringLiteral("Connector%1").arg(c));
    }

    void clickPanel(int p, bool shift = false) {
        Pointer(surface()).click(panel(p)->pos() + QPoint(30, 20),
                                 shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    void clickConnector(int c) { Pointer(surface()).click(connector(c)->pos() + QPoint(60, 14)); }
    void join(int first, int second, int via) {
        clickPanel(first);
        clickPanel(second, true);
        clickConnector(via);
    }
    // Whether panel p is shown inverted (selected): a pixel of its face,
    // away from the focus ring, against the picture.
    bool shownSelected(int p, const QImage& picture) {
        static const QPoint origins[] = {{40, 80}, {40, 214}, {460, 80}, {460, 214}};
        const QPoint inside(20, 20);
        const QRgb shown = shot(panel(p)).pixel(inside);
        const QRgb original = picture.pixel(origins[p - 1] + inside);
        const QRgb inverse = ~original | 0xff000000u;
        if (shown != original && shown != inverse) {
            QTest::qFail("the panel shows neither its face nor its inverse", __FILE__, __LINE__);
        }
        return shown == inverse;
    }

  private slots:
    void init() {
        rig_ = new ExamRig;
        QVERIFY(rig_->start().ok());
    }
    void cleanup() {
        delete rig_;
        rig_ = nullptr;
    }

    void windowIsBuiltFromTheQuestion() {
        auto* window = openNxa();
        dump(window, "nxa-open");
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tovalo コネクト表示"));
        QCOMPARE(window->size(), QSize(640, 380 + 115));
        QCOMPARE(surface()->geometry(), QRect(0, 0, 640, 380));
        const QStringList lines = {
            QStringLiteral("ドラッグして、任意の場所にオブジェクトを移動してください。"),
            QStringLiteral("オブジェクトをShiftキーを押すことにより2つ選択し、"),
            QStringLiteral("コネクト内容のオブジェクトをクリックしてください。"),
            QStringLiteral("コネクトを削除する場合は、コネクトオブジェクトを選択して"),
            QStringLiteral("Deleteキーを押してください。")};
        auto* button = window->control<QWidget>(QStringLiteral("Button5"));
        for (int i = 0; i < 5; ++i) {
            auto* label = window->control<QLabel>(QStringLiteral("Label%1").arg(i + 1));
            QCOMPARE(label->text(), lines[i]);
            QVERIFY(label->isVisible());
            QVERIFY(label->geometry().top() >= 380);
            QVERIFY(window->rect().contains(label->geometry()));
            QVERIFY(!label->geometry().intersects(button->geometry()));
        }
        QVERIFY(button->geometry().top() >= 380);
        QVERIFY(window->rect().contains(button->geometry()));
        // The arrow pictures are there but never shown.
        for (const char* name : {"LeftImg", "RightImg"}) {
            auto* arrow = window->control<QLabel>(QString::fromLatin1(name));
            QVERIFY(arrow != nullptr);
            QCOMPARE(arrow->pixmap().size(), QSize(18, 11));
            QVERIFY(!arrow->isVisible());
        }

        // The pieces are cut out where the lists say, each named for
        // assistive tools, and leave white on the picture behind them.
        QCOMPARE(panel(CloudVpc)->geometry(), QRect(460, 80, 140, 54));
        QCOMPARE(panel(CloudVpc)->accessibleName(), QStringLiteral("クラウドVPC"));
        QCOMPARE(connector(Https)->geometry(), QRect(280, 322, 100, 28));
        QCOMPARE(connector(Https)->accessibleName(), QStringLiteral("HTTPS"));
        QCOMPARE(connector(Https)->accessibleDescription(), QStringLiteral("キー 3"));
        QVERIFY(!surface()->accessibleName().isEmpty());
        QCOMPARE(button->accessibleName(), QStringLiteral("解答する"));
        const QImage picture = readPicture(*rig_, kNxaPicture);
        QVERIFY(!picture.isNull());
        panel(CloudVpc)->hide();
        QCOMPARE(shot(surface()).pixel(530, 107), qRgb(255, 255, 255));
        panel(CloudVpc)->show();
        // The connector has its black outline; away from its key badge it is the picture.
        QVERIFY(outlinedAt(connector(Https), connector(Https)->rect()));
        QCOMPARE(shot(connector(Https)).copy(30, 1, 68, 26), picture.copy(280 + 30, 323, 68, 26));
        QCOMPARE(QApplication::focusWidget(), panel(HeadOffice));
    }

    // Select two panels with a click and a Shift-click, click a connector:
    // its copy is drawn at the midpoint of the two panels' centres and the
    // lines run to the panels' near edges. From then on the surface shows
    // only the diagram.
    void aConnectionIsDrawnBetweenItsPanels() {
        openNxa();
        const QImage picture = readPicture(*rig_, kNxaPicture);
        // The caption over the connectors (接続方式) lies outside every
        // piece: shown until the first redraw, gone after it.
        QPoint decoration(-1, -1);
        const QImage before = shot(surface());
        for (int y = 304; y < 320 && decoration.x() < 0; ++y) {
            for (int x = 10; x < 70; ++x) {
                if (qGray(before.pixel(x, y)) < 128) {
                    decoration = {x, y};
                    break;
                }
            }
        }
        QVERIFY(decoration.x() >= 0);
        QCOMPARE(before.pixel(decoration), picture.pixel(decoration));

        clickPanel(HeadOffice);
        QVERIFY(shownSelected(HeadOffice, picture));
        clickPanel(CloudVpc, true);
        QVERIFY(shownSelected(HeadOffice, picture));
        QVERIFY(shownSelected(CloudVpc, picture));
        clickConnector(Leased);
        // Centres (110, 107) and (530, 107): the 100 x 28 copy at (270, 93).
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Leased));
        QVERIFY(outlinedAt(surface(), QRect(270, 93, 100, 28)));
        const QImage after = shot(surface());
        for (int x = 181; x < 270; x += 11) {
            QCOMPARE(after.pixel(x, 107), qRgb(0, 0, 0));
        }
        for (int x = 371; x < 460; x += 11) {
            QCOMPARE(after.pixel(x, 107), qRgb(0, 0, 0));
        }
        QCOMPARE(after.pixel(decoration), qRgb(255, 255, 255));
        // The selection stays for another connector.
        QVERIFY(shownSelected(HeadOffice, picture));
        QVERIFY(shownSelected(CloudVpc, picture));

        // A directed one from 利用者 up to クラウドVPC: centres (530, 241)
        // and (530, 107), the copy at (480, 160) with an arrow box either side.
        join(Users, CloudVpc, Https);
        dump(rig_->screens->frmSelStyle7, "directed");
        // Its lines cross the copy's right end and bottom-left corner.
        QCOMPARE(shot(surface()).copy(491, 161, 70, 20),
                 connectorFace(picture, Https).copy(10, 0, 70, 20));
        QVERIFY(outlinedAt(surface(), QRect(462, 160, 18, 28)));
        QVERIFY(outlinedAt(surface(), QRect(580, 160, 18, 28)));
        const QImage arrows = shot(surface());
        const QImage rightArrow =
            rig_->screens->frmSelStyle7->control<QLabel>(QStringLiteral("RightImg"))
                ->pixmap()
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(arrows.copy(463, 161, 16, 9), rightArrow.copy(1, 1, 16, 9));
    }

    void parallelConnectionsStackFourteenPixelsApart() {
        openNxa();
        const QImage picture = readPicture(*rig_, kNxaPicture);
        clickPanel(HeadOffice);
        clickPanel(CloudVpc, true);
        clickConnector(Leased);
        clickConnector(IpsecVpn);
        clickConnector(Leased);
        // Midpoint (320, 107): the latest at the midpoint, the others 14 and 28 above.
        const QImage s = shot(surface());
        for (const int top : {93 - 28, 93 - 14, 93}) {
            QCOMPARE(s.pixel(275, top), qRgb(0, 0, 0));
        }
        QCOMPARE(s.pixel(275, 93 - 29), qRgb(255, 255, 255));
        // Each later one covers the lower half of the one before.
        QCOMPARE(s.copy(271, 66, 98, 13), connectorFace(picture, Leased).copy(0, 0, 98, 13));
        QCOMPARE(s.copy(271, 80, 98, 13), connectorFace(picture, IpsecVpn).copy(0, 0, 98, 13));
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Leased));
    }

    // A press on a drawn connector selects it (shown inverted) and clears
    // the panel selection; Delete removes that one only, and the rest keep
    // their places and order.
    void aPressedConnectionIsDeletedAlone() {
        openNxa();
        const QImage picture = readPicture(*rig_, kNxaPicture);
        join(HeadOffice, CloudVpc, Leased);
        join(Branch, CloudVpc, IpsecVpn);
        join(HeadOffice, CloudVpc, Telnet);
        QVERIFY(shownSelected(CloudVpc, picture));

        // On the outline: nothing is selected.
        Pointer pointer(surface());
        pointer.press({270, 100});
        QCOMPARE(drawnFace(surface(), {270, 160}), connectorFace(picture, IpsecVpn));
        QVERIFY(!shownSelected(CloudVpc, picture));
        pointer.release({270, 100});

        pointer.click({300, 170});
        QCOMPARE(drawnFace(surface(), {270, 160}), connectorFace(picture, IpsecVpn, true));
        // Nothing is joined while no panels are selected.
        clickConnector(Leased);
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Telnet));

        typeKey(Qt::Key_Delete);
        const QImage s = shot(surface());
        QCOMPARE(s.pixel(320, 170), qRgb(255, 255, 255));
        // Its line from 支店LAN went too.
        for (int y = 195; y < 220; ++y) {
            QCOMPARE(s.pixel(225, y), qRgb(255, 255, 255));
        }
        // Those between 本社LAN and クラウドVPC are untouched: Telnet (the
        // latest) at the midpoint, 専用線 above it.
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Telnet));
        QCOMPARE(s.copy(271, 80, 98, 13), connectorFace(picture, Leased).copy(0, 0, 98, 13));
        // A second Delete has nothing left to remove.
        typeKey(Qt::Key_Delete);
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Telnet));
    }

    // A panel follows the pointer; at the release its connections are drawn
    // anew, and the click that ends the drag selects it.
    void draggingAPanelMovesItsConnections() {
        openNxa();
        const QImage picture = readPicture(*rig_, kNxaPicture);
        join(HeadOffice, CloudVpc, Leased);
        Pointer pointer(surface());
        pointer.press({530, 107});
        pointer.move({480, 127});
        pointer.move({430, 147});
        QCOMPARE(panel(CloudVpc)->geometry(), QRect(360, 120, 140, 54));
        // Until the release the connection stays where it was.
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, Leased));
        pointer.release({430, 147});

        // Centres (110, 107) and (430, 147): the copy at (220, 113).
        QCOMPARE(drawnFace(surface(), {220, 113}), connectorFace(picture, Leased));
        const QImage s = shot(surface());
        QCOMPARE(s.pixel(365, 100), qRgb(255, 255, 255));
        // The line from the copy's right end (320, 127) to the moved panel's left edge (360, 147).
        QVERIFY(s.pixel(340, 136) == qRgb(0, 0, 0) || s.pixel(340, 137) == qRgb(0, 0, 0));
        QVERIFY(shownSelected(CloudVpc, picture));
        QVERIFY(!shownSelected(HeadOffice, picture));

        // A pointer dragged off the surface holds the panel at its edge.
        pointer.press({50, 90});
        pointer.move({-200, -300});
        pointer.release({-200, -300});
        QCOMPARE(panel(HeadOffice)->pos(), QPoint(-10, -10));
    }

    void aThirdShiftClickIsIgnored() {
        openNxa();
        const QImage picture = readPicture(*rig_, kNxaPicture);
        clickPanel(HeadOffice);
        clickPanel(CloudVpc, true);
        clickPanel(Users, true);
        QVERIFY(shownSelected(HeadOffice, picture));
        QVERIFY(shownSelected(CloudVpc, picture));
        QVERIFY(!shownSelected(Users, picture));
        // The two still join: between 本社LAN and クラウドVPC, not 利用者.
        clickConnector(IpsecVpn);
        QCOMPARE(drawnFace(surface(), {270, 93}), connectorFace(picture, IpsecVpn));
        QCOMPARE(shot(surface()).pixel(320, 174), qRgb(255, 255, 255));

        // A plain click starts again with that panel alone.
        clickPanel(Users);
        QVERIFY(!shownSelected(HeadOffice, picture));
        QVERIFY(!shownSelected(CloudVpc, picture));
        QVERIFY(shownSelected(Users, picture));
    }

    // The expected set: 本社LAN–クラウドVPC over 専用線 and 支店LAN–クラウドVPC
    // over IPsecVPN (either way round), 利用者 to クラウドVPC over HTTPS.
    void rightAndWrongDiagramsThroughTheExamScreen() {
        auto* window = openNxa();
        const int slot = rig_->session->exam.handoff().answerSlot;
        QVERIFY(slot > 0);
        auto* button = window->control<QAbstractButton>(QStringLiteral("Button5"));
        // Answers with the button; the marks the exam screen shows after it.
        const auto answer = [&] {
            QTest::mouseClick(button, Qt::LeftButton);
            return exam_->marks();
        };
        const auto rightDiagram = [&] {
            join(HeadOffice, CloudVpc, Leased);
            join(CloudVpc, Branch, IpsecVpn);
            join(Users, CloudVpc, Https);
        };
        rightDiagram();
        QCOMPARE(answer(), markedSlot(slot));
        QVERIFY(!window->isVisible());
        QVERIFY(rig_->session->exam.styleSolved());

        // Each showing starts from an empty diagram: the button alone is wrong.
        clickStyleButton(exam_, AnswerStyle::Connect);
        QCOMPARE(exam_->marks(), markedSlot(0));
        QCOMPARE(answer(), markedSlot(0));

        // The directed one the wrong way round.
        clickStyleButton(exam_, AnswerStyle::Connect);
        join(HeadOffice, CloudVpc, Leased);
        join(CloudVpc, Branch, IpsecVpn);
        join(CloudVpc, Users, Https);
        QCOMPARE(answer(), markedSlot(0));

        // As many connections as expected, one of them twice and one missing.
        clickStyleButton(exam_, AnswerStyle::Connect);
        join(HeadOffice, CloudVpc, Leased);
        clickConnector(Leased);
        join(Users, CloudVpc, Https);
        QCOMPARE(answer(), markedSlot(0));
        QVERIFY(!rig_->session->exam.styleSolved());

        // The right diagram closed with Esc is not an answer.
        clickStyleButton(exam_, AnswerStyle::Connect);
        rightDiagram();
        typeKey(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QVERIFY(!rig_->session->exam.styleSolved());
        QCOMPARE(exam_->marks(), markedSlot(0));
    }

    // KSE-100's question without a mouse: インターネット (panel 1) to
    // 公開Webサーバー (2) over HTTPS許可 (key 1), 社内LAN (3) to
    // インターネット over Web閲覧許可 (key 2).
    void theKeyboardDrawsTheWholeDiagram() {
        exam_ = openQuestion(*rig_, "kumo", "KSE-100", 12, AnswerStyle::Connect);
        clickStyleButton(exam_, AnswerStyle::Connect);
        auto* window = rig_->screens->frmSelStyle7;
        const QImage picture = readPicture(*rig_, QStringLiteral("QDAT/kumo/img/kse_connect.bmp"));
        QVERIFY(!picture.isNull());
        QCOMPARE(QApplication::focusWidget(), panel(1));
        // The focus ring: the panel's edge in the highlight colour while it has the focus.
        const QRgb ring = window->palette().color(QPalette::Highlight).rgb();
        QCOMPARE(shot(panel(1)).pixel(1, 20), ring);
        QCOMPARE(shot(panel(2)).pixel(1, 20), picture.pixel(450 + 1, 76 + 20));

        typeKey(Qt::Key_Space);
        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), panel(2));
        QCOMPARE(shot(panel(2)).pixel(1, 20), ring);
        QVERIFY(shot(panel(1)).pixel(1, 20) != ring);
        typeKey(Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(panel(1)->accessibleDescription(), QStringLiteral("1 番目に選択"));
        QCOMPARE(panel(2)->accessibleDescription(), QStringLiteral("2 番目に選択"));
        typeKey(Qt::Key_1);
        // Centres (115, 103) and (525, 103): HTTPS許可 (140 x 28) at (250, 89).
        const QImage face = picture.copy(31, 325, 138, 26);
        QCOMPARE(shot(surface()).copy(251, 90, 138, 26), face);

        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Space);  // 社内LAN alone
        QCOMPARE(panel(1)->accessibleDescription(), QString());
        typeKey(Qt::Key_Backtab);
        typeKey(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), panel(1));
        typeKey(Qt::Key_Space, Qt::ShiftModifier);
        typeKey(Qt::Key_3);  // 全通信許可: not asked for
        typeKey(Qt::Key_2);

        // PageDown walks the connections; the second (全通信許可, between
        // 社内LAN and インターネット, under the later Web閲覧許可) goes.
        typeKey(Qt::Key_PageDown);
        QCOMPARE(shot(surface()).copy(251, 90, 138, 26), [&] {
            QImage i = face;
            i.invertPixels();
            return i;
        }());
        typeKey(Qt::Key_PageDown);
        QCOMPARE(shot(surface()).copy(251, 90, 138, 26), face);
        dump(rig_->screens->frmSelStyle7, "kbd-before-delete");
        typeKey(Qt::Key_Delete);
        dump(rig_->screens->frmSelStyle7, "kbd-after-delete");
        // Centres (115, 241) and (115, 103): Web閲覧許可 at (45, 158), nothing
        // above it. Its lines cross both ends of the copy; the middle is clear.
        const QImage s = shot(surface());
        const QImage webFace = picture.copy(180 + 15, 325, 110, 26);
        QCOMPARE(s.copy(45 + 15, 159, 110, 26), webFace);
        QCOMPARE(s.pixel(100, 150), qRgb(255, 255, 255));
        // PageUp from nothing selected takes the last one.
        typeKey(Qt::Key_PageUp);
        QImage inverted = webFace;
        inverted.invertPixels();
        QCOMPARE(shot(surface()).copy(45 + 15, 159, 110, 26), inverted);

        // Arrow keys drag the focused panel 8 pixels; its connections follow.
        typeKey(Qt::Key_Right);
        typeKey(Qt::Key_Down);
        QCOMPARE(panel(1)->pos(), QPoint(48, 84));
        QCOMPARE(shot(surface()).copy(255, 94, 138, 26), face);

        for (int k = 0; k < 4; ++k) {
            typeKey(Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), window->control<QWidget>(QStringLiteral("Button5")));
        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), panel(1));
        typeKey(Qt::Key_Backtab);
        typeKey(Qt::Key_Space);
        QVERIFY(!window->isVisible());
        QVERIFY(rig_->session->exam.styleSolved());
        QCOMPARE(exam_->marks(), markedSlot(rig_->session->exam.handoff().answerSlot));
    }

    // Connectors past the ninth answer to letters, and no more than 50
    // connections are taken.
    void lettersAndTheConnectionLimit() {
        auto* window = openNxa([](tovalo::ExamQuestion& q) {
            std::string connectors = "c";
            for (int k = 1; k <= 12; ++k) {
                const int x = 10 + (k - 1) * 50;
                connectors += "@" + std::to_string(x) + ",322," + std::to_string(x + 40) +
                              ",350,C" + std::to_string(k) + ",0";
            }
            for (std::string& choice : q.ShownChoice) {
                if (choice.rfind("c@", 0) == 0) {
                    choice = connectors;
                } else if (choice.rfind("a@", 0) == 0) {
                    choice = "a@本社LAN;クラウドVPC;C11;0";
                }
            }
        });
        QVERIFY(!window->control<QLabel>(QStringLiteral("DefectNote"))->isVisible());
        QCOMPARE(connector(10)->accessibleDescription(), QStringLiteral("キー A"));
        QCOMPARE(connector(12)->accessibleDescription(), QStringLiteral("キー C"));
        auto* board = window->control<ConnectSurface>(QStringLiteral("Image1"));
        typeKey(Qt::Key_Space);
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Tab);
        typeKey(Qt::Key_Space, Qt::ShiftModifier);
        typeKey(Qt::Key_B);
        QCOMPARE(board->board().connections().size(), 1u);
        QCOMPARE(board->board().connections()[0].connector, 11);
        for (int k = 0; k < 60; ++k) {
            typeKey(Qt::Key_A);
        }
        QCOMPARE(board->board().connections().size(), 50u);
    }

    void viewShowsThePictureOfTheSolution() {
        openQuestion(*rig_, "kumo", "KSE-100", 12, AnswerStyle::Connect);
        auto* view = rig_->screens->frmSelStyle7View;
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        dump(view, "view");
        QCOMPARE(view->windowTitle(), QStringLiteral("Tovalo 正解コネクト表示"));
        QCOMPARE(view->size(), QSize(640, 380 + 60));
        const QImage expected(rig_->path(QStringLiteral("QDAT/kumo/img/kse_connect_ans.jpg")));
        QVERIFY(!expected.isNull());
        auto* image = view->control<QLabel>(QStringLiteral("Image1"));
        QCOMPARE(image->geometry(), QRect(0, 0, 640, 380));
        QCOMPARE(shot(image), expected.convertToFormat(QImage::Format_RGB32));
        auto* button = view->control<QAbstractButton>(QStringLiteral("Button5"));
        QCOMPARE(button->accessibleName(), QStringLiteral("閉じる"));
        QVERIFY(button->geometry().top() >= 380);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!view->isVisible());
    }

    // Data that cannot be used: the window says which line is at fault,
    // takes no keys and cannot be answered right.
    void brokenDataIsSaidAndNeverRight_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("replacement");
        QString panels = QStringLiteral("b");
        for (int k = 1; k <= 21; ++k) {
            panels += QStringLiteral("@40,80,180,134,P%1").arg(k);
        }
        QString expected = QStringLiteral("a");
        for (int k = 1; k <= 51; ++k) {
            expected += QStringLiteral("@本社LAN;クラウドVPC;専用線;0");
        }
        QTest::newRow("direction flag not a number")
            << "c" << QStringLiteral("c@40,322,140,350,専用線,up");
        QTest::newRow("21 panels") << "b" << panels;
        QTest::newRow("unreadable panel corner")
            << "b" << QStringLiteral("b@40,8x,180,134,本社LAN");
        QTest::newRow("51 expected connections") << "a" << expected;
        QTest::newRow("direction 3") << "a" << QStringLiteral("a@本社LAN;クラウドVPC;専用線;3");
        QTest::newRow("no such panel") << "a" << QStringLiteral("a@本社;クラウドVPC;専用線;0");
        QTest::newRow("no such connector")
            << "a" << QStringLiteral("a@本社LAN;クラウドVPC;光回線;0");
        QTest::newRow("no a@ line") << "a" << QStringLiteral("本社LAN");
    }
    void brokenDataIsSaidAndNeverRight() {
        QFETCH(QString, line);
        QFETCH(QString, replacement);
        const std::string prefix = line.toStdString() + "@";
        auto* window = openNxa([&](tovalo::ExamQuestion& q) {
            for (std::string& choice : q.ShownChoice) {
                if (choice.rfind(prefix, 0) == 0) {
                    choice = replacement.toStdString();
                }
            }
        });
        dump(window, "defect");
        auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().contains(line + QStringLiteral("@ の行")), qPrintable(note->text()));
        QVERIFY(!surface()->isVisible());
        QVERIFY(!window->control<QWidget>(QStringLiteral("Label1"))->isVisible());
        auto* button = window->control<QAbstractButton>(QStringLiteral("Button5"));
        QVERIFY(window->rect().contains(note->geometry()));
        QVERIFY(!note->geometry().intersects(button->geometry()));
        typeKey(Qt::Key_1);
        typeKey(Qt::Key_PageDown);
        typeKey(Qt::Key_Delete);
        QVERIFY(window->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(!rig_->session->exam.styleSolved());
        QCOMPARE(exam_->marks(), markedSlot(0));
    }

    // The working picture is read as a bitmap whatever its name says.
    void aPictureThatIsNoBitmapIsSaid_data() {
        QTest::addColumn<QString>("figure");
        QTest::addColumn<bool>("readable");
        QTest::newRow("jpeg") << QStringLiteral("nxa_connect_ans.jpg") << false;
        QTest::newRow("missing") << QStringLiteral("nxa_none.bmp") << false;
        QTest::newRow("bitmap named gif") << QStringLiteral("nxa_connect.gif") << true;
    }
    void aPictureThatIsNoBitmapIsSaid() {
        QFETCH(QString, figure);
        QFETCH(bool, readable);
        QVERIFY(QFile::copy(rig_->path(kNxaPicture),
                            rig_->path(QStringLiteral("QDAT/nexa/img/nxa_connect.gif"))));
        auto* window = openNxa([&](tovalo::ExamQuestion& q) {
            const std::string old = "nxa_connect.bmp";
            q.QuesText.replace(q.QuesText.find(old), old.size(), figure.toStdString());
        });
        auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
        QCOMPARE(note->isVisible(), !readable);
        QCOMPARE(surface()->isVisible(), readable);
        if (readable) {
            QCOMPARE(panel(Users)->accessibleName(), QStringLiteral("利用者"));
            QCOMPARE(window->size(), QSize(640, 380 + 115));
        } else {
            QVERIFY(note->text().contains(figure));
        }
    }
};

QTEST_MAIN(TestStyleConnect)
#include "tst_style_connect.moc"
