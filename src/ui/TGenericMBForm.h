#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The introduction card shown between the category screen and the exam.
class TGenericMBForm : public ScreenForm {
    Q_OBJECT

  public:
    TGenericMBForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
