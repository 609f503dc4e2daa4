#include "ui/widgets/click_picture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

// One colour for each mark number, so that marks tell apart at a glance.
const std::array<QColor, MarkBoard::kMaxZones> kMarkColours{
    QColor(230, 86, 20), QColor(28, 110, 200), QColor(36, 150, 70), QColor(150, 60, 190),
    QColor(200, 40, 110)};
const QColor kOutline(20, 24, 32, 200);
const QColor kCrosshair(255, 200, 40);

qreal pictureRatio() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

void drawNumberBadge(QPainter& p, QPointF centre, qreal radius, int number, const QColor& colour) {
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius + 1.5, radius + 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::white);
    p.setFont(uiFont(static_cast<int>(radius * 1.6), true));
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawText(box, Qt::AlignCenter, QString::number(number));
}

}  // namespace

// One mark picture, `CsrImg1`.. A left press on it is a press on the
// picture under it; the right button takes the mark off.
class MarkPin : public QWidget {
  public:
    MarkPin(QWidget* parent, ClickPicture* owner, int number, ClickPicture::MarkShape shape)
        : QWidget(parent),
          owner_(owner),
          number_(number),
          look_(ClickPicture::markPicture(number, shape)) {
        setObjectName(QStringLiteral("CsrImg%1").arg(number));
        setAccessibleName(QStringLiteral("印 %1").arg(number));
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(ClickPicture::kMarkSize, ClickPicture::kMarkSize);
        setCursor(Qt::PointingHandCursor);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, look_);
    }

    void mousePressEvent(QMouseEvent* event) override {
        const QPoint inParent = mapToParent(event->position().toPoint());
        owner_->pinPressed(number_, inParent - owner_->pos(), event->button());
    }

  private:
    ClickPicture* owner_;
    int number_;
    QPixmap look_;
};

ClickPicture::ClickPicture(QWidget* parent, MarkShape shape, RightPress rightPress)
    : QWidget(parent), shape_(shape), rightPress_(rightPress) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    for (int k = 0; k < MarkBoard::kMaxZones; ++k) {
        pins_[k] = new MarkPin(parent, this, k + 1, shape);
    }
}

bool ClickPicture::usesKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            return true;
        default:
            return false;
    }
}

QPixmap ClickPicture::markPicture(int number, MarkShape shape) {
    const qreal ratio = pictureRatio();
    QPixmap pixmap(QSize(kMarkSize, kMarkSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor colour = kMarkColours[(number - 1) % kMarkColours.size()];

    if (shape == MarkShape::Ring) {
        // A ring around the point leaves what was marked visible; the dot is
        // the point itself.
        const QPointF c(kMarkSize / 2.0, kMarkSize / 2.0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kOutline, 5.5));
        p.drawEllipse(c, 8.5, 8.5);
        p.setPen(QPen(colour, 3.0));
        p.drawEllipse(c, 8.5, 8.5);
        p.setPen(QPen(kOutline, 1.0));
        p.setBrush(Qt::white);
        p.drawEllipse(c, 2.2, 2.2);
        drawNumberBadge(p, QPointF(24.5, 7.5), 6.0, number, colour);
    } else {
        // A pointer: its tip is the picture's corner, where the click was.
        QPainterPath arrow;
        arrow.moveTo(0.8, 0.8);
        arrow.lineTo(0.8, 19.5);
        arrow.lineTo(5.4, 15.2);
        arrow.lineTo(8.8, 22.6);
        arrow.lineTo(12.2, 21.0);
        arrow.lineTo(8.8, 13.8);
        arrow.lineTo(15.0, 13.8);
        arrow.closeSubpath();
        p.setPen(QPen(kOutline, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(colour);
        p.drawPath(arrow);
        drawNumberBadge(p, QPointF(23.5, 23.5), 6.5, number, colour);
    }
    return pixmap;
}

void ClickPicture::setPicture(const QImage& picture) {
    picture_ = QPixmap::fromImage(picture);
    setFixedSize(picture_.deviceIndependentSize().toSize());
    crosshair_ = QPoint(width() / 2, height() / 2);
    update();
}

void ClickPicture::setZones(const std::vector<PictureRect>& zones) {
    board_ = MarkBoard(zones);
    showPins();
}

void ClickPicture::setVisible(bool visible) {
    QWidget::setVisible(visible);
    showPins();
}

void ClickPicture::pressAt(QPoint at, Qt::MouseButton button) {
    if (!rect().contains(at)) {
        return;
    }
    if (button == Qt::RightButton && rightPress_ == RightPress::TakesLatest) {
        takeLatest();
        return;
    }
    if (button == Qt::LeftButton || rightPress_ == RightPress::Places) {
        moveCrosshair(at);
        place(at);
    }
}

void ClickPicture::pinPressed(int number, QPoint at, Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        if (board_.unmark(number)) {
            showPins();
            emit marksChanged();
        }
        return;
    }
    pressAt(at, button);
}

void ClickPicture::place(QPoint at) {
    if (board_.press(at.x(), at.y()) != 0) {
        showPins();
        emit marksChanged();
    }
}

void ClickPicture::takeLatest() {
    board_.removeLatest();
    showPins();
    // Reported even when no mark was left: on a question visited again the
    // recorded answer stands without its marks, and an undo must take it back.
    emit marksChanged();
}

void ClickPicture::moveCrosshair(QPoint to) {
    to.setX(std::clamp(to.x(), 0, qMax(0, width() - 1)));
    to.setY(std::clamp(to.y(), 0, qMax(0, height() - 1)));
    if (to == crosshair_) {
        return;
    }
    crosshair_ = to;
    update();
    emit crosshairMoved(QRect(to - QPoint(kMarkSize, kMarkSize), QSize(2, 2) * kMarkSize));
}

void ClickPicture::showPins() {
    const QPoint anchor =
        shape_ == MarkShape::Ring ? QPoint(kMarkSize / 2, kMarkSize / 2) : QPoint();
    for (int k = 1; k <= MarkBoard::kMaxZones; ++k) {
        MarkPin* pin = pins_[k - 1];
        const bool placed = k <= board_.markLimit() && board_.mark(k).placed;
        if (placed && !isHidden()) {
            pin->move(pos() + QPoint(board_.mark(k).x, board_.mark(k).y) - anchor);
            pin->show();
            pin->raise();
        } else {
            pin->hide();
        }
    }
}

void ClickPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kOutline, 4));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(2, 2, -2, -2));
        p.setPen(QPen(kCrosshair, 2));
        p.drawRect(QRectF(rect()).adjusted(2, 2, -2, -2));
        paintCrosshair(p);
    }
}

