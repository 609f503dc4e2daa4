#pragma once

class QWidget;

namespace tovalo::platform {

// Desktops differ in what they do when a window goes away: some activate
// the window under it, some activate nothing, and then the keys go nowhere
// until the learner clicks a window. The program does not leave that to
// them.

// Starts following the order in which the program's windows come to the
// front (shown or activated). Called before the first window shows; calling
// it again does nothing.
void followWindowOrder();

// From now on, when `window` is hidden while it has the keyboard, the
// window that came to the front before it takes the keyboard back, with
// the focus on the control that had it there (or on its first Tab stop,
// should that control be gone or disabled meanwhile). Registering a window
// twice does nothing.
void handBackOnHide(QWidget* window);

}  // namespace tovalo::platform
