#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ui/fonts.h"

namespace tovalo::ui {

namespace {

// A ticked answer sheet: the program's emblem.
void drawEmblem(QPainter& p, QRectF box) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(box, 8, 8);
    QPen line(QColor(40, 90, 150), 3, Qt::SolidLine, Qt::RoundCap);
    p.setPen(line);
    qreal x0 = box.left() + box.width() * 0.42;
    qreal x1 = box.right() - box.width() * 0.14;
    for (int i = 0; i < 3; ++i) {
        qreal y = box.top() + box.height() * (0.28 + 0.22 * i);
        p.drawLine(QPointF(x0, y), QPointF(x1, y));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(box.left() + box.width() * 0.25, y), 5, 5);
    }
    QPen tick(QColor(220, 40, 50), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    QPainterPath path;
    qreal cx = box.left() + box.width() * 0.25;
    qreal cy = box.top() + box.height() * 0.50;
    path.moveTo(cx - 8, cy - 2);
    path.lineTo(cx - 2, cy + 6);
    path.lineTo(cx + 12, cy - 12);
    p.drawPath(path);
    p.restore();
}

}  // namespace

QPixmap drawTitlePicture(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const qreal w = size.width();
    const qreal h = size.height();
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0.0, QColor(10, 30, 66));
    sky.setColorAt(0.55, QColor(18, 62, 118));
    sky.setColorAt(1.0, QColor(22, 118, 170));
    p.fillRect(QRectF(0, 0, w, h), sky);

    // Soft rings to the right give the plain gradient some depth.
    for (int i = 0; i < 5; ++i) {
        qreal r = 60 + i * 38;
        QRadialGradient glow(QPointF(w * 0.86, h * 0.2), r);
        glow.setColorAt(0.0, QColor(255, 255, 255, 18));
        glow.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setPen(QPen(QColor(255, 255, 255, 26 - i * 4), 1.2));
        p.setBrush(glow);
        p.drawEllipse(QPointF(w * 0.86, h * 0.2), r, r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRect(QRectF(0, h - 34, w, 34));

    drawEmblem(p, QRectF(28, 30, 78, 92));

    p.setPen(Qt::white);
    QFont title = uiFont(46, true);
    title.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(title);
    p.drawText(QRectF(124, 26, w - 140, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tovalo"));
    p.setPen(QColor(196, 224, 255));
    p.setFont(uiFont(17));
    p.drawText(QRectF(128, 84, w - 140, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("IT資格 模擬試験トレーニング"));
    p.setPen(QColor(225, 236, 250));
    p.setFont(uiFont(12));
    p.drawText(QRectF(16, h - 34, w - 32, 34), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Practice Test Series  Ver. 2.0"));
    return pixmap;
}

}  // namespace tovalo::ui
