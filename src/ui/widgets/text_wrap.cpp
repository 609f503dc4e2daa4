#include "ui/widgets/text_wrap.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace tovalo::ui {

QStringList wrappedLines(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(1, width));
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (lines.isEmpty()) {
        lines << QString();
    }
    return lines;
}

QStringList wrappedLines(const QString& text, const QFont& font, int width, int maxLines) {
    QStringList lines = wrappedLines(text, font, width);
    if (lines.size() <= maxLines) {
        return lines;
    }
    QString last = lines.mid(maxLines - 1).join(QString());
    lines = lines.mid(0, maxLines - 1);
    lines << QFontMetrics(font).elidedText(last, Qt::ElideRight, width);
    return lines;
}

}  // namespace tovalo::ui
