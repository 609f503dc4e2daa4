#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The review list between the last question and grading.
class TConfirmForm : public ScreenForm {
    Q_OBJECT

  public:
    TConfirmForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
