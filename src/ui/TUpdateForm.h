#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// Fetches newer question files and figures from the update server.
class TUpdateForm : public ScreenForm {
    Q_OBJECT

  public:
    TUpdateForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
