#include "core/results/printed_chart.h"

namespace tovalo {

namespace {

void drawLabel(MonoCanvas& canvas, const ChartLabel& label) {
    canvas.text(label.at.x, label.at.y, label.text);
}

void drawLine(MonoCanvas& canvas, const ChartLine& points) {
    for (std::size_t k = 1; k < points.size(); ++k) {
        canvas.line(points[k - 1].x, points[k - 1].y, points[k].x, points[k].y);
    }
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        const ChartPoint p = points[k];
        canvas.ellipse(p.x - kChartDotRadius, p.y - kChartDotRadius, p.x + kChartDotRadius,
                       p.y + kChartDotRadius);
    }
    const ChartPoint p = points.back();
    canvas.ellipse(p.x - kChartRingRadius, p.y - kChartRingRadius, p.x + kChartRingRadius,
                   p.y + kChartRingRadius);
    canvas.ellipse(p.x - kChartDotRadius, p.y - kChartDotRadius, p.x + kChartDotRadius,
                   p.y + kChartDotRadius);
}

}  // namespace

MonoCanvas printedChart(const HistoryChart& chart, PrintedSeries series) {
    MonoCanvas canvas(kPrintedChartWidth, kPrintedChartHeight);
    canvas.rectangle(0, 0, kPrintedChartWidth - 1, kPrintedChartHeight - 1);
    canvas.rectangle(kChartLeft, kChartTop, kChartRight, kChartBottom);
    for (int y : kChartGuides) {
        canvas.dottedLine(y, kChartLeft, kChartRight);
    }
    for (const ChartLabel& label : chart.labels) {
        drawLabel(canvas, label);
    }
    const bool rate = series == PrintedSeries::Rate;
    if (!rate && !chart.time) {
        return canvas;
    }
    const ChartScale scale = rate ? chart.rateScale(kScaleLeftBottom, kScaleLeftTop)
                                  : chart.timeScale(kScaleLeftBottom, kScaleLeftTop);
    drawLabel(canvas, scale.bottom);
    drawLabel(canvas, scale.top);
    drawLine(canvas, rate ? chart.rate : *chart.time);
    return canvas;
}

}  // namespace tovalo
