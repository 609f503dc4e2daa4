#pragma once

#include "ui/widgets/screen_form.h"

class QLabel;
class QPushButton;

namespace tovalo::ui {

// A side road of the course menu whose screen is not in this version yet.
// It opens modally over the menu, says so, and every way out (its button,
// Enter, Esc, the close box) leads back to the menu: no button of the menu
// leads nowhere, and the program never runs on without a window.
class PendingScreen : public ScreenForm {
    Q_OBJECT

  public:
    PendingScreen(Session& session, const QString& title);

  signals:
    // Back to the course menu.
    void left();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The controls; tests reach them by object name.
    QLabel* TitleLabel;
    QLabel* MessageLabel;
    QPushButton* Button2;  // back to the course menu
};

}  // namespace tovalo::ui
