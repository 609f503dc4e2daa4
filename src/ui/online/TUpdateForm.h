#pragma once

#include "ui/widgets/pending_screen.h"

namespace tovalo::ui {

// Fetches newer question files and figures from the update server.
// Not in this version yet: it says so and leads back to the course menu.
class TUpdateForm : public PendingScreen {
    Q_OBJECT

  public:
    TUpdateForm(Session& session);
};

}  // namespace tovalo::ui
