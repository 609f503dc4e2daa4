#include "core/results/history_chart.h"

#include <algorithm>

#include "core/common/rounding.h"

namespace tovalo {

namespace {

constexpr int kDateRow = 112;
constexpr int kClockRow = 126;
constexpr int kNewExamX = 515;
constexpr int kNewLabelX = 500;
// Stored slots 8..0 are points 1..9.
constexpr int kStoredPoints = kChartPoints - 1;

int pointX(int i) {
    return 50 * i + 15;
}

std::string dateText(int month, int day) {
    return std::to_string(month) + "/" + std::to_string(day);
}

std::string clockText(int hour, int minute) {
    return std::to_string(hour) + ":" + std::to_string(minute);
}

}  // namespace

int chartTimeY(int minutes, int timeLimitMinutes) {
    const long long up = roundHalfEven(50LL * minutes, timeLimitMinutes);
    return kChartBottom - static_cast<int>(std::min<long long>(up, kChartBottom - kChartTop));
}

HistoryChart historyChart(const HistoryFile& history, const ChartExam& exam, int timeLimitMinutes) {
    HistoryChart chart;
    ChartLine time{};
    const bool timed = timeLimitMinutes > 0;
    for (int i = 1; i <= kStoredPoints; ++i) {
        // An empty slot reads as zeros everywhere, which is what it shows.
        const ExamRecord& r = history.exams[static_cast<std::size_t>(kStoredPoints - i)];
        const int x = pointX(i);
        const std::size_t k = static_cast<std::size_t>(i - 1);
        chart.rate[k] = {x, kChartBottom - r.Rate};
        if (timed) {
            time[k] = {x, chartTimeY(r.Minutes, timeLimitMinutes)};
        }
        chart.labels[2 * k] = {dateText(r.Month, r.Day), {50 * i, kDateRow}};
        chart.labels[2 * k + 1] = {clockText(r.Hour, r.Minute), {50 * i, kClockRow}};
    }
    constexpr std::size_t last = kChartPoints - 1;
    chart.rate[last] = {kNewExamX, kChartBottom - exam.rate};
    chart.labels[2 * last] = {dateText(exam.date.month, exam.date.day), {kNewLabelX, kDateRow}};
    chart.labels[2 * last + 1] = {clockText(exam.date.hour, exam.date.minute),
                                  {kNewLabelX, kClockRow}};
    if (timed) {
        time[last] = {kNewExamX, chartTimeY(exam.minutes, timeLimitMinutes)};
        chart.time = time;
        chart.timeBottom = "0分";
        chart.timeTop = std::to_string(2 * timeLimitMinutes) + "分";
    }
    return chart;
}

}  // namespace tovalo
