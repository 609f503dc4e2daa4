#include "ui/widgets/clock_face.h"

#include <QPainter>

#include "ui/widgets/artwork.h"

namespace tovalo::ui {

ClockFace::ClockFace(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    canvas_ = QImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    setFace({});
}

void ClockFace::setFace(const QPixmap& face) {
    const QPixmap source = face.isNull() ? plainClockFace() : face;
    face_ = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    redrawFull();
}

void ClockFace::redrawFull() {
    canvas_.fill(Qt::transparent);
    QPainter p(&canvas_);
    p.drawImage(0, 0, face_);
    update();
}

void ClockFace::redrawSmall() {
    QPainter p(&canvas_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), face_, QRect(0, 0, kSmallFace, kSmallFace));
    update();
}

void ClockFace::drawHand(const ClockHand& hand, bool red) {
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(red ? QColor(255, 0, 0) : QColor(0, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(hand.x1, hand.y1, hand.x2, hand.y2);
    update();
}

void ClockFace::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_);
}

}  // namespace tovalo::ui
