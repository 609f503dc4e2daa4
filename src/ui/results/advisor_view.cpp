#include "ui/results/advisor_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kFocus(90, 160, 240);
// 8 points on the desktop's 96 dots per inch.
constexpr int kTextPixels = 11;
constexpr int kTextHeight = 14;

QRect rectOf(const ScreenRect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

QFont nameFont() {
    QFont f = uiFont(kTextPixels);
    f.setUnderline(true);
    return f;
}

// `text` as it shows from `at` up to `width`.
QString elidedFrom(const QFontMetrics& metrics, const ScreenPoint& at, int width,
                   const QString& text) {
    return metrics.elidedText(text, Qt::ElideRight, std::max(width - at.x, 0));
}

void drawTextAt(QPainter& p, const ScreenPoint& at, int width, const QString& text) {
    const QString shown = elidedFrom(p.fontMetrics(), at, width, text);
    p.drawText(QRect(at.x, at.y, std::max(width - at.x, 0), kTextHeight),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}

}  // namespace

const QPixmap& advisorCrown() {
    static const QPixmap crown = [] {
        QPixmap pm = blankPicture(QSize(kAdvisorCrownWidth, kAdvisorCrownHeight));
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.moveTo(1, 8.5);
        shape.lineTo(1, 2);
        shape.lineTo(5, 5);
        shape.lineTo(9, 0.5);
        shape.lineTo(13, 5);
        shape.lineTo(17, 2);
        shape.lineTo(17, 8.5);
        shape.closeSubpath();
        QLinearGradient gold(0, 0, 0, kAdvisorCrownHeight);
        gold.setColorAt(0.0, QColor(255, 236, 120));
        gold.setColorAt(1.0, QColor(214, 150, 20));
        p.setPen(QPen(QColor(120, 70, 0), 0.8));
        p.setBrush(gold);
        p.drawPath(shape);
        return pm;
    }();
    return crown;
}

const QPixmap& advisorAdaptiveMark() {
    static const QPixmap mark = [] {
        QPixmap pm = blankPicture(QSize(kAdvisorMarkWidth, kAdvisorMarkHeight));
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(20, 70, 40), 1));
        p.setBrush(QColor(60, 190, 110));
        p.drawRoundedRect(QRectF(0.5, 0.5, kAdvisorMarkWidth - 1, kAdvisorMarkHeight - 1), 2, 2);
        // A little list: the mark opens the course's question list.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::white);
        for (int y : {3, 5, 7}) {
            p.drawPoint(3, y);
            p.drawLine(5, y, 11, y);
        }
        return pm;
    }();
    return mark;
}

AdvisorNames::AdvisorNames(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AdvisorNames::setRows(std::vector<AdvisorRow> rows) {
    rows_ = std::move(rows);
    current_ = std::clamp(current_, rows_.empty() ? 0 : 1, count());
    update();
}

void AdvisorNames::setCurrentRow(int row) {
    const int was = current_;
    current_ = count() == 0 ? 0 : std::clamp(row, 1, count());
    update();
    if (current_ != was && current_ > 0) {
        emit currentRowChanged(current_);
    }
}

QString AdvisorNames::fullText(int row) const {
    return row >= 1 && row <= count() ? qs(rows_[static_cast<std::size_t>(row - 1)].nameText)
                                      : QString();
}

QString AdvisorNames::shownText(int row) const {
    if (row < 1 || row > count()) {
        return {};
    }
    return elidedFrom(QFontMetrics(nameFont(), this),
                      rows_[static_cast<std::size_t>(row - 1)].nameAt, width(), fullText(row));
}

void AdvisorNames::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    p.setFont(nameFont());
    p.setPen(kSilver);
    for (const AdvisorRow& r : rows_) {
        if (r.mark) {
            p.drawPixmap(r.mark->x, r.mark->y, advisorAdaptiveMark());
        }
        drawTextAt(p, r.nameAt, width(), qs(r.nameText));
    }
    if (hasFocus() && current_ > 0) {
        const int bottom = kAdvisorRowPitch * current_;
        p.setPen(QPen(kFocus, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, bottom - kAdvisorRowPitch + 4, width() - 1, kAdvisorRowPitch - 2);
    }
}

void AdvisorNames::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const int row = advisorCourseAt(at.y(), count());
    if (row == 0) {
        return;
    }
    setCurrentRow(row);
    if (at.x() < kAdvisorMarkColumn && rows_[row - 1].mark) {
        emit markActivated(row);
    } else {
        emit nameActivated(row);
    }
}

void AdvisorNames::mouseMoveEvent(QMouseEvent* event) {
    const int row = advisorCourseAt(event->position().toPoint().y(), count());
    setCursor(row > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void AdvisorNames::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(
        1, (parentWidget() != nullptr ? parentWidget()->height() : height()) / kAdvisorRowPitch);
    switch (event->key()) {
        case Qt::Key_Up:
            setCurrentRow(current_ - 1);
            break;
        case Qt::Key_Down:
            setCurrentRow(current_ + 1);
            break;
        case Qt::Key_PageUp:
            setCurrentRow(current_ - page);
            break;
        case Qt::Key_PageDown:
            setCurrentRow(current_ + page);
            break;
        case Qt::Key_Home:
            setCurrentRow(1);
            break;
        case Qt::Key_End:
            setCurrentRow(count());
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current_ > 0) {
                emit nameActivated(current_);
            }
            return;
        case Qt::Key_Space:
            if (current_ > 0 && rows_[current_ - 1].mark) {
                emit markActivated(current_);
            }
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
}

void AdvisorNames::focusInEvent(QFocusEvent* event) {
    if (current_ == 0 && count() > 0) {
        current_ = 1;
    }
    update();
    QWidget::focusInEvent(event);
}

void AdvisorNames::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

AdvisorBars::AdvisorBars(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void AdvisorBars::setRows(std::vector<AdvisorRow> rows) {
    rows_ = std::move(rows);
    update();
}

void AdvisorBars::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    p.setFont(uiFont(kTextPixels));
    for (const AdvisorRow& r : rows_) {
        p.fillRect(rectOf(r.reached), kRed);
        p.fillRect(rectOf(r.rest), kSilver);
        p.setPen(kRed);
        drawTextAt(p, r.bestAt, width(), qs(r.bestText));
    }
    // Crowns last: each stands above its bar, over the row before.
    for (const AdvisorRow& r : rows_) {
        if (r.crown) {
            p.drawPixmap(r.crown->x, r.crown->y, advisorCrown());
        }
    }
}

void AdvisorBars::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked(event->position().toPoint().y());
        return;
    }
    QWidget::mousePressEvent(event);
}

AdvisorCategoryBars::AdvisorCategoryBars(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AdvisorCategoryBars::setRows(std::vector<AdvisorCategoryRow> rows) {
    rows_ = std::move(rows);
    update();
}

void AdvisorCategoryBars::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    p.setFont(uiFont(kTextPixels));
    const int shift = advisorCategoryShift(width());
    for (const AdvisorCategoryRow& r : rows_) {
        p.setPen(kSilver);
        drawTextAt(p, r.nameAt, kAdvisorCategoryBarLeft - 6 - shift, qs(r.name));
        p.save();
        p.translate(-shift, 0);
        p.fillRect(rectOf(r.reached), kYellow);
        p.fillRect(rectOf(r.rest), kSilver);
        p.setPen(kYellow);
        drawTextAt(p, r.bestAt, width() + shift, qs(r.bestText));
        p.restore();
    }
}

}  // namespace tovalo::ui