void ClickPicture::paintCrosshair(QPainter& p) const {
    // Dark under light, so that it shows on any picture.
    const QPointF c = QPointF(crosshair_) + QPointF(0.5, 0.5);
    const qreal inner = 4;
    const qreal outer = 15;
    for (const auto& [pen, width] : {std::pair{kOutline, 3.5}, std::pair{kCrosshair, 1.5}}) {
        p.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 10, 10);
        p.drawLine(c + QPointF(-outer, 0), c + QPointF(-inner, 0));
        p.drawLine(c + QPointF(inner, 0), c + QPointF(outer, 0));
        p.drawLine(c + QPointF(0, -outer), c + QPointF(0, -inner));
        p.drawLine(c + QPointF(0, inner), c + QPointF(0, outer));
    }
}

void ClickPicture::mousePressEvent(QMouseEvent* event) {
    pressAt(event->position().toPoint(), event->button());
}

void ClickPicture::keyPressEvent(QKeyEvent* event) {
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? kLongStep : kStep;
    switch (event->key()) {
        case Qt::Key_Left:
            moveCrosshair(crosshair_ - QPoint(step, 0));
            break;
        case Qt::Key_Right:
            moveCrosshair(crosshair_ + QPoint(step, 0));
            break;
        case Qt::Key_Up:
            moveCrosshair(crosshair_ - QPoint(0, step));
            break;
        case Qt::Key_Down:
            moveCrosshair(crosshair_ + QPoint(0, step));
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            place(crosshair_);
            break;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            takeLatest();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void ClickPicture::focusInEvent(QFocusEvent* event) {
    update();
    emit crosshairMoved(QRect(crosshair_ - QPoint(kMarkSize, kMarkSize), QSize(2, 2) * kMarkSize));
    QWidget::focusInEvent(event);
}

void ClickPicture::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void ClickPicture::moveEvent(QMoveEvent* event) {
    showPins();
    QWidget::moveEvent(event);
}

ZoneFrame::ZoneFrame(QWidget* parent, const QColor& colour) : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    hide();
}

void ZoneFrame::cover(const PictureRect& zone, QPoint origin) {
    // Both border lines are drawn: x1 and x2 are the zone's edges.
    setGeometry(QRect(origin + QPoint(zone.x1, zone.y1), origin + QPoint(zone.x2, zone.y2)));
}

void ZoneFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::NoPen);
    p.setBrush(colour_);
    const int w = width();
    const int h = height();
    p.drawRect(0, 0, w, 2);
    p.drawRect(0, h - 2, w, 2);
    p.drawRect(0, 0, 2, h);
    p.drawRect(w - 2, 0, 2, h);
}

std::array<ZoneFrame*, MarkBoard::kMaxZones> makeZoneFrames(QWidget* parent, const QColor& colour) {
    std::array<ZoneFrame*, MarkBoard::kMaxZones> frames{};
    for (int k = 0; k < MarkBoard::kMaxZones; ++k) {
        frames[k] = new ZoneFrame(parent, colour);
        frames[k]->setObjectName(QStringLiteral("Guide%1").arg(k + 1));
    }
    return frames;
}

void coverZones(const std::array<ZoneFrame*, MarkBoard::kMaxZones>& frames,
                const std::vector<PictureRect>& zones, QPoint origin, bool shown) {
    for (std::size_t k = 0; k < frames.size(); ++k) {
        if (k < zones.size()) {
            frames[k]->cover(zones[k], origin);
            frames[k]->setVisible(shown);
            frames[k]->raise();
        } else {
            frames[k]->hide();
        }
    }
}

}  // namespace tovalo::ui
