#include "ui/artwork.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "core/catalog/course_menu_rules.h"
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

namespace {

// The badge colours of the level strips that every vendor bundle carries.
QColor levelColour(int level) {
    switch (level) {
        case 1:
            return QColor(70, 170, 90);
        case 2:
            return QColor(40, 120, 200);
        case 3:
            return QColor(220, 120, 30);
        case 4:
            return QColor(190, 40, 60);
        default:
            return QColor(112, 120, 134);
    }
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

qreal screenRatio() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? qGuiApp->devicePixelRatio()
               : 1.0;
}

QPixmap blank(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap paintLevelIcon(int level, bool highlighted) {
    const qreal ratio = screenRatio();
    const int side = kLevelIconSize;
    QPixmap pixmap = blank(QSize(side, side), ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QColor base = levelColour(level);
    const QColor face = highlighted ? base : mix(base, QColor(0, 0, 0), 0.5);
    QLinearGradient shade(0, 0, 0, side);
    shade.setColorAt(0.0, mix(face, Qt::white, highlighted ? 0.35 : 0.12));
    shade.setColorAt(1.0, face);
    const QRectF box(1, 1, side - 2, side - 2);
    p.setPen(highlighted ? QPen(Qt::white, 1.4) : QPen(mix(face, Qt::black, 0.3), 1));
    p.setBrush(shade);
    p.drawRoundedRect(box, 4, 4);

    const QColor ink = highlighted ? QColor(Qt::white) : QColor(196, 200, 208);
    if (level == 0) {
        p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, side / 2.0), QPointF(side - 6, side / 2.0));
    } else {
        QFont digit = uiFont(12, true);
        p.setFont(digit);
        p.setPen(ink);
        p.drawText(box.adjusted(0, -1, 0, 0), Qt::AlignCenter, QString::number(level));
    }
    return pixmap;
}

void drawGlyph(QPainter& p, ButtonGlyph glyph, QPointF c, qreal r) {
    const QPen line(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
        case ButtonGlyph::Start: {
            QPolygonF play;
            play << QPointF(c.x() - r * 0.35, c.y() - r * 0.5) << QPointF(c.x() + r * 0.55, c.y())
                 << QPointF(c.x() - r * 0.35, c.y() + r * 0.5);
            p.setBrush(Qt::white);
            p.drawPolygon(play);
            break;
        }
        case ButtonGlyph::Back: {
            p.drawLine(QPointF(c.x() + r * 0.5, c.y()), QPointF(c.x() - r * 0.45, c.y()));
            p.drawLine(QPointF(c.x() - r * 0.45, c.y()),
                       QPointF(c.x() - r * 0.05, c.y() - r * 0.42));
            p.drawLine(QPointF(c.x() - r * 0.45, c.y()),
                       QPointF(c.x() - r * 0.05, c.y() + r * 0.42));
            break;
        }
        case ButtonGlyph::Exit: {
            QRectF ring(c.x() - r * 0.5, c.y() - r * 0.45, r, r);
            p.drawArc(ring, 120 * 16, 300 * 16);
            p.drawLine(QPointF(c.x(), c.y() - r * 0.6), QPointF(c.x(), c.y() - r * 0.05));
            break;
        }
        case ButtonGlyph::Diagnosis: {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            const qreal w = r * 0.26;
            const qreal base = c.y() + r * 0.5;
            const qreal heights[] = {0.45, 0.75, 1.0};
            for (int i = 0; i < 3; ++i) {
                qreal x = c.x() - r * 0.5 + i * (w + r * 0.1);
                p.drawRect(QRectF(x, base - r * heights[i], w, r * heights[i]));
            }
            break;
        }
        case ButtonGlyph::Update: {
            p.drawLine(QPointF(c.x(), c.y() - r * 0.55), QPointF(c.x(), c.y() + r * 0.15));
            p.drawLine(QPointF(c.x() - r * 0.32, c.y() - r * 0.15),
                       QPointF(c.x(), c.y() + r * 0.17));
            p.drawLine(QPointF(c.x() + r * 0.32, c.y() - r * 0.15),
                       QPointF(c.x(), c.y() + r * 0.17));
            p.drawLine(QPointF(c.x() - r * 0.5, c.y() + r * 0.5),
                       QPointF(c.x() + r * 0.5, c.y() + r * 0.5));
            break;
        }
        case ButtonGlyph::Sync: {
            QRectF ring(c.x() - r * 0.5, c.y() - r * 0.5, r, r);
            p.drawArc(ring, 20 * 16, 140 * 16);
            p.drawArc(ring, 200 * 16, 140 * 16);
            p.setBrush(Qt::white);
            p.setPen(Qt::NoPen);
            const qreal a = r * 0.22;
            QPolygonF head1;
            head1 << QPointF(c.x() + r * 0.5 - a, c.y() - a * 0.4)
                  << QPointF(c.x() + r * 0.5 + a, c.y() - a * 0.4)
                  << QPointF(c.x() + r * 0.5, c.y() + a * 0.9);
            QPolygonF head2;
            head2 << QPointF(c.x() - r * 0.5 - a, c.y() + a * 0.4)
                  << QPointF(c.x() - r * 0.5 + a, c.y() + a * 0.4)
                  << QPointF(c.x() - r * 0.5, c.y() - a * 0.9);
            p.drawPolygon(head1);
            p.drawPolygon(head2);
            break;
        }
        case ButtonGlyph::News: {
            QRectF sheet(c.x() - r * 0.48, c.y() - r * 0.5, r * 0.96, r);
            p.setPen(QPen(Qt::white, 1.6));
            p.drawRoundedRect(sheet, 1.5, 1.5);
            p.setPen(QPen(Qt::white, 1.2));
            for (int i = 0; i < 3; ++i) {
                qreal y = sheet.top() + r * (0.28 + 0.24 * i);
                p.drawLine(QPointF(sheet.left() + r * 0.18, y),
                           QPointF(sheet.right() - r * 0.18, y));
            }
            break;
        }
    }
}

}  // namespace

