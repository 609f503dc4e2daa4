#pragma once

#include "ui/widgets/pending_screen.h"

namespace tovalo::ui {

// The advisor: a summary of the history of every course of the current vendor.
// Not in this version yet: it says so and leads back to the course menu.
class TStudyForm : public PendingScreen {
    Q_OBJECT

  public:
    TStudyForm(Session& session);
};

}  // namespace tovalo::ui
