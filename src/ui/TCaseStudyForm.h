#pragma once

#include "ui/screen_form.h"

namespace tovalo::ui {

// The case study that the questions of a course share.
class TCaseStudyForm : public ScreenForm {
    Q_OBJECT

  public:
    TCaseStudyForm(Session& session, Screens& screens);
};

}  // namespace tovalo::ui
