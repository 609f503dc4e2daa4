#include "ui/widgets/choice_text.h"

#include <QPainter>
#include <QTextOption>

#include "ui/widgets/fonts.h"

namespace tovalo::ui {

ChoiceText::ChoiceText(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setFont(uiFont(12));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChoiceText::setText(const QString& text) {
    text_ = text;
    // A line feed in a choice still breaks the line, as in a text box.
    text_.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text_.replace(QLatin1Char('\n'), QChar::LineSeparator);
    laidOutWidth_ = -1;
    update();
}

void ChoiceText::setTextColour(const QColor& colour) {
    colour_ = colour;
    update();
}

int ChoiceText::layOut(QTextLayout& layout, int boxWidth) const {
    layout.setText(text_);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal width = qMax(1, boxWidth - 2 * kPaddingLeft);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, lines * kLineHeight));
        ++lines;
    }
    layout.endLayout();
    return qMax(1, lines);
}

int ChoiceText::lineCountFor(int boxWidth) const {
    QTextLayout layout;
    return layOut(layout, boxWidth);
}

void ChoiceText::resizeEvent(QResizeEvent* event) {
    laidOutWidth_ = -1;
    QWidget::resizeEvent(event);
}

void ChoiceText::paintEvent(QPaintEvent*) {
    if (laidOutWidth_ != width()) {
        layOut(layout_, width());
        laidOutWidth_ = width();
    }
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(150, 160, 176));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(colour_);
    layout_.draw(&p, QPointF(kPaddingLeft, kPaddingTop - 1));
}

}  // namespace tovalo::ui
