#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The correct answer of a second-variant panel question.
class TfrmSelStyle6View : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle6View(Session& session);
};

}  // namespace tovalo::ui
