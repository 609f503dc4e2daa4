#include "ui/widgets/course_row.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "core/catalog/course_menu_rules.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/artwork.h"

namespace tovalo::ui {

namespace {

// Home and End go as far as the list allows; the menu clamps.
constexpr int kToTheEnd = 1 << 20;
constexpr int kPageRows = kRowsWithoutScrollBar - 1;
constexpr int kTextLeft = 22;

}  // namespace

const QColor CourseRow::kTextColour(192, 192, 192);
const QColor CourseRow::kBackground(Qt::black);

CourseRow::CourseRow(int row, QWidget* parent)
    : QWidget(parent), row_(row), band_(kTextColour), ink_(kBackground) {
    setObjectName(QStringLiteral("CourseRow%1").arg(row));
    setFixedSize(kCourseRowWidth, kCourseRowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    // Only the selected row takes the focus (see setHighlighted), so Tab
    // passes the list in one step; a click selects without taking it.
    setFocusPolicy(Qt::NoFocus);
    setAccessibleRole(this, QAccessible::ListItem);
    setAccessibleSelected(this, false);
}

void CourseRow::setCourse(const QString& text, std::vector<int> levelIcons) {
    text_ = text;
    icons_ = std::move(levelIcons);
    setAccessibleName(text);
    update();
}

void CourseRow::setHighlighted(bool highlighted) {
    setFocusPolicy(highlighted ? Qt::TabFocus : Qt::NoFocus);
    setAccessibleSelected(this, highlighted);
    if (highlighted_ != highlighted) {
        highlighted_ = highlighted;
        update();
    }
}

void CourseRow::setHighlightColours(const QColor& band, const QColor& ink) {
    if (band_ != band || ink_ != ink) {
        band_ = band;
        ink_ = ink;
        update();
    }
}

QString CourseRow::shownText() const {
    return fontMetrics().elidedText(text_, Qt::ElideRight, width() - kTextLeft);
}

void CourseRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    if (highlighted_) {
        // The band starts past the level badges, which keep their own
        // black ground as the vendors drew them for it.
        p.fillRect(rect().adjusted(kLevelIconSize + 1, 0, 0, 0), band_);
    }
    for (int level : icons_) {
        p.drawPixmap(0, 0, levelIcon(level, highlighted_));
    }
    p.setFont(font());
    p.setPen(highlighted_ ? ink_ : kTextColour);
    // The text's top edge, not its baseline, sits 4 pixels down: the row
    // keeps the same look whatever the font's ascent.
    p.drawText(QPoint(kTextLeft, 4 + p.fontMetrics().ascent()), shownText());
    if (hasFocus()) {
        p.setPen(highlighted_ ? ink_ : kTextColour);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(kLevelIconSize + 1, 0, -1, -1));
    }
}

void CourseRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked(row_);
    }
    QWidget::mousePressEvent(event);
}

void CourseRow::keyPressEvent(QKeyEvent* event) {
    static constexpr std::pair<int, int> kSteps[] = {{Qt::Key_Up, -1},
                                                     {Qt::Key_Down, 1},
                                                     {Qt::Key_PageUp, -kPageRows},
                                                     {Qt::Key_PageDown, kPageRows},
                                                     {Qt::Key_Home, -kToTheEnd},
                                                     {Qt::Key_End, kToTheEnd}};
    for (const auto& [key, rows] : kSteps) {
        if (event->key() == key) {
            emit stepRequested(rows);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CourseRow::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CourseRow::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace tovalo::ui
