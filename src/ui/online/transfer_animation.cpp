#include "ui/online/transfer_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace tovalo::ui {

namespace {

const QColor kOutline(150, 170, 200);
const QColor kScreen(58, 120, 200);
const QColor kScreenGlow(120, 180, 240);
const QColor kServer(46, 58, 80);
const QColor kPacket(250, 196, 72);
const QColor kTrack(80, 96, 124);
const QColor kLedOn(96, 220, 120);
const QColor kLedOff(40, 70, 50);

constexpr int kTrackFrom = 50;  // the computer's edge
constexpr int kTrackTo = 90;    // the server's edge
constexpr int kPackets = 3;

}  // namespace

TransferAnimation::TransferAnimation(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Animate1"));
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    timer_->setInterval(70);
    connect(timer_, &QTimer::timeout, this, &TransferAnimation::step);
}

void TransferAnimation::start() {
    frame_ = 0;
    timer_->start();
    update();
}

void TransferAnimation::stop() {
    timer_->stop();
}

bool TransferAnimation::running() const {
    return timer_->isActive();
}

void TransferAnimation::step() {
    ++frame_;
    update();
}

void TransferAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int mid = height() / 2;

    // The learner's computer: a screen with a glow that pulses gently.
    const QRectF screen(6, mid - 22, 40, 30);
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(kScreen);
    p.drawRoundedRect(screen, 3, 3);
    QColor glow = kScreenGlow;
    glow.setAlpha(90 + 40 * ((frame_ / 4) % 2));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(screen.adjusted(4, 4, -4, -4), 2, 2);
    p.setBrush(kOutline);
    p.drawRect(QRectF(22, screen.bottom() + 1, 8, 6));
    p.drawRoundedRect(QRectF(14, screen.bottom() + 7, 24, 3), 1.5, 1.5);

    // The center: a server tower whose lights blink in turn.
    const QRectF tower(kTrackTo + 4, mid - 30, 34, 60);
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(kServer);
    p.drawRoundedRect(tower, 3, 3);
    for (int bay = 0; bay < 3; ++bay) {
        const QRectF slot(tower.left() + 5, tower.top() + 7 + bay * 17, tower.width() - 10, 11);
        p.setPen(QPen(kOutline.darker(130), 1));
        p.setBrush(kServer.lighter(140));
        p.drawRoundedRect(slot, 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush((frame_ + bay) % 3 == 0 ? kLedOn : kLedOff);
        p.drawEllipse(QPointF(slot.right() - 5, slot.center().y()), 2.5, 2.5);
    }

    // The line between them, and the packets on their way to the computer.
    p.setPen(Qt::NoPen);
    p.setBrush(kTrack);
    for (int x = kTrackFrom; x <= kTrackTo; x += 5) {
        p.drawEllipse(QPointF(x, mid), 1.2, 1.2);
    }
    const int span = kTrackTo - kTrackFrom;
    p.setBrush(kPacket);
    for (int k = 0; k < kPackets; ++k) {
        const int travelled = (frame_ * 3 + k * span / kPackets) % span;
        const QRectF packet(kTrackTo - travelled - 4, mid - 4, 8, 8);
        p.drawRoundedRect(packet, 2, 2);
    }
}

}  // namespace tovalo::ui
