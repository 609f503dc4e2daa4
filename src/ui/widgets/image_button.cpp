#include "ui/widgets/image_button.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

namespace tovalo::ui {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    // Tab reaches every picture button; a click leaves the focus where it
    // was, as it always has.
    setFocusPolicy(Qt::TabFocus);
    // Released comes just before clicked: a box the click opens waits for
    // its answer with the button already drawn back in place, not pressed.
    connect(this, &QAbstractButton::released, this, [this] { shift(false, true); });
}

void ImageButton::setPictures(const QPixmap& normal, const QPixmap& disabled) {
    normal_ = normal;
    disabled_ = disabled;
    greyed_ = QPixmap();
    if (disabled_.isNull() && !normal_.isNull()) {
        QStyleOption option;
        option.initFrom(this);
        greyed_ = style()->generatedIconPixmap(QIcon::Disabled, normal_, &option);
    }
    if (!normal_.isNull()) {
        setFixedSize(normal_.deviceIndependentSize().toSize());
    }
    if (hasFocus()) {
        ring_.take(this, rect());
    }
    update();
}

const QPixmap& ImageButton::shownPicture() const {
    if (!isEnabled()) {
        return disabled_.isNull() ? greyed_ : disabled_;
    }
    return normal_;
}

QSize ImageButton::sizeHint() const {
    return normal_.isNull() ? QSize(16, 16) : normal_.deviceIndependentSize().toSize();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, shownPicture());
    // Drawn over the picture, since the pictures have no focused look of
    // their own.
    if (hasFocus() && !ring_.taking()) {
        ring_.draw(painter);
    }
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    ring_.take(this, rect());
    QAbstractButton::focusInEvent(event);
}

void ImageButton::moveEvent(QMoveEvent* event) {
    QAbstractButton::moveEvent(event);
    // The ring looks at what lies round the button once the layout the
    // move belongs to is done.
    if (hasFocus()) {
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) {
                ring_.take(this, rect());
                update();
            }
        });
    }
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses a focused picture button like Space does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (isEnabled()) {
            click();
        }
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void ImageButton::shift(bool down, bool drawNow) {
    if (shifted_ == down) {
        return;
    }
    shifted_ = down;
    const QRect was = geometry();
    int d = down ? kPressShift : -kPressShift;
    move(pos() + QPoint(d, d));
    if (drawNow && parentWidget() != nullptr) {
        parentWidget()->repaint(was.united(geometry()));
    }
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        shift(true);
    }
    QAbstractButton::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        shift(false);
    }
}

bool ImageButton::hitButton(const QPoint& pos) const {
    // While pressed the button has moved away from under the pointer; the
    // strip it uncovered still belongs to it.
    QRect area = rect();
    if (shifted_) {
        area.adjust(-kPressShift, -kPressShift, 0, 0);
    }
    return area.contains(pos);
}

void ImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        shift(false);
    }
    QAbstractButton::changeEvent(event);
}

void ImageButton::hideEvent(QHideEvent* event) {
    shift(false);
    QAbstractButton::hideEvent(event);
}

}  // namespace tovalo::ui
