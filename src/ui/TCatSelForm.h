#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The category screen: categories, selection mode, question count and time limit.
class TCatSelForm : public ScreenForm {
    Q_OBJECT

  public:
    TCatSelForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
