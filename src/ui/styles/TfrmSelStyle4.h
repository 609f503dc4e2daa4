#pragma once

#include "ui/styles/panel_window.h"

namespace tovalo::ui {

// Panel question: pieces of a picture are dragged onto their slots.
class TfrmSelStyle4 : public PanelWindow {
    Q_OBJECT

  public:
    explicit TfrmSelStyle4(Session& session);
};

}  // namespace tovalo::ui
