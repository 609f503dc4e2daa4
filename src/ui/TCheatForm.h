#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The answer window beside the exam screen: correct choices and explanation.
// For now it only opens and closes; closing it turns the highlighted choices
// of the exam screen black again.
class TCheatForm : public ScreenForm {
    Q_OBJECT

  public:
    TCheatForm(Session& session, Screens& screens);

  protected:
    void hideEvent(QHideEvent* event) override;
};

}  // namespace tovalo::ui
