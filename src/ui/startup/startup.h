#pragma once

#include "core/common/result.h"

class QApplication;

namespace tovalo::ui {

class Session;
class Screens;

// Names the application and gives it the Japanese interface font. Call
// once, right after the QApplication exists.
void prepareApplication(QApplication& app);

// Creates every screen once, in the fixed start-up order, running each
// creation step as it goes, then gives the image buttons their tooltips.
// Fails, with nothing shown, when the profile screen's creation fails.
Status createWindowSet(Session& session, Screens& screens);

// Sets the start-up tooltips on every screen that has the named control.
void applyStartupTooltips(const Screens& screens);

}  // namespace tovalo::ui
