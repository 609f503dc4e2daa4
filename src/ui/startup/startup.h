#pragma once

#include <functional>

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

// The same in two steps, for the program's own start: the profile screen,
// which may fail as above, and then every other screen, which cannot.
// Completing an already complete set does nothing.
Status createFirstScreen(Session& session, Screens& screens);
void completeWindowSet(Session& session, Screens& screens);
// One more window of the rest, or the last step that connects them all;
// true once the set is complete.
bool completeWindowSetStep(Session& session, Screens& screens);

// Completes the set a window at a time in idle turns once the profile
// screen has been painted, and all at once as soon as anything could lead
// past it; then, in an idle turn of its own, runs `afterwards`. Call after
// showing the profile screen.
void completeWindowSetAfterFirstPaint(Session& session, Screens& screens,
                                      std::function<void()> afterwards = {});

// Sets the start-up tooltips on every screen that has the named control.
void applyStartupTooltips(const Screens& screens);

}  // namespace tovalo::ui
