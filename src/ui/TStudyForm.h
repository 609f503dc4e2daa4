#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The advisor: a summary of the history of every course of the current vendor.
class TStudyForm : public ScreenForm {
    Q_OBJECT

  public:
    TStudyForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
