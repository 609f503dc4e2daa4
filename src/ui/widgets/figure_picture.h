#pragma once

#include <QImage>
#include <QString>

namespace tovalo::ui {

// A question's figure read as its file name says: bmp, jpg or jpeg, ico.
// Null for other names (the reader is never left to guess from the
// contents) and for files that cannot be read.
QImage readFigure(const QString& path);

// A figure that the question data declares a Windows bitmap, whatever its
// name ends in. Null when it cannot be read as one.
QImage readBitmapFigure(const QString& path);

}  // namespace tovalo::ui
