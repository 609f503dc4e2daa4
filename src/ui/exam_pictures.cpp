#include "ui/exam_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "ui/fonts.h"

namespace tovalo::ui {

namespace {

struct Colours {
    QColor top;
    QColor bottom;
    QColor edge;
};

Colours toneColours(ButtonTone tone) {
    switch (tone) {
        case ButtonTone::Grade:
            return {QColor(236, 92, 64), QColor(176, 38, 28), QColor(120, 22, 14)};
        case ButtonTone::Navigate:
            return {QColor(78, 146, 226), QColor(28, 86, 170), QColor(16, 52, 110)};
        case ButtonTone::Suspend:
            return {QColor(244, 184, 64), QColor(196, 128, 18), QColor(128, 82, 8)};
        case ButtonTone::Answer:
            return {QColor(86, 190, 120), QColor(28, 128, 70), QColor(16, 84, 44)};
        case ButtonTone::CaseStudy:
            return {QColor(160, 120, 220), QColor(98, 60, 164), QColor(62, 36, 110)};
        case ButtonTone::Repeat:
            return {QColor(70, 190, 196), QColor(20, 124, 134), QColor(10, 80, 88)};
        case ButtonTone::Figure:
            return {QColor(250, 250, 252), QColor(214, 222, 234), QColor(120, 134, 156)};
        case ButtonTone::Close:
            return {QColor(110, 124, 146), QColor(60, 72, 92), QColor(34, 42, 56)};
    }
    return {Qt::gray, Qt::darkGray, Qt::black};
}

void drawGlyph(QPainter& p, ButtonGlyph glyph, QRectF box, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    const QPointF c = box.center();
    const qreal r = box.height() / 2;
    switch (glyph) {
        case ButtonGlyph::None:
            break;
        case ButtonGlyph::Back:
        case ButtonGlyph::Forward: {
            const qreal d = glyph == ButtonGlyph::Forward ? 1 : -1;
            QPolygonF tri;
            tri << QPointF(c.x() - d * r * 0.55, c.y() - r * 0.7)
                << QPointF(c.x() + d * r * 0.65, c.y())
                << QPointF(c.x() - d * r * 0.55, c.y() + r * 0.7);
            p.drawPolygon(tri);
            break;
        }
        case ButtonGlyph::Pause:
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(c.x() - r * 0.6, c.y() - r * 0.65, r * 0.42, r * 1.3));
            p.drawRect(QRectF(c.x() + r * 0.18, c.y() - r * 0.65, r * 0.42, r * 1.3));
            break;
        case ButtonGlyph::Resume: {
            QPolygonF tri;
            tri << QPointF(c.x() - r * 0.5, c.y() - r * 0.7) << QPointF(c.x() + r * 0.7, c.y())
                << QPointF(c.x() - r * 0.5, c.y() + r * 0.7);
            p.drawPolygon(tri);
            break;
        }
        case ButtonGlyph::Check: {
            p.setBrush(Qt::NoBrush);
            QPainterPath path;
            path.moveTo(c.x() - r * 0.7, c.y());
            path.lineTo(c.x() - r * 0.15, c.y() + r * 0.55);
            path.lineTo(c.x() + r * 0.75, c.y() - r * 0.6);
            p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
            break;
        }
        case ButtonGlyph::Repeat: {
            p.setBrush(Qt::NoBrush);
            const QRectF ring(c.x() - r * 0.7, c.y() - r * 0.7, r * 1.4, r * 1.4);
            p.drawArc(ring, 60 * 16, 280 * 16);
            const QPointF tip(ring.center().x() + r * 0.7 * qCos(qDegreesToRadians(60.0)),
                              ring.center().y() - r * 0.7 * qSin(qDegreesToRadians(60.0)));
            p.setBrush(colour);
            QPolygonF head;
            head << tip + QPointF(-r * 0.5, -r * 0.05) << tip + QPointF(r * 0.15, r * 0.45)
                 << tip + QPointF(r * 0.25, -r * 0.4);
            p.drawPolygon(head);
            break;
        }
        case ButtonGlyph::Picture: {
            p.setBrush(Qt::NoBrush);
            const QRectF frame(c.x() - r * 0.8, c.y() - r * 0.6, r * 1.6, r * 1.2);
            p.setPen(QPen(colour, 1.6));
            p.drawRect(frame);
            p.setBrush(colour);
            QPolygonF hill;
            hill << QPointF(frame.left() + 1, frame.bottom() - 1)
                 << QPointF(frame.left() + frame.width() * 0.4, frame.top() + frame.height() * 0.45)
                 << QPointF(frame.left() + frame.width() * 0.65,
                            frame.bottom() - frame.height() * 0.3)
                 << QPointF(frame.right() - frame.width() * 0.15,
                            frame.top() + frame.height() * 0.35)
                 << QPointF(frame.right() - 1, frame.bottom() - 1);
            p.setPen(Qt::NoPen);
            p.drawPolygon(hill);
            break;
        }
        case ButtonGlyph::Document: {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour, 1.6));
            const QRectF page(c.x() - r * 0.55, c.y() - r * 0.75, r * 1.1, r * 1.5);
            p.drawRect(page);
            for (int i = 0; i < 3; ++i) {
                const qreal y = page.top() + page.height() * (0.3 + 0.22 * i);
                p.drawLine(QPointF(page.left() + 3, y), QPointF(page.right() - 3, y));
            }
            break;
        }
    }
    p.restore();
}

}  // namespace

