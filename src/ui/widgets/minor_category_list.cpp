#include "ui/widgets/minor_category_list.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/widgets/accessible_role.h"

namespace tovalo::ui {

namespace {

constexpr int kMarkSize = 10;
constexpr int kTextLeft = kMarkSize + 5;

}  // namespace

MinorCategoryList::MinorCategoryList(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleRole(this, QAccessible::List);
}

void MinorCategoryList::setLines(const QStringList& lines) {
    lines_.clear();
    for (const QString& text : lines) {
        lines_.push_back({text, true});
    }
    current_ = 0;
    setFixedHeight(count() * kLineHeight);
    update();
}

QString MinorCategoryList::lineText(int line) const {
    return line >= 1 && line <= count() ? lines_[line - 1].text : QString();
}

void MinorCategoryList::setChecked(int line, bool checked) {
    if (line >= 1 && line <= count() && lines_[line - 1].checked != checked) {
        lines_[line - 1].checked = checked;
        update();
    }
}

bool MinorCategoryList::isChecked(int line) const {
    return line >= 1 && line <= count() && lines_[line - 1].checked;
}

QPoint MinorCategoryList::linePoint(int line) const {
    return QPoint(kMarkSize / 2, (line - 1) * kLineHeight + kLineHeight / 2);
}

QSize MinorCategoryList::sizeHint() const {
    return QSize(200, count() * kLineHeight);
}

void MinorCategoryList::toggle(int line) {
    if (line < 1 || line > count()) {
        return;
    }
    lines_[line - 1].checked = !lines_[line - 1].checked;
    setCurrent(line);
    update();
    emit lineToggled(line);
}

void MinorCategoryList::setCurrent(int line) {
    current_ = line;
    update();
    if (line < 1 || line > count()) {
        setAccessibleDescription(QString());
        return;
    }
    // What a screen reader says for the highlighted line, which is drawn
    // rather than a child control of its own.
    const Line& l = lines_[line - 1];
    setAccessibleDescription(l.text +
                             (l.checked ? QStringLiteral(" : 選択") : QStringLiteral(" : 未選択")));
    emit currentLineMoved(QRect(0, (line - 1) * kLineHeight, width(), kLineHeight));
}

void MinorCategoryList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int line = static_cast<int>(event->position().y()) / kLineHeight + 1;
    if (line >= 1 && line <= count()) {
        setFocus(Qt::MouseFocusReason);
        toggle(line);
    }
}

void MinorCategoryList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            toggle(current_);
            return;
        case Qt::Key_Up:
            if (current_ > 1) {
                setCurrent(current_ - 1);
            }
            return;
        case Qt::Key_Down:
            if (current_ < count()) {
                setCurrent(current_ + 1);
            }
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void MinorCategoryList::focusInEvent(QFocusEvent* event) {
    // A click has its own line; from the keyboard the list would otherwise
    // hold the focus with nothing highlighted.
    if (current_ == 0 && count() > 0 && event->reason() != Qt::MouseFocusReason) {
        setCurrent(event->reason() == Qt::BacktabFocusReason ? count() : 1);
    }
    QWidget::focusInEvent(event);
}

void MinorCategoryList::focusOutEvent(QFocusEvent* event) {
    setCurrent(0);
    QWidget::focusOutEvent(event);
}

void MinorCategoryList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool enabled = isEnabled();
    const QColor ink =
        enabled ? pal.color(QPalette::Text) : pal.color(QPalette::Disabled, QPalette::Text);
    for (int i = 0; i < count(); ++i) {
        const QRect lineRect(0, i * kLineHeight, width(), kLineHeight);
        if (i + 1 == current_ && hasFocus()) {
            p.fillRect(lineRect, pal.color(QPalette::Highlight));
        }
        const QRectF mark(0.5, lineRect.top() + (kLineHeight - kMarkSize) / 2.0 + 0.5,
                          kMarkSize - 1, kMarkSize - 1);
        p.setPen(QPen(enabled ? QColor(96, 110, 130) : QColor(170, 176, 186), 1));
        p.setBrush(enabled ? QColor(Qt::white) : QColor(236, 238, 242));
        p.drawRoundedRect(mark, 1.5, 1.5);
        if (lines_[i].checked) {
            QPen tick(enabled ? QColor(30, 100, 200) : QColor(150, 158, 170), 1.8, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin);
            p.setPen(tick);
            QPolygonF path;
            path << QPointF(mark.left() + 2, mark.center().y())
                 << QPointF(mark.left() + 4, mark.bottom() - 2)
                 << QPointF(mark.right() - 1.5, mark.top() + 2);
            p.drawPolyline(path);
        }
        p.setPen(i + 1 == current_ && hasFocus() ? pal.color(QPalette::HighlightedText) : ink);
        p.drawText(lineRect.adjusted(kTextLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   lines_[i].text);
    }
}

}  // namespace tovalo::ui
