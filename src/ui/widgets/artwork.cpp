#include "ui/widgets/artwork.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include "core/catalog/course_menu_rules.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"

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

// The glyphs of the bar buttons: white strokes on the accent disc.
void drawBarGlyph(QPainter& p, ButtonGlyph glyph, QPointF c, qreal r) {
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
        default:
            // The exam screens' glyphs have no bar-button form.
            break;
    }
}

}  // namespace

QPixmap blankPicture(QSize size) {
    return blank(size, screenRatio());
}

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
    drawBarGlyph(p, glyph, centre, r);

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

// The glyphs of the exam screens' buttons, in the caption's colour.
void drawToneGlyph(QPainter& p, ButtonGlyph glyph, QRectF box, const QColor& colour) {
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
        case ButtonGlyph::Delete: {
            // A waste bin: lid with its handle, and a tapering body with slats.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const qreal lid = c.y() - r * 0.55;
            p.drawLine(QPointF(c.x() - r * 0.75, lid), QPointF(c.x() + r * 0.75, lid));
            p.drawLine(QPointF(c.x() - r * 0.22, lid), QPointF(c.x() - r * 0.22, lid - r * 0.22));
            p.drawLine(QPointF(c.x() - r * 0.22, lid - r * 0.22),
                       QPointF(c.x() + r * 0.22, lid - r * 0.22));
            p.drawLine(QPointF(c.x() + r * 0.22, lid - r * 0.22), QPointF(c.x() + r * 0.22, lid));
            QPolygonF body;
            body << QPointF(c.x() - r * 0.58, lid + r * 0.2)
                 << QPointF(c.x() + r * 0.58, lid + r * 0.2)
                 << QPointF(c.x() + r * 0.44, c.y() + r * 0.8)
                 << QPointF(c.x() - r * 0.44, c.y() + r * 0.8);
            p.drawPolygon(body);
            for (qreal dx : {-0.2, 0.2}) {
                p.drawLine(QPointF(c.x() + r * dx, lid + r * 0.45),
                           QPointF(c.x() + r * dx, c.y() + r * 0.58));
            }
            break;
        }
        default:
            // The bar buttons' glyphs have no exam-button form.
            break;
    }
    p.restore();
}

}  // namespace

QPixmap buttonPicture(QSize size, const QString& caption, ButtonTone tone, ButtonGlyph glyph,
                      bool enabled) {
    QPixmap pixmap = blank(size, screenRatio());
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
    const QRectF body = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
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
        drawToneGlyph(p, glyph, glyphBox(x), text);
        x += glyphSize + gap;
    }
    if (textWidth > 0) {
        p.setPen(text);
        p.drawText(QRectF(x, 0, textWidth + 1, size.height()), Qt::AlignVCenter | Qt::AlignLeft,
                   caption);
        x += textWidth + gap;
    }
    if (glyphSize > 0 && glyphAfter) {
        drawToneGlyph(p, glyph, glyphBox(x), text);
    }
    return pixmap;
}

void setToneButtonLook(ImageButton* button, QSize size, const QString& caption, ButtonTone tone,
                       ButtonGlyph glyph) {
    button->setPictures(buttonPicture(size, caption, tone, glyph, true),
                        buttonPicture(size, caption, tone, glyph, false));
    // The caption is painted into the picture; a screen reader needs it as
    // text. Buttons without one name themselves after their hint.
    if (!caption.isEmpty()) {
        button->setAccessibleName(caption);
    }
}

QPixmap introductionCard(QSize size) {
    QPixmap pixmap = blank(size, screenRatio());
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
    QPixmap pixmap = blank(QSize(118, 120), screenRatio());
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
