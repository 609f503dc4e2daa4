#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The correct answer of a panel question.
class TfrmSelStyle4View : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle4View(Session& session);
};

}  // namespace tovalo::ui
