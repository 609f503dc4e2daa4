#pragma once

#include <QAccessible>

class QWidget;

namespace tovalo::ui {

// Controls the program paints itself (course rows, the vendor tabs, the
// minor-category lines) are plain widgets to Qt, which screen readers would
// announce as a blank "client" area. This gives such a widget the role of
// the control it stands for; its name stays the widget's accessible name.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Reported to assistive tools as the selected state of a widget given a role
// above, for a row or tab that is the current choice among its siblings.
void setAccessibleSelected(QWidget* widget, bool selected);

}  // namespace tovalo::ui
