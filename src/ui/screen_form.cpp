#include "ui/screen_form.h"

#include <QApplication>
#include <QPointer>
#include <QWindowStateChangeEvent>
#include <vector>

#include "ui/lazy_controls.h"

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

ScreenForm::ScreenForm(Session& session, Screens& screens)
    : QWidget(nullptr, Qt::Window), session_(session), screens_(screens) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

QString ScreenForm::formName() const {
    QString name = QString::fromLatin1(metaObject()->className());
    qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

void ScreenForm::showEvent(QShowEvent* event) {
    if (!hintsGiven_) {
        hintsGiven_ = true;
        applyStartupTooltipsTo(*this);
    }
    QWidget::showEvent(event);
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

}  // namespace tovalo::ui
