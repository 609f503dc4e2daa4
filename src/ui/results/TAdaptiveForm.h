#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The adaptive list: per-question statistics of one course.
class TAdaptiveForm : public ScreenForm {
    Q_OBJECT

  public:
    TAdaptiveForm(Session& session);
};

}  // namespace tovalo::ui
