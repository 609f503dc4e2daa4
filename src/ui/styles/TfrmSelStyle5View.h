#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The correct answer of a descriptive question.
class TfrmSelStyle5View : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle5View(Session& session);
};

}  // namespace tovalo::ui
