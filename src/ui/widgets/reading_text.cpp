#include "ui/widgets/reading_text.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace tovalo::ui {

namespace {

// Lies over the holder, page view included, and lets every press through.
class FocusOutline : public QWidget {
  public:
    explicit FocusOutline(QWidget* holder) : QWidget(holder) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 3));
        p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
};

}  // namespace

ReadingText::ReadingText(QPlainTextEdit* text, QWidget* holder)
    : QObject(holder),
      text_(text),
      viewport_(text->viewport()),
      holder_(holder),
      outline_(new FocusOutline(holder)) {
    text->setFocusPolicy(Qt::NoFocus);
    text->viewport()->setMouseTracking(true);
    text->installEventFilter(this);
    text->viewport()->installEventFilter(this);
    holder->setFocusPolicy(Qt::StrongFocus);
    holder->installEventFilter(this);
}

bool ReadingText::eventFilter(QObject* watched, QEvent* event) {
    // Only pointers are compared here: the filter also sees the events of
    // a text being destroyed, when it may no longer be called.
    const QEvent::Type type = event->type();
    if ((watched == text_ && type == QEvent::KeyRelease) ||
        (watched == viewport_ && holder_->isActiveWindow() &&
         (type == QEvent::MouseMove || type == QEvent::MouseButtonPress))) {
        holder_->setFocus();
    }
    if (watched == holder_ && (type == QEvent::FocusIn || type == QEvent::FocusOut)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        outline_->setVisible(type == QEvent::FocusIn && keyboard);
        if (outline_->isVisible()) {
            outline_->setGeometry(holder_->rect());
            outline_->raise();
        }
    }
    if (watched == holder_ && type == QEvent::Resize) {
        outline_->setGeometry(holder_->rect());
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
