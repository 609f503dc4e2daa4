#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Descriptive question: the answer is typed.
class TfrmSelStyle5 : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle5(Session& session);
};

}  // namespace tovalo::ui
