#pragma once

#include <QFont>
#include <QString>
#include <string_view>

namespace tovalo::ui {

// The Japanese faces the desktop provides in place of the ones the
// material names. Constants, not QStrings: a QString here would be built by
// every file that includes this one, each at start-up.
inline constexpr QLatin1StringView kProportionalFamily("IPAPGothic");
inline constexpr QLatin1StringView kFixedFamily("IPAGothic");

// The installed family for a face named in the material ("ＭＳ ゴシック"
// is the fixed-pitch one); unknown names get the proportional face.
QString installedFamily(std::string_view materialName);

QFont uiFont(int pixelSize, bool bold = false);
QFont fixedFont(int pixelSize);

}  // namespace tovalo::ui
