#include "platform/qt_window_order.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace tovalo::platform {

namespace {

constexpr const char* kHandBackName = "tovalo-hand-back";

// Message boxes are dialogs; menus, tool tips and pop-ups never hold the
// keyboard for long and are left out.
bool takesPart(const QWidget* w) {
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

class WindowOrder : public QObject {
  public:
    using QObject::QObject;

    // The window nearest the front that the learner can still use, other
    // than `gone`.
    [[nodiscard]] QWidget* frontmostExcept(const QWidget* gone) const {
        for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
            QWidget* w = *it;
            if (w != nullptr && w != gone && w->isVisible() && !w->isMinimized()) {
                return w;
            }
        }
        return nullptr;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) &&
            watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (takesPart(w)) {
                std::erase_if(order_, [w](const QPointer<QWidget>& p) { return p == w || !p; });
                order_.emplace_back(w);
            }
        }
        return false;
    }

  private:
    std::vector<QPointer<QWidget>> order_;
};

QPointer<WindowOrder>& followed() {
    static QPointer<WindowOrder> order;
    return order;
}

QWidget* firstTabStop(QWidget* window) {
    for (QWidget* w = window->nextInFocusChain(); w != nullptr && w != window;
         w = w->nextInFocusChain()) {
        if (w->window() == window && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) != 0) {
            return w;
        }
    }
    return nullptr;
}

// `gone` is null once a box that was answered has been destroyed.
void handBack(const QWidget* gone) {
    if ((gone != nullptr && gone->isVisible()) || followed() == nullptr) {
        return;
    }
    // A window that took the keyboard meanwhile (the next screen showing
    // itself) keeps it.
    const QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active != gone && active->isVisible()) {
        return;
    }
    QWidget* below = followed()->frontmostExcept(gone);
    if (below == nullptr) {
        return;
    }
    below->raise();
    below->activateWindow();
    QWidget* focus = below->focusWidget();
    if (focus == nullptr || !focus->isVisible() || !focus->isEnabled()) {
        focus = firstTabStop(below);
    }
    if (focus != nullptr) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

class HandBack : public QObject {
  public:
    explicit HandBack(QWidget* window) : QObject(window) {
        setObjectName(QLatin1String(kHandBackName));
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Only a window that loses the keyboard by being hidden gives it
        // back; one minimised or left for another program does not.
        if (event->type() == QEvent::WindowDeactivate && watched == parent() &&
            static_cast<QWidget*>(watched)->isHidden() && followed() != nullptr) {
            // Once the caller is done: closing a window often goes with
            // showing the next one, which then is the one in front.
            QMetaObject::invokeMethod(
                followed(),
                [gone = QPointer<QWidget>(static_cast<QWidget*>(watched))] { handBack(gone); },
                Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace

void followWindowOrder() {
    if (followed() != nullptr || qApp == nullptr) {
        return;
    }
    followed() = new WindowOrder(qApp);
    qApp->installEventFilter(followed());
}

void handBackOnHide(QWidget* window) {
    if (window->findChild<QObject*>(QLatin1String(kHandBackName), Qt::FindDirectChildrenOnly) ==
        nullptr) {
        new HandBack(window);
    }
}

}  // namespace tovalo::platform
