#include "platform/qt_window_fit.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "core/app/window_placement.h"

namespace tovalo::platform {

void fitToScreen(QWidget* window) {
    if ((!window->isVisible() && !window->testAttribute(Qt::WA_Moved)) ||
        (window->windowState() &
         (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        return;
    }
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The frame is known once the window has a native one (on some
    // desktops only once it has been shown).
    window->winId();
    const QMargins m = window->windowHandle()->frameMargins();
    // Until the window is on screen, a place given with move() may still be
    // the frame's, and the showing then moves the window by the frame: it
    // has to fit there too.
    QRect r = window->geometry();
    if (!window->windowHandle()->isVisible()) {
        r.translate(m.left(), m.top());
    }
    const app::Bounds fitted =
        app::fitInside(app::Bounds{r.x(), r.y(), r.width(), r.height()},
                       app::Bounds{area.x(), area.y(), area.width(), area.height()},
                       app::FrameMargins{m.left(), m.top(), m.right(), m.bottom()},
                       app::MinimumSize{window->minimumWidth(), window->minimumHeight()});
    const QRect placed(fitted.left, fitted.top, fitted.width, fitted.height);
    if (placed != r) {
        window->setGeometry(placed);
    }
}

}  // namespace tovalo::platform
