#include "ui/results/history_chart_painter.h"

#include <QPainter>

#include "core/results/result_screen.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
constexpr int kLabelPixels = 12;

// Labels are placed by their top-left corner and blank out what lies under
// them, so that a scale text over the frame stays readable.
void drawLabel(QPainter& p, const ChartLabel& label, const QColor& colour) {
    if (label.text.empty()) {
        return;
    }
    const QString text = qs(label.text);
    const QRect room(label.at.x, label.at.y, kResultChartWidth, kResultChartHeight);
    const QRect used = p.boundingRect(room, Qt::AlignLeft | Qt::AlignTop, text);
    p.fillRect(used, Qt::black);
    p.setPen(colour);
    p.drawText(used, Qt::AlignLeft | Qt::AlignTop, text);
}

void drawSeries(QPainter& p, const ChartLine& points, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing, true);
    // Through pixel centres, where the aliased frame and guides lie too,
    // so that a point on a guide sits on it and not half a pixel off.
    QPolygonF line;
    for (const ChartPoint& pt : points) {
        line << QPointF(pt.x + 0.5, pt.y + 0.5);
    }
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    p.setBrush(colour);
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        p.drawEllipse(line[static_cast<int>(k)], kChartDotRadius, kChartDotRadius);
    }
    const QPointF last = line.back();
    p.setBrush(Qt::black);
    p.drawEllipse(last, kChartRingRadius, kChartRingRadius);
    p.setBrush(colour);
    p.drawEllipse(last, kChartDotRadius, kChartDotRadius);
    p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace

QPixmap paintHistoryChart(const HistoryChart& chart, qreal devicePixelRatio) {
    QPixmap picture(QSize(kResultChartWidth, kResultChartHeight) * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::black);
    QPainter p(&picture);
    p.setFont(uiFont(kLabelPixels));

    p.setPen(kSilver);
    p.drawRect(QRect(kChartLeft, kChartTop, kChartRight - kChartLeft, kChartBottom - kChartTop));
    for (int y : kChartGuides) {
        p.drawLine(kChartLeft, y, kChartRight, y);
    }
    for (const ChartLabel& label : chart.labels) {
        drawLabel(p, label, kSilver);
    }
    const ChartScale rate = chart.rateScale(kScaleLeftBottom, kScaleLeftTop);
    drawLabel(p, rate.bottom, kRed);
    drawLabel(p, rate.top, kRed);
    if (chart.time) {
        const ChartScale time = chart.timeScale(kScaleRightBottom, kScaleRightTop);
        drawLabel(p, time.bottom, kYellow);
        drawLabel(p, time.top, kYellow);
        drawSeries(p, *chart.time, kYellow);
    }
    drawSeries(p, chart.rate, kRed);
    return picture;
}

}  // namespace tovalo::ui
