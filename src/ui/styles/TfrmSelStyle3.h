#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Graphic question: zones of a picture are marked.
class TfrmSelStyle3 : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle3(Session& session);
};

}  // namespace tovalo::ui
