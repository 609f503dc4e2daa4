#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The exam screen: one question at a time, with the clock and the navigation buttons.
class TExamModeForm : public ScreenForm {
    Q_OBJECT

  public:
    TExamModeForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