const QPixmap& levelIcon(int level, bool highlighted) {
    static QPixmap icons[5][2];
    const int l = level < 0 || level > 4 ? 0 : level;
    QPixmap& icon = icons[l][highlighted ? 1 : 0];
    if (icon.isNull()) {
        icon = paintLevelIcon(l, highlighted);
    }
    return icon;
}

QPixmap drawBarButton(QSize size, const QString& label, ButtonGlyph glyph, const QColor& accent,
                      bool prominent) {
    const qreal ratio = screenRatio();
    QPixmap pixmap = blank(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF face(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient shade(0, 0, 0, size.height());
    if (prominent) {
        shade.setColorAt(0.0, QColor(250, 170, 60));
        shade.setColorAt(0.5, QColor(232, 128, 30));
        shade.setColorAt(1.0, QColor(196, 92, 16));
        p.setPen(QPen(QColor(255, 214, 150), 1));
    } else {
        shade.setColorAt(0.0, QColor(70, 80, 100));
        shade.setColorAt(0.5, QColor(44, 52, 68));
        shade.setColorAt(1.0, QColor(30, 35, 46));
        p.setPen(QPen(QColor(118, 130, 152), 1));
    }
    p.setBrush(shade);
    p.drawRoundedRect(face, 6, 6);
    // A soft highlight on the upper half reads as a raised button.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, prominent ? 40 : 22));
    p.drawRoundedRect(QRectF(2, 2, size.width() - 4, size.height() / 2.0 - 2), 5, 5);

    const qreal r = size.height() * 0.3;
    const QPointF centre(8 + r, size.height() / 2.0);
    p.setBrush(prominent ? QColor(150, 56, 0, 140) : accent);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawEllipse(centre, r, r);
    drawGlyph(p, glyph, centre, r);

    p.setPen(Qt::white);
    p.setFont(uiFont(prominent ? 15 : 13, true));
    const QRectF text(centre.x() + r + 4, 0, size.width() - centre.x() - r - 10, size.height());
    p.drawText(text, Qt::AlignCenter, label);
    return pixmap;
}

QPixmap drawTabArrow(bool pointsLeft) {
    const QSize size(14, 24);
    const qreal ratio = screenRatio();
    QPixmap pixmap = blank(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0.0, QColor(70, 80, 100));
    shade.setColorAt(1.0, QColor(30, 35, 46));
    p.setPen(QPen(QColor(118, 130, 152), 1));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    QPolygonF head;
    const qreal cx = size.width() / 2.0;
    const qreal cy = size.height() / 2.0;
    if (pointsLeft) {
        head << QPointF(cx + 2.5, cy - 5) << QPointF(cx - 3, cy) << QPointF(cx + 2.5, cy + 5);
    } else {
        head << QPointF(cx - 2.5, cy - 5) << QPointF(cx + 3, cy) << QPointF(cx - 2.5, cy + 5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(head);
    return pixmap;
}

QPixmap drawPlainTab(const QString& label) {
    const QSize size(kTabWidth, kTabHeight);
    const qreal ratio = screenRatio();
    QPixmap pixmap = blank(size, ratio);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(1.5, 1.5, size.width() - 3, size.height() + 8), 8, 8);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0.0, QColor(92, 104, 126));
    shade.setColorAt(1.0, QColor(52, 60, 76));
    p.setPen(QPen(QColor(150, 162, 184), 1));
    p.setBrush(shade);
    p.drawPath(tab);
    p.setPen(Qt::white);
    p.setFont(uiFont(12, true));
    p.drawText(QRectF(4, 2, size.width() - 8, size.height() - 4), Qt::AlignCenter,
               p.fontMetrics().elidedText(label, Qt::ElideRight, size.width() - 8));
    return pixmap;
}

}  // namespace tovalo::ui
