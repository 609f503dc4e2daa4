#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Panel question: pieces of a picture are dragged onto their slots.
class TfrmSelStyle4 : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle4(Session& session);
};

}  // namespace tovalo::ui
