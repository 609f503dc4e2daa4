#pragma once

#include <QWidget>

namespace tovalo::ui {

class Session;
class Screens;

// Base of every screen: a top-level window that lives from start-up to the
// end of the program and is hidden and shown in turn.
class ScreenForm : public QWidget {
    Q_OBJECT

  public:
    ScreenForm(Session& session, Screens& screens);

    // The class name without its namespace ("TCourseMenuForm").
    [[nodiscard]] QString formName() const;

  protected:
    // The full-size screens stand for the whole program: minimising one
    // minimises every window of the program, and restoring it brings back
    // the ones that went with it.
    void setMinimisesProgram(bool on) { minimisesProgram_ = on; }

    // The first showing hands out the start-up hints, so that controls a
    // screen builds only when it is first needed get theirs too.
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

    Session& session_;
    Screens& screens_;

  private:
    bool hintsGiven_ = false;
    bool minimisesProgram_ = false;
};

}  // namespace tovalo::ui
