#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/results/history_file.h"

namespace tovalo {

// The course's history chart as numbers: where every point, line and text
// goes. The result screen paints it with real fonts and colours, the
// printed report rasterises it in black and white; both draw from here so
// that they never disagree. Pixels, origin top left.

// What assistive technology calls the chart; its title is shown beside it.
inline constexpr const char* kHistoryChartName = "成績の推移";

inline constexpr int kChartLeft = 30;
inline constexpr int kChartTop = 10;
inline constexpr int kChartRight = 560;
inline constexpr int kChartBottom = 110;
inline constexpr std::array<int, 4> kChartGuides{30, 50, 70, 90};
// Nine stored exams and the one just graded.
inline constexpr int kChartPoints = 10;

inline constexpr int kChartDotRadius = 2;
inline constexpr int kChartRingRadius = 4;

struct ChartPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ChartPoint&) const = default;
};

// A text placed by its top-left corner.
struct ChartLabel {
    std::string text;
    ChartPoint at;

    bool operator==(const ChartLabel&) const = default;
};

// The two ends of a vertical scale.
struct ChartScale {
    ChartLabel bottom;
    ChartLabel top;
};

// Where a scale's texts go: left of the frame on every printed chart and
// for the screen's rate, right of it for the screen's time.
inline constexpr ChartPoint kScaleLeftBottom{28, 100};
inline constexpr ChartPoint kScaleLeftTop{24, 10};
inline constexpr ChartPoint kScaleRightBottom{546, 100};
inline constexpr ChartPoint kScaleRightTop{538, 10};

// Oldest first; the last point is the exam just graded, drawn as a ring.
using ChartLine = std::array<ChartPoint, kChartPoints>;

struct HistoryChart {
    ChartLine rate;
    // None when the course has no time limit: without it there is no scale
    // to place a time on.
    std::optional<ChartLine> time;
    // Two per point: date, then clock time.
    std::array<ChartLabel, 2 * kChartPoints> labels;
    std::string rateBottom = "0%";
    std::string rateTop = "100%";
    // Empty when there is no time series.
    std::string timeBottom;
    std::string timeTop;

    // The scale texts at the places of one drawing.
    [[nodiscard]] ChartScale rateScale(ChartPoint bottom, ChartPoint top) const {
        return {{rateBottom, bottom}, {rateTop, top}};
    }
    [[nodiscard]] ChartScale timeScale(ChartPoint bottom, ChartPoint top) const {
        return {{timeBottom, bottom}, {timeTop, top}};
    }
};

// The exam just graded, as the chart takes it.
struct ChartExam {
    int rate = 0;
    int minutes = 0;
    ExamDate date;
};

// The chart of the stored exams 1..9 (slot 9 is never drawn: it leaves the
// history with this exam) and the exam just graded, for a course whose
// time limit is `timeLimitMinutes`. Empty slots are drawn as zeros, so the
// line always spans the whole width.
HistoryChart historyChart(const HistoryFile& history, const ChartExam& exam, int timeLimitMinutes);

// The height of `minutes` on a scale whose top is twice the limit, rounded
// half to even; a time past the top stays on the frame's top edge.
int chartTimeY(int minutes, int timeLimitMinutes);

}  // namespace tovalo
