#include "ui/widgets/focus_outline.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QWidget>

namespace tovalo::ui {

namespace {

class FocusOutline : public QWidget {
  public:
    FocusOutline(QWidget* control, int margin)
        : QWidget(control->parentWidget()), control_(control), margin_(margin) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        control->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn: {
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
                    place();
                    show();
                    raise();
                }
                break;
            }
            case QEvent::FocusOut:
            case QEvent::Hide:
                hide();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                place();
                break;
            default:
                break;
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        // Dark outside and light inside, so that it shows on the white
        // choice panel and over a dark page alike.
        QPainter p(this);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 70, 160), 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
    }

  private:
    void place() {
        setGeometry(control_->geometry().adjusted(-margin_, -margin_, margin_, margin_));
    }

    QWidget* control_;
    int margin_;
};

}  // namespace

void outlineKeyboardFocus(QWidget* control, int margin) {
    new FocusOutline(control, margin);
}

}  // namespace tovalo::ui
