#pragma once

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

// Part of the question file update.
class TDownLoad : public ScreenForm {
    Q_OBJECT

  public:
    TDownLoad(Session& session);
};

}  // namespace tovalo::ui
