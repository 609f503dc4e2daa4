#pragma once

#include <QColor>
#include <QString>
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

}  // namespace tovalo::ui
