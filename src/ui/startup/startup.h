#pragma once

#include "core/common/result.h"

class QApplication;

namespace tovalo::ui {

class Session;
class Screens;

// Names the application, gives it the Japanese interface font and Qt's own
// Japanese words for standard buttons. Call right after the QApplication
// exists; calling it again changes nothing.
void prepareApplication(QApplication& app);

// Creates every screen once, in the fixed start-up order, running each
// creation step as it goes, then gives the image buttons their tooltips.
// Fails, with nothing shown, when the profile screen's creation fails.
Status createWindowSet(Session& session, Screens& screens);

// Sets the start-up tooltips on every screen that has the named control.
void applyStartupTooltips(const Screens& screens);

}  // namespace tovalo::ui
