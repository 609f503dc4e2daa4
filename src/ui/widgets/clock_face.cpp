#include "ui/widgets/clock_face.h"

#include <QPainter>

#include "ui/widgets/artwork.h"

namespace tovalo::ui {

ClockFace::ClockFace(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    // The hands are drawn with the screen's own pixels, so that they stay
    // smooth at 150 % and 200 %; the face picture is drawn to the same size.
    const qreal ratio = devicePixelRatioF();
    canvas_ = QImage(QSize(kWidth, kHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas_.setDevicePixelRatio(ratio);
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
    p.drawImage(QRectF(QPointF(0, 0), face_.deviceIndependentSize()), face_, QRectF(face_.rect()));
    update();
}

void ClockFace::redrawSmall() {
    QPainter p(&canvas_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const qreal faceRatio = face_.devicePixelRatio();
    p.drawImage(QRectF(0, 0, kSmallFace, kSmallFace), face_,
                QRectF(0, 0, kSmallFace * faceRatio, kSmallFace * faceRatio));
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
