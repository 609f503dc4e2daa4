#include "ui/widgets/figure_picture.h"

#include <QFileInfo>
#include <QImageReader>

namespace tovalo::ui {

namespace {

QImage readAs(const QString& path, const QByteArray& format) {
    if (format.isEmpty() || !QFileInfo(path).isFile()) {
        return {};
    }
    QImageReader reader(path, format);
    return reader.read();
}

}  // namespace

QImage readFigure(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("bmp")) {
        return readAs(path, "bmp");
    }
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")) {
        return readAs(path, "jpeg");
    }
    if (ext == QLatin1String("ico")) {
        return readAs(path, "ico");
    }
    return {};
}

QImage readBitmapFigure(const QString& path) {
    return readAs(path, "bmp");
}

}  // namespace tovalo::ui
