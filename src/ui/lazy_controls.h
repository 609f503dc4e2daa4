#pragma once

namespace tovalo::ui {

class ScreenForm;

// Screens that are rarely opened build their controls the first time they
// are needed, so that start-up does not pay for them. Such a screen calls
// this once its controls exist: they get the hints the window set hands
// out at start-up.
void applyStartupTooltipsTo(ScreenForm& form);

}  // namespace tovalo::ui
