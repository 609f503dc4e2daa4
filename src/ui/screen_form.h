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
    Session& session_;
    Screens& screens_;
};

}  // namespace tovalo::ui
