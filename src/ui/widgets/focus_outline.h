#pragma once

class QWidget;

namespace tovalo::ui {

// Marks the keyboard focus on a control whose own look shows it faintly
// (the desktop style's marks beside the choices) or not at all (reading
// panes): a frame `margin` pixels outside `control`, shown while Tab,
// Shift+Tab or an arrow has put the focus there. A click that gives the
// control the focus draws nothing, and presses go through the frame.
void outlineKeyboardFocus(QWidget* control, int margin = 0);

}  // namespace tovalo::ui
