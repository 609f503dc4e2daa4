#pragma once

#include "ui/widgets/pending_screen.h"

namespace tovalo::ui {

// Synchronises the history files of the current vendor with the server.
// Not in this version yet: it says so and leads back to the course menu.
class TSyncForm : public PendingScreen {
    Q_OBJECT

  public:
    TSyncForm(Session& session);
};

}  // namespace tovalo::ui
