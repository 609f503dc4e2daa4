#pragma once

#include "ui/styles/panel_window.h"

namespace tovalo::ui {

// Panel question whose pieces and slots carry ids, so that interchangeable pieces share one.
class TfrmSelStyle6 : public PanelWindow {
    Q_OBJECT

  public:
    explicit TfrmSelStyle6(Session& session);
};

}  // namespace tovalo::ui
