#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Panel question, second variant.
class TfrmSelStyle6 : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle6(Session& session);
};

}  // namespace tovalo::ui
