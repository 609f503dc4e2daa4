#pragma once

class QWidget;

namespace tovalo::platform {

// Keeps `window`, frame and all, inside the free area of the screen it is
// on: moved first, shrunk only where it is larger than the area and never
// below its minimum size, so that a window whose picture fixes its size
// keeps at least its title bar on screen. Windows open and grow through
// here. One that no one has placed yet and that is not shown is left for
// its showing to place; a maximised or minimised one is the desktop's.
void fitToScreen(QWidget* window);

}  // namespace tovalo::platform
