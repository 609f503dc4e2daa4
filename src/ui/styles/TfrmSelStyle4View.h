#pragma once

#include "ui/styles/panel_window.h"

namespace tovalo::ui {

// The correct answer of a panel question.
class TfrmSelStyle4View : public PanelWindow {
    Q_OBJECT

  public:
    explicit TfrmSelStyle4View(Session& session);
};

}  // namespace tovalo::ui
