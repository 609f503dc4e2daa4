#pragma once

#include <QFont>
#include <QString>
#include <string_view>

namespace tovalo::ui {

// The Japanese faces the desktop provides in place of the ones the
// material names.
inline const QString kProportionalFamily = QStringLiteral("IPAPGothic");
inline const QString kFixedFamily = QStringLiteral("IPAGothic");

// The installed family for a face named in the material ("ＭＳ ゴシック"
// is the fixed-pitch one); unknown names get the proportional face.
QString installedFamily(std::string_view materialName);

QFont uiFont(int pixelSize, bool bold = false);
QFont fixedFont(int pixelSize);

}  // namespace tovalo::ui
