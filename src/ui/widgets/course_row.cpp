#include "ui/widgets/course_row.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/catalog/course_menu_rules.h"
#include "ui/widgets/artwork.h"

namespace tovalo::ui {

const QColor CourseRow::kTextColour(192, 192, 192);

CourseRow::CourseRow(int row, QWidget* parent) : QWidget(parent), row_(row) {
    setObjectName(QStringLiteral("CourseRow%1").arg(row));
    setFixedSize(kCourseRowWidth, kCourseRowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void CourseRow::setCourse(const QString& text, std::vector<int> levelIcons) {
    text_ = text;
    icons_ = std::move(levelIcons);
    update();
}

void CourseRow::setHighlighted(bool highlighted) {
    if (highlighted_ != highlighted) {
        highlighted_ = highlighted;
        update();
    }
}

void CourseRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    for (int level : icons_) {
        p.drawPixmap(0, 0, levelIcon(level, highlighted_));
    }
    p.setFont(font());
    p.setPen(kTextColour);
    // The text's top edge, not its baseline, sits 4 pixels down: the row
    // keeps the same look whatever the font's ascent.
    p.drawText(QPoint(22, 4 + p.fontMetrics().ascent()),
               p.fontMetrics().elidedText(text_, Qt::ElideRight, width() - 22));
}

void CourseRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked(row_);
    }
    QWidget::mousePressEvent(event);
}

}  // namespace tovalo::ui
