#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The correct answer of a connect question.
class TfrmSelStyle7View : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle7View(Session& session);
};

}  // namespace tovalo::ui
