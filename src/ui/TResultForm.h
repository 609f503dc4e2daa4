#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The result screen: verdict, result grid and history chart of a graded exam.
class TResultForm : public ScreenForm {
    Q_OBJECT

  public:
    TResultForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
