#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <string>

namespace tovalo::ui {

// Core texts are UTF-8 std::string; widgets take QString.
inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A desktop colour value (0x00BBGGRR), as the vendor bundles store their
// panel colours.
inline QColor desktopColour(long value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

// The other way: a colour as a desktop colour value, for the core's rules.
inline long desktopValue(const QColor& colour) {
    return static_cast<long>(colour.red()) | (static_cast<long>(colour.green()) << 8) |
           (static_cast<long>(colour.blue()) << 16);
}

// Sets one colour role of a widget's palette.
inline void paint(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

// Fills a widget's background with `colour`.
inline void fill(QWidget* w, const QColor& colour) {
    paint(w, QPalette::Window, colour);
    w->setAutoFillBackground(true);
}

}  // namespace tovalo::ui
