#pragma once

#include "core/results/history_chart.h"
#include "core/results/mono_canvas.h"

namespace tovalo {

// The printed charts are a little wider than the screen's, black on white.
inline constexpr int kPrintedChartWidth = 608;
inline constexpr int kPrintedChartHeight = 140;

enum class PrintedSeries { Rate, Time };

// One printed chart: white with a one-pixel border, the frame, dotted
// guides, the labels, the scale on the left and the one series. A time
// chart of a course without a time limit has neither scale nor line.
MonoCanvas printedChart(const HistoryChart& chart, PrintedSeries series);

}  // namespace tovalo
