#pragma once

#include <QPixmap>

#include "core/results/history_chart.h"

namespace tovalo::ui {

// The result screen's history chart, kResultChartWidth × kResultChartHeight
// logical pixels painted at `devicePixelRatio`, so that lines and text stay
// sharp on a scaled screen: silver frame, guides and labels on black, the
// time in yellow under the rate in red, the exam just graded as a ring.
QPixmap paintHistoryChart(const HistoryChart& chart, qreal devicePixelRatio);

}  // namespace tovalo::ui
