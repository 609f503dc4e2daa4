#include "ui/widgets/screen_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <vector>

#include "platform/qt_window_fit.h"
#include "platform/qt_window_order.h"
#include "ui/session/session.h"
#include "ui/widgets/lazy_controls.h"

namespace tovalo::ui {

namespace {

// The windows that went down with a minimised screen, to bring back with it.
std::vector<QPointer<QWidget>>& minimisedTogether() {
    static std::vector<QPointer<QWidget>> windows;
    return windows;
}

// Set while windows are being minimised or restored together, so that a
// second full-size screen among them does not start the same again.
bool busy = false;

void minimiseOthers(QWidget* screen) {
    busy = true;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != screen && w->isVisible() && !(w->windowState() & Qt::WindowMinimized)) {
            minimisedTogether().emplace_back(w);
            w->setWindowState(w->windowState() | Qt::WindowMinimized);
        }
    }
    busy = false;
}

void restoreOthers() {
    busy = true;
    std::vector<QPointer<QWidget>> windows;
    windows.swap(minimisedTogether());
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->isVisible()) {
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        }
    }
    busy = false;
}

}  // namespace

ScreenForm::ScreenForm(Session& session) : QWidget(nullptr, Qt::Window), session_(session) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Before any screen shows, so that the first secondary window already
    // knows which window is under it.
    platform::followWindowOrder();
}

QString ScreenForm::formName() const {
    QString name = QString::fromLatin1(metaObject()->className());
    qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

QRect ScreenForm::freeArea() const {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr) {
        shownOn = QGuiApplication::primaryScreen();
    }
    return shownOn != nullptr ? shownOn->availableGeometry() : QRect();
}

app::FrameMargins ScreenForm::frameMargins() const {
    // Known only once the desktop has framed the window; before that the
    // desktop itself keeps a new window's frame on screen.
    const QWindow* window = windowHandle();
    if (window == nullptr) {
        return {};
    }
    const QMargins m = window->frameMargins();
    return {m.left(), m.top(), m.right(), m.bottom()};
}

void ScreenForm::setDesignMinimumSize(QSize size) {
    designMinimum_ = size;
    fitMinimumToScreen();
}

void ScreenForm::fitMinimumToScreen() {
    if (designMinimum_.isEmpty()) {
        return;
    }
    const QRect area = freeArea();
    if (area.isEmpty()) {
        setMinimumSize(designMinimum_);
        return;
    }
    const app::FrameMargins frame = frameMargins();
    setMinimumSize(designMinimum_.boundedTo(
        QSize(area.width() - frame.left - frame.right, area.height() - frame.top - frame.bottom)));
}

QRect ScreenForm::fittedBounds(const app::Bounds& bounds) const {
    const QRect area = freeArea();
    if (area.isEmpty()) {
        return {bounds.left, bounds.top, bounds.width, bounds.height};
    }
    const app::Bounds fitted =
        app::fitInside(bounds, {area.x(), area.y(), area.width(), area.height()}, frameMargins());
    return {fitted.left, fitted.top, fitted.width, fitted.height};
}

void ScreenForm::takeSharedPlace(std::optional<QPoint> topLeft) {
    fitMinimumToScreen();
    if (session_.windowState == app::WindowState::Maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    app::Bounds b = session_.courseMenuBounds;
    if (b.width <= 0 || b.height <= 0) {
        b = {0, 0, width(), height()};
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QPoint c = screen->availableGeometry().center();
            b.left = c.x() - b.width / 2;
            b.top = c.y() - b.height / 2;
        }
    }
    if (topLeft) {
        b.left = topLeft->x();
        b.top = topLeft->y();
    }
    setWindowState(windowState() & ~Qt::WindowMaximized);
    b.width = std::max(b.width, minimumWidth());
    b.height = std::max(b.height, minimumHeight());
    setGeometry(fittedBounds(b));
}

void ScreenForm::leaveSharedPlace() {
    const Qt::WindowStates state = windowState();
    const bool maximised = (state & Qt::WindowMaximized) != 0;
    session_.windowState = maximised ? app::WindowState::Maximised : app::WindowState::Normal;
    if (!maximised && !(state & (Qt::WindowMinimized | Qt::WindowFullScreen))) {
        const QRect r = geometry();
        session_.courseMenuBounds = app::Bounds{r.x(), r.y(), r.width(), r.height()};
    }
}

void ScreenForm::noteSharedState() {
    if (!(windowState() & Qt::WindowMinimized)) {
        session_.windowState = (windowState() & Qt::WindowMaximized) ? app::WindowState::Maximised
                                                                     : app::WindowState::Normal;
    }
}

void ScreenForm::noteSharedBounds() {
    if (isVisible() &&
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        const QRect r = geometry();
        session_.courseMenuBounds = app::Bounds{r.x(), r.y(), r.width(), r.height()};
    }
}

void ScreenForm::showEvent(QShowEvent* event) {
    fitMinimumToScreen();
    // A window that neither its screen nor the learner has placed opens over
    // the window it is opened from, not wherever the desktop puts new ones
    // (a corner, on some).
    if (!testAttribute(Qt::WA_Moved)) {
        const QWidget* opener = QApplication::activeWindow();
        const QRect over = opener != nullptr && opener != this && opener->isVisible()
                               ? opener->frameGeometry()
                               : freeArea();
        QRect r = frameGeometry();
        r.moveCenter(over.center());
        move(r.topLeft());
    }
    // The frame is known only now that the window has one: a place chosen
    // before may leave the frame hanging off the free area.
    platform::fitToScreen(this);
    if (!hintsGiven_) {
        hintsGiven_ = true;
        applyStartupTooltipsTo(*this);
    }
    QWidget::showEvent(event);
}

void ScreenForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        emit hidden();
    }
}

void ScreenForm::changeEvent(QEvent* event) {
    if (minimisesProgram_ && !busy && event->type() == QEvent::WindowStateChange) {
        const bool was =
            static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool is = windowState() & Qt::WindowMinimized;
        if (is && !was) {
            minimiseOthers(this);
        } else if (was && !is) {
            restoreOthers();
        }
    }
    QWidget::changeEvent(event);
}

void ScreenForm::keyPressEvent(QKeyEvent* event) {
    if (closesOnEscape_ && event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tovalo::ui
