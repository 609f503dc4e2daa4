#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// The correct answer of a graphic question.
class TfrmSelStyle3View : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle3View(Session& session);
};

}  // namespace tovalo::ui
