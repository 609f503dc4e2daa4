#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Connect question: the user draws the connections of a diagram.
class TfrmSelStyle7 : public ScreenForm {
    Q_OBJECT

  public:
    TfrmSelStyle7(Session& session);
};

}  // namespace tovalo::ui
