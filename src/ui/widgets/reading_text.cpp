#include "ui/widgets/reading_text.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "ui/widgets/focus_outline.h"

namespace tovalo::ui {

ReadingText::ReadingText(QPlainTextEdit* text, QWidget* holder)
    : QObject(holder), text_(text), viewport_(text->viewport()), holder_(holder) {
    text->setFocusPolicy(Qt::NoFocus);
    text->viewport()->setMouseTracking(true);
    text->installEventFilter(this);
    text->viewport()->installEventFilter(this);
    holder->setFocusPolicy(Qt::StrongFocus);
    holder->installEventFilter(this);
    outlineKeyboardFocus(holder);
}

bool ReadingText::eventFilter(QObject* watched, QEvent* event) {
    // Only pointers are compared here: the filter also sees the events of
    // a text being destroyed, when it may no longer be called.
    const QEvent::Type type = event->type();
    if (watched == text_ && type == QEvent::KeyRelease) {
        holder_->setFocus();
    }
    if (watched == viewport_ && holder_->isActiveWindow() &&
        (type == QEvent::MouseMove || type == QEvent::MouseButtonPress)) {
        holder_->setFocus(Qt::MouseFocusReason);
    }
    if (watched == holder_ && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End: {
                QKeyEvent copy(key->type(), key->key(), key->modifiers());
                QCoreApplication::sendEvent(text_->verticalScrollBar(), &copy);
                return true;
            }
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tovalo::ui
