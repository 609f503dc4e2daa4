#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <vector>

#include "core/styles/zones.h"

namespace tovalo::ui {

class MarkPin;

// A question's figure that takes the learner's numbered marks, for the
// graphic window and the click picture of the exam screen. MarkBoard keeps
// the rules; this widget turns presses and keys into its calls and shows
// its marks.
//
// The keyboard path: while the picture has the focus a crosshair shows
// where a mark would go; the arrow keys move it (further with Shift),
// Space or Enter places a mark there and Delete or Backspace takes off the
// latest one.
//
// The mark pictures are widgets of their own beside the picture, in the
// picture's parent, so that a mark near the edge is drawn whole and a press
// on it reaches it.
class ClickPicture : public QWidget {
    Q_OBJECT

  public:
    // Where a mark stands against its point.
    enum class MarkShape {
        // 32 × 32, centred on the point.
        Ring,
        // A pointer whose tip, the picture's top-left corner, is the point.
        Pointer,
    };
    // What a right press on the picture itself does: the graphic window
    // takes any button as a mark, the click picture as an undo.
    enum class RightPress { Places, TakesLatest };

    static constexpr int kMarkSize = 32;
    static constexpr int kStep = 4;
    static constexpr int kLongStep = 24;

    ClickPicture(QWidget* parent, MarkShape shape, RightPress rightPress);

    // Takes `picture`'s size; the crosshair starts in its middle.
    void setPicture(const QImage& picture);
    // A new question: these zones, and no mark placed.
    void setZones(const std::vector<PictureRect>& zones);

    [[nodiscard]] const MarkBoard& board() const { return board_; }
    // Where Space would place a mark, in picture pixels.
    [[nodiscard]] QPoint crosshair() const { return crosshair_; }
    // Keys that the picture uses while it has the focus.
    [[nodiscard]] static bool usesKey(int key);
    // The picture of mark `number` (1..5).
    [[nodiscard]] static QPixmap markPicture(int number, MarkShape shape);

    void setVisible(bool visible) override;

  signals:
    // A mark was placed or taken off, or an undo was asked for.
    void marksChanged();
    // The crosshair moved; `around` is the part of this widget that should
    // be in view.
    void crosshairMoved(const QRect& around);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    friend class MarkPin;

    // A press at `at` in picture pixels, on the picture or passed on by a mark.
    void pressAt(QPoint at, Qt::MouseButton button);
    void pinPressed(int number, QPoint at, Qt::MouseButton button);
    void place(QPoint at);
    void takeLatest();
    void moveCrosshair(QPoint to);
    void showPins();
    void paintCrosshair(QPainter& p) const;

    MarkShape shape_;
    RightPress rightPress_;
    QPixmap picture_;
    MarkBoard board_;
    QPoint crosshair_;
    std::array<MarkPin*, MarkBoard::kMaxZones> pins_{};
};

// The outline of one zone over a picture, in `colour`; the outline lies on
// the zone's border, which is not part of the zone.
class ZoneFrame : public QWidget {
    Q_OBJECT

  public:
    ZoneFrame(QWidget* parent, const QColor& colour);
    // Covers `zone` of a picture whose top-left is at `origin` of the parent.
    void cover(const PictureRect& zone, QPoint origin);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

// Frames named `Guide1`.. in `parent`, hidden.
std::array<ZoneFrame*, MarkBoard::kMaxZones> makeZoneFrames(QWidget* parent, const QColor& colour);
// Puts the first frames on `zones` and hides the others; shows them when `shown`.
void coverZones(const std::array<ZoneFrame*, MarkBoard::kMaxZones>& frames,
                const std::vector<PictureRect>& zones, QPoint origin, bool shown);

}  // namespace tovalo::ui
