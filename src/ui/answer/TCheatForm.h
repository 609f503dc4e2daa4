#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The answer window beside the exam screen: correct choices and explanation.
// For now it only opens and closes.
class TCheatForm : public ScreenForm {
    Q_OBJECT

  public:
    TCheatForm(Session& session);
};

}  // namespace tovalo::ui
