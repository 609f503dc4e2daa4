#include "platform/qt_modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <QWindow>

namespace tovalo::platform {

void openModal(QWidget* window) {
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

int runModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

void openSecondary(QWidget* window) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == window) {
        modal = nullptr;
    }
    // The transient parent lives on the native window, which exists only
    // once the widget has been created.
    window->winId();
    window->windowHandle()->setTransientParent(modal != nullptr ? modal->windowHandle() : nullptr);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tovalo::platform
