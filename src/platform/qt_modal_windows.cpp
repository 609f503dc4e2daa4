#include "platform/qt_modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "core/app/window_placement.h"
#include "platform/qt_window_order.h"

namespace tovalo::platform {

namespace {

// Secondary windows are laid out for a 100 % desktop; on a highly scaled
// one the case study or the adaptive list would be larger than the display.
// A window the learner may resize is cut down to the free area and moved
// inside it; a fixed one is moved to show as much as it can.
void keepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect r = window->geometry();
    // The frame is known once the window has a native one.
    window->winId();
    const QMargins m = window->windowHandle()->frameMargins();
    // One that fits is left where the desktop or its screen puts it.
    if (r.width() + m.left() + m.right() <= area.width() &&
        r.height() + m.top() + m.bottom() <= area.height()) {
        return;
    }
    app::Bounds fitted =
        app::fitInside(app::Bounds{r.x(), r.y(), r.width(), r.height()},
                       app::Bounds{area.x(), area.y(), area.width(), area.height()},
                       app::FrameMargins{m.left(), m.top(), m.right(), m.bottom()});
    // A fixed-size window (its picture decides its size) is only moved.
    const QSize size = window->minimumSize() == window->maximumSize()
                           ? r.size()
                           : QSize(fitted.width, fitted.height).expandedTo(window->minimumSize());
    fitted.width = size.width();
    fitted.height = size.height();
    const QRect placed(fitted.left, fitted.top, fitted.width, fitted.height);
    if (placed != r) {
        window->setGeometry(placed);
    }
}

}  // namespace

void openModal(QWidget* window) {
    handBackOnHide(window);
    window->setWindowModality(Qt::ApplicationModal);
    keepOnScreen(window);
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
    keepOnScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tovalo::platform
