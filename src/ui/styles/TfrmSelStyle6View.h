#pragma once

#include "ui/styles/panel_window.h"

namespace tovalo::ui {

// The correct answer of a panel question with ids.
class TfrmSelStyle6View : public PanelWindow {
    Q_OBJECT

  public:
    explicit TfrmSelStyle6View(Session& session);
};

}  // namespace tovalo::ui
