#pragma once

class QDialog;
class QWidget;

namespace tovalo::platform {

// Every modal window of the program opens through openModal (or, for a
// box that waits for its answer, runModal), and every other secondary
// window through openSecondary. While a window is modal,
// Qt lets only that window and its transient children take input: a window
// opened from it (a figure of the case study or of a style window) must be
// one of those children, or its buttons and close box do nothing.
// Each of them, once it goes, hands the keyboard back to the window under it
// (qt_window_order.h).

// Shows `window` application-modal, in front and active.
void openModal(QWidget* window);

// Runs `dialog` application-modal until it is answered; its result. Never
// open(): that makes a box modal to its parent window only, and the other
// windows of the program would go on taking clicks under it.
int runModal(QDialog& dialog);

// Shows (or raises) `window` as a transient child of the modal window that
// is up, if any, so that it stays usable; otherwise as a window of its own.
void openSecondary(QWidget* window);

}  // namespace tovalo::platform
