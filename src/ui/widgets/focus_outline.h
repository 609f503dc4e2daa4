#pragma once

#include <QColor>
#include <QRect>
#include <vector>

class QPainter;
class QWidget;

namespace tovalo::ui {

// Marks the keyboard focus on a control whose own look shows it faintly
// (the desktop style's marks beside the choices) or not at all (reading
// panes, lists): a ring `margin` pixels outside `control`, or outside
// `around` where that is what the learner sees of it (a list scrolled
// inside an area), shown while the focus is on `control`, whether Tab, an
// arrow or the program put it there. A click that gives the control the
// focus draws nothing, and presses go through the ring.
void outlineKeyboardFocus(QWidget* control, int margin = 0, QWidget* around = nullptr);

// Every focus mark of the program: a ring of two 2-pixel bands just inside
// a frame. Controls sit on every colour (the vendors' pictures, dark bars,
// pale panels, gradients), so each stretch of a band takes whichever ink
// stands out from what the window shows beside it: the outer band from
// what lies round the frame, the inner band from what the ring encloses.
class FocusRing {
  public:
    static constexpr int kWidth = 4;

    // Looks at the window round `frame` (in `widget`'s coordinates) as it
    // is without the ring; whoever draws the ring leaves it out while
    // taking() says so. Done when the focus arrives or the control moves,
    // never while painting.
    void take(QWidget* widget, const QRect& frame);
    [[nodiscard]] bool taking() const { return taking_; }
    void draw(QPainter& painter) const;

  private:
    struct Stretch {
        QRect rect;
        QColor ink;
    };
    std::vector<Stretch> stretches_;
    bool taking_ = false;
};

}  // namespace tovalo::ui