QPixmap buttonPicture(QSize size, const QString& caption, ButtonTone tone, ButtonGlyph glyph,
                      bool enabled) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    Colours c = toneColours(tone);
    const bool light = tone == ButtonTone::Figure;
    QColor text = light ? QColor(28, 44, 72) : Qt::white;
    if (!enabled) {
        c = {QColor(150, 152, 156), QColor(112, 114, 118), QColor(86, 88, 92)};
        text = QColor(214, 214, 214);
    }
    const QRectF body = QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, c.top);
    fill.setColorAt(1.0, c.bottom);
    p.setPen(QPen(c.edge, 1));
    p.setBrush(fill);
    const qreal radius = qMin<qreal>(6, size.height() / 4.0);
    p.drawRoundedRect(body, radius, radius);
    // A soft highlight on the upper half gives the flat shape some relief.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, light ? 120 : 46));
    p.drawRoundedRect(
        QRectF(body.left() + 2, body.top() + 2, body.width() - 4, body.height() / 2 - 2),
        radius - 1, radius - 1);

    const qreal glyphSize = glyph == ButtonGlyph::None ? 0 : size.height() * 0.46;
    QFont font = uiFont(size.height() >= 30 ? 14 : 12, true);
    p.setFont(font);
    const qreal textWidth = caption.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(caption);
    const qreal gap = glyphSize > 0 && textWidth > 0 ? 6 : 0;
    const qreal total = glyphSize + gap + textWidth;
    qreal x = (size.width() - total) / 2;
    // Arrows that point forward read better after the word.
    const bool glyphAfter = glyph == ButtonGlyph::Forward;
    auto glyphBox = [&](qreal left) {
        return QRectF(left, (size.height() - glyphSize) / 2, glyphSize, glyphSize);
    };
    if (glyphSize > 0 && !glyphAfter) {
        drawGlyph(p, glyph, glyphBox(x), text);
        x += glyphSize + gap;
    }
    if (textWidth > 0) {
        p.setPen(text);
        p.drawText(QRectF(x, 0, textWidth + 1, size.height()), Qt::AlignVCenter | Qt::AlignLeft,
                   caption);
        x += textWidth + gap;
    }
    if (glyphSize > 0 && glyphAfter) {
        drawGlyph(p, glyph, glyphBox(x), text);
    }
    return pixmap;
}

QPixmap introductionCard(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0.0, QColor(12, 32, 70));
    sky.setColorAt(1.0, QColor(22, 96, 150));
    p.fillRect(QRectF(0, 0, w, h), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 16));
    p.drawEllipse(QPointF(w * 0.92, h * 0.05), 120, 120);
    p.drawEllipse(QPointF(w * 0.92, h * 0.05), 80, 80);

    p.setBrush(QColor(255, 255, 255, 238));
    const QRectF sheet(0, 62, w, h - 62 - 30);
    p.drawRect(sheet);
    p.setBrush(QColor(220, 40, 50));
    p.drawRect(QRectF(0, 62, 5, sheet.height()));

    p.setPen(Qt::white);
    p.setFont(uiFont(24, true));
    p.drawText(QRectF(18, 8, w - 36, 32), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tovalo"));
    p.setPen(QColor(190, 220, 255));
    p.setFont(uiFont(13));
    p.drawText(QRectF(18, 36, w - 36, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("模擬試験を開始します"));
    p.setPen(QColor(210, 226, 246));
    p.setFont(uiFont(11));
    p.drawText(QRectF(12, h - 30, w - 24, 30), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("スペースキーですぐに始まります"));
    p.setPen(QPen(QColor(8, 20, 44), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pixmap;
}

QPixmap plainClockFace() {
    QPixmap pixmap(118, 120);
    pixmap.fill(QColor(30, 40, 60));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(59, 53);
    p.setPen(QPen(QColor(60, 120, 200), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 50, 50);
    p.setPen(QPen(QColor(40, 40, 48), 1.5));
    for (int i = 0; i < 60; i += 5) {
        const qreal a = i * M_PI / 30;
        const qreal inner = i % 15 == 0 ? 40 : 44;
        p.drawLine(QPointF(centre.x() + qSin(a) * inner, centre.y() - qCos(a) * inner),
                   QPointF(centre.x() + qSin(a) * 48, centre.y() - qCos(a) * 48));
    }
    p.setPen(QColor(200, 220, 250));
    p.setFont(uiFont(11, true));
    p.drawText(QRectF(0, 104, 118, 16), Qt::AlignCenter, QStringLiteral("TIME"));
    return pixmap;
}

}  // namespace tovalo::ui
