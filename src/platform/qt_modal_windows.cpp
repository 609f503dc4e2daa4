#include "platform/qt_modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/qt_window_fit.h"
#include "platform/qt_window_order.h"

namespace tovalo::platform {

void openModal(QWidget* window) {
    handBackOnHide(window);
    window->setWindowModality(Qt::ApplicationModal);
    // Laid out for a 100 % desktop; on a highly scaled one the case study or
    // the adaptive list would be larger than the display.
    fitToScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

int runModal(QDialog& dialog) {
    handBackOnHide(&dialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

void openSecondary(QWidget* window) {
    handBackOnHide(window);
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == window) {
        modal = nullptr;
    }
    // The transient parent lives on the native window, which exists only
    // once the widget has been created.
    window->winId();
    window->windowHandle()->setTransientParent(modal != nullptr ? modal->windowHandle() : nullptr);
    fitToScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tovalo::platform
