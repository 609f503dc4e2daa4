#pragma once

#include <QPixmap>
#include <QSize>

namespace tovalo::ui {

// The title picture of the profile screen. Drawn rather than shipped so
// that it follows the window's size and the installed fonts.
QPixmap drawTitlePicture(QSize size, qreal devicePixelRatio = 1.0);

}  // namespace tovalo::ui
