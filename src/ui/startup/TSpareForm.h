#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Start-up creates this window last; it has no role of its own.
class TSpareForm : public ScreenForm {
    Q_OBJECT

  public:
    TSpareForm(Session& session);
};

}  // namespace tovalo::ui
