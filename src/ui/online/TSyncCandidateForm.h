#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The proposed synchronisation actions, for the user to confirm.
class TSyncCandidateForm : public ScreenForm {
    Q_OBJECT

  public:
    TSyncCandidateForm(Session& session);
};

}  // namespace tovalo::ui
