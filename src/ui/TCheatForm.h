#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The answer window beside the exam screen: correct choices and explanation.
class TCheatForm : public ScreenForm {
    Q_OBJECT

  public:
    TCheatForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
