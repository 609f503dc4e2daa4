#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

#include "core/app/window_placement.h"

namespace tovalo::ui {

class Session;

// Base of every screen: a top-level window that lives from start-up to the
// end of the program and is hidden and shown in turn. A screen knows the
// session and nothing of the other screens: it says what happened through
// its signals, and the coordinator decides what comes next.
class ScreenForm : public QWidget {
    Q_OBJECT

  public:
    explicit ScreenForm(Session& session);

    // The class name without its namespace ("TCourseMenuForm").
    [[nodiscard]] QString formName() const;

    // One of the screen's controls by its object name, or null. Tests reach
    // controls this way; screens never reach into each other's.
    template <class W = QWidget>
    [[nodiscard]] W* control(const QString& objectName) const {
        return findChild<W*>(objectName);
    }

  protected:
    // The size the screen is laid out for and may not be shrunk below, as
    // long as the screen's free area has room for it. On a small or highly
    // scaled screen (760 × 562 at 200 % is more than a 1280 × 900 display)
    // the free area is the limit instead, and the screen's layout squeezes
    // into it.
    void setDesignMinimumSize(QSize size);
    // `bounds` moved and cut down so that the window, frame and all, lies
    // inside the free area of the screen it is on.
    [[nodiscard]] QRect fittedBounds(const app::Bounds& bounds) const;

    // The full-size screens stand for the whole program: minimising one
    // minimises every window of the program, and restoring it brings back
    // the ones that went with it.
    void setMinimisesProgram(bool on) { minimisesProgram_ = on; }
    // A secondary window that the learner may simply close closes on Esc,
    // the way its close box does.
    void setClosesOnEscape(bool on) { closesOnEscape_ = on; }

    // The full-size screens share one place, so that the learner sees one
    // window going from screen to screen. This takes it: maximised when the
    // last screen was, otherwise the shared bounds (centred on the screen
    // when there are none yet), moved to `topLeft` when one is given,
    // never below the screen's minimum size and always wholly inside the
    // free area of the display. Called before showing.
    void takeSharedPlace(std::optional<QPoint> topLeft = std::nullopt);
    // Hands the window's state and, when it is normal, its bounds on to the
    // next full-size screen.
    void leaveSharedPlace();
    // While a full-size screen is up, the shared place follows what the
    // user does to it: its state after a state change (minimising aside),
    // and its bounds after a resize while it is neither maximised nor
    // minimised.
    void noteSharedState();
    void noteSharedBounds();

  signals:
    // The screen went away (not minimised): hidden or closed.
    void hidden();

  protected:
    // The first showing hands out the start-up hints, so that controls a
    // screen builds only when it is first needed get theirs too.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Session& session_;

  private:
    [[nodiscard]] QRect freeArea() const;
    [[nodiscard]] app::FrameMargins frameMargins() const;
    void fitMinimumToScreen();

    QSize designMinimum_;
    bool hintsGiven_ = false;
    bool minimisesProgram_ = false;
    bool closesOnEscape_ = false;
};

}  // namespace tovalo::ui
