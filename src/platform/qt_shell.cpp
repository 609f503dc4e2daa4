#include "platform/qt_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace tovalo::platform {

Status QtShell::open(const std::string& target) {
    Status checked = checkShellTarget(target);
    if (!checked) {
        return checked;
    }
    QUrl url;
    if (isLocalFileTarget(target)) {
        url = QUrl::fromLocalFile(
            QDir::current().absoluteFilePath(QString::fromStdString(localFilePath(target))));
    } else {
        url = QUrl(QString::fromStdString(target), QUrl::TolerantMode);
    }
    if (!QDesktopServices::openUrl(url)) {
        return Error{kCannotOpen, target, 0};
    }
    return Ok{};
}

}  // namespace tovalo::platform
