#include "ui/widgets/focus_outline.h"

#include <QEvent>
#include <QFocusEvent>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include "core/views/focus_mark.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kBand = FocusRing::kWidth / 2;
// Each pixel's ink is chosen for its stretch of neighbours, so that text
// or a glyph touching the ring does not speckle it.
constexpr int kStretch = 3;

class FocusOutline : public QWidget {
  public:
    FocusOutline(QWidget* control, int margin, QWidget* around)
        : QWidget(around->parentWidget()), control_(control), around_(around), margin_(margin) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        control->installEventFilter(this);
        if (around != control) {
            around->installEventFilter(this);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != control_ && event->type() != QEvent::Move &&
            event->type() != QEvent::Resize && event->type() != QEvent::Hide) {
            return false;
        }
        switch (event->type()) {
            case QEvent::FocusIn:
                // The pointer shows where it clicked; every other way of
                // getting here, the program's own included, leaves the
                // learner looking for the focus.
                if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
                    place();
                    show();
                    raise();
                }
                break;
            case QEvent::FocusOut:
            case QEvent::Hide:
                hide();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                if (isVisible()) {
                    // Once the layout the move belongs to is done.
                    QTimer::singleShot(0, this, [this] {
                        if (isVisible()) {
                            place();
                        }
                    });
                }
                break;
            default:
                break;
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        if (!ring_.taking()) {
            QPainter p(this);
            ring_.draw(p);
        }
    }

  private:
    void place() {
        setGeometry(around_->geometry().adjusted(-margin_, -margin_, margin_, margin_));
        ring_.take(this, rect());
        update();
    }

    QWidget* control_;
    QWidget* around_;
    int margin_;
    FocusRing ring_;
};

}  // namespace

void outlineKeyboardFocus(QWidget* control, int margin, QWidget* around) {
    new FocusOutline(control, margin, around != nullptr ? around : control);
}

void FocusRing::take(QWidget* widget, const QRect& frame) {
    stretches_.clear();
    if (frame.width() <= 2 * kWidth || frame.height() <= 2 * kWidth) {
        return;
    }
    // Only the line just outside the frame and the line just inside the
    // ring are looked at.
    const QRect area = frame.adjusted(-1, -1, 1, 1);
    const QRect innerLine = frame.adjusted(kWidth, kWidth, -kWidth, -kWidth);
    QRegion lines = QRegion(area) - QRegion(frame);
    lines += QRegion(innerLine) - QRegion(innerLine.adjusted(1, 1, -1, -1));
    QWidget* window = widget->window();
    QImage seen(area.size(), QImage::Format_ARGB32_Premultiplied);
    seen.fill(Qt::transparent);
    taking_ = true;
    window->render(&seen, QPoint(), lines.translated(widget->mapTo(window, QPoint(0, 0))),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    taking_ = false;

    // The ink for a ring pixel whose neighbour is at `at`, stepping `along`
    // the side; pixels off the window are not looked at.
    const auto inkBeside = [&](QPoint at, QPoint along) {
        std::vector<long> near;
        for (int k = -kStretch; k <= kStretch; ++k) {
            const QPoint p = at + k * along - area.topLeft();
            if (seen.rect().contains(p) && qAlpha(seen.pixel(p)) != 0) {
                near.push_back(desktopValue(seen.pixelColor(p)));
            }
        }
        return desktopColour(focusInk(near));
    };
    // One band's side: `count` pixels from `start` stepping `along`, each
    // `across` thick, its neighbour `toNeighbour` away.
    const auto side = [&](QPoint start, QPoint along, int count, QSize across, QPoint toNeighbour) {
        for (int i = 0; i < count; ++i) {
            const QPoint at = start + i * along;
            const QColor ink = inkBeside(at + toNeighbour, along);
            const QRect pixel(at, across);
            if (!stretches_.empty() && stretches_.back().ink == ink &&
                stretches_.back().rect.united(pixel) ==
                    QRect(stretches_.back().rect.topLeft(),
                          stretches_.back().rect.size() +
                              QSize(along.x() * across.width(), along.y() * across.height()))) {
                stretches_.back().rect = stretches_.back().rect.united(pixel);
            } else {
                stretches_.push_back({pixel, ink});
            }
        }
    };
    const QPoint right(1, 0);
    const QPoint down(0, 1);
    for (int band = 0; band < 2; ++band) {
        const QRect r = frame.adjusted(band * kBand, band * kBand, -band * kBand, -band * kBand);
        // Outward for the outer band, inward past the ring for the inner.
        const int reach = band == 0 ? -1 : kWidth - band * kBand;
        const QSize wide(1, kBand);
        const QSize tall(kBand, 1);
        side(r.topLeft(), right, r.width(), wide, QPoint(0, reach));
        side(QPoint(r.left(), r.bottom() - kBand + 1), right, r.width(), wide,
             QPoint(0, kBand - 1 - reach));
        side(QPoint(r.left(), r.top() + kBand), down, r.height() - 2 * kBand, tall,
             QPoint(reach, 0));
        side(QPoint(r.right() - kBand + 1, r.top() + kBand), down, r.height() - 2 * kBand, tall,
             QPoint(kBand - 1 - reach, 0));
    }
}

void FocusRing::draw(QPainter& painter) const {
    for (const Stretch& s : stretches_) {
        painter.fillRect(s.rect, s.ink);
    }
}

}  // namespace tovalo::ui
