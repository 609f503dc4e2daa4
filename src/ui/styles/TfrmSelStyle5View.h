#pragma once

#include "ui/styles/style_window.h"

class QLabel;
class QLineEdit;

namespace tovalo::ui {

// The correct answer of a typed-answer question.
class TfrmSelStyle5View : public StyleWindow {
    Q_OBJECT

  public:
    TfrmSelStyle5View(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;

  private:
    QLabel* Label1;
    QLineEdit* Edit1;
};

}  // namespace tovalo::ui
