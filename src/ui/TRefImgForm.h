#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// Shows one reference figure of a question.
class TRefImgForm : public ScreenForm {
    Q_OBJECT

  public:
    TRefImgForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
