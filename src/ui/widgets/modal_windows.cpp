#include "ui/widgets/modal_windows.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace tovalo::ui {

void openModal(QWidget* window) {
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
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

}  // namespace tovalo::ui
