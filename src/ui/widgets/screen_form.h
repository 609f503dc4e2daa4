#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>

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
    // when there are none yet), moved to `topLeft` when one is given, and
    // never below the screen's minimum size. Called before showing.
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
    bool hintsGiven_ = false;
    bool minimisesProgram_ = false;
    bool closesOnEscape_ = false;
};

}  // namespace tovalo::ui
