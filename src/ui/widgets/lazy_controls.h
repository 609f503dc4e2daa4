#pragma once

namespace tovalo::ui {

class ScreenForm;

// Gives the named controls of `form` the hints the window set hands out at
// start-up. Screens that are rarely opened build their controls the first
// time they are needed, so that start-up does not pay for them; every
// screen runs this again when it is first shown, so those get theirs too.
void applyStartupTooltipsTo(ScreenForm& form);

}  // namespace tovalo::ui
