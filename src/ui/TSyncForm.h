#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// Synchronises the history files of the current vendor with the server.
class TSyncForm : public ScreenForm {
    Q_OBJECT

  public:
    TSyncForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
