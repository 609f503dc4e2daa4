#include "platform/qt_bundle_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QResource>

#include "core/common/files.h"

namespace tovalo::platform {

QtBundleLoader::~QtBundleLoader() {
    while (!loaded_.empty()) {
        unload(loaded_.begin()->first);
    }
}

QString QtBundleLoader::resourceRoot(int slot) {
    return QStringLiteral("/vendor%1").arg(slot);
}

QString QtBundleLoader::picturePath(int slot, int id) {
    return QStringLiteral(":/vendor%1/%2.png").arg(slot).arg(id);
}

QPixmap QtBundleLoader::picture(int slot, int id) {
    return QPixmap(picturePath(slot, id));
}

Result<std::string> QtBundleLoader::load(const std::string& file, int slot) {
    QString path = QString::fromStdString(file);
    if (!QFileInfo(path).isFile()) {
        return Error{kFileNotFound, file, 0};
    }
    unload(slot);
    QString root = resourceRoot(slot);
    if (!QResource::registerResource(path, root)) {
        return Error{kBundleUnreadable, file, 0};
    }
    QFile strings(QLatin1Char(':') + root + QStringLiteral("/strings.txt"));
    if (!strings.open(QIODevice::ReadOnly)) {
        QResource::unregisterResource(path, root);
        return Error{kBundleUnreadable, file, 0};
    }
    loaded_[slot] = path;
    return strings.readAll().toStdString();
}

void QtBundleLoader::unload(int slot) {
    auto it = loaded_.find(slot);
    if (it == loaded_.end()) {
        return;
    }
    QResource::unregisterResource(it->second, resourceRoot(slot));
    loaded_.erase(it);
}

}  // namespace tovalo::platform
