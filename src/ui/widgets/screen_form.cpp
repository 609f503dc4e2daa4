#include "ui/widgets/screen_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QWindowStateChangeEvent>
#include <vector>

#include "ui/startup/session.h"
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
}

QString ScreenForm::formName() const {
    QString name = QString::fromLatin1(metaObject()->className());
    qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

void ScreenForm::takeSharedPlace(std::optional<QPoint> topLeft) {
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
    setGeometry(b.left, b.top, std::max(b.width, minimumWidth()),
                std::max(b.height, minimumHeight()));
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
