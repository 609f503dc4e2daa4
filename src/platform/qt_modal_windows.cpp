#include "platform/qt_modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/qt_window_fit.h"

namespace tovalo::platform {

namespace {

// Secondary windows are laid out for a 100 % desktop; on a highly scaled
// one the case study or the adaptive list would be larger than the display.
void keepOnScreen(QWidget* window) {
    fitToScreen(window);
}

}  // namespace

void openModal(QWidget* window) {
    window->setWindowModality(Qt::ApplicationModal);
    keepOnScreen(window);
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
    keepOnScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tovalo::platform
