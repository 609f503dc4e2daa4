#include <gtest/gtest.h>

#include "core/results/history_chart.h"

using namespace tovalo;

namespace {

ExamRecord record(int rate, int minutes, int month, int day, int hour, int minute) {
    ExamRecord r;
    r.Rate = rate;
    r.Minutes = minutes;
    r.Month = month;
    r.Day = day;
    r.Hour = hour;
    r.Minute = minute;
    return r;
}

}  // namespace

// The newest stored exam is point 9, the oldest drawn is point 1, the tenth
// slot is left out, empty slots sit on zero with zero labels, and the exam
// just graded comes last.
TEST(HistoryChart, PointsAndLabelsFromTheStoredSlots) {
    HistoryFile h;
    h.exams[0] = record(70, 45, 7, 30, 14, 5);
    h.exams[1] = record(55, 30, 12, 31, 23, 59);
    h.exams[8] = record(40, 60, 1, 2, 3, 4);
    h.exams[9] = record(99, 99, 9, 9, 9, 9);
    const HistoryChart c = historyChart(h, {80, 27, {2026, 8, 1, 9, 0}}, 60);

    EXPECT_EQ(c.rate[0], (ChartPoint{65, 70}));
    EXPECT_EQ(c.rate[7], (ChartPoint{415, 55}));
    EXPECT_EQ(c.rate[8], (ChartPoint{465, 40}));
    EXPECT_EQ(c.rate[4], (ChartPoint{265, 110}));
    EXPECT_EQ(c.rate[9], (ChartPoint{515, 30}));
    ASSERT_TRUE(c.time.has_value());
    EXPECT_EQ((*c.time)[0], (ChartPoint{65, 60}));
    EXPECT_EQ((*c.time)[4], (ChartPoint{265, 110}));
    EXPECT_EQ((*c.time)[8], (ChartPoint{465, 72}));
    EXPECT_EQ((*c.time)[9], (ChartPoint{515, 88}));

    EXPECT_EQ(c.labels[0], (ChartLabel{"1/2", {50, 112}}));
    EXPECT_EQ(c.labels[1], (ChartLabel{"3:4", {50, 126}}));
    EXPECT_EQ(c.labels[8], (ChartLabel{"0/0", {250, 112}}));
    EXPECT_EQ(c.labels[9], (ChartLabel{"0:0", {250, 126}}));
    EXPECT_EQ(c.labels[14], (ChartLabel{"12/31", {400, 112}}));
    EXPECT_EQ(c.labels[15], (ChartLabel{"23:59", {400, 126}}));
    EXPECT_EQ(c.labels[16], (ChartLabel{"7/30", {450, 112}}));
    EXPECT_EQ(c.labels[17], (ChartLabel{"14:5", {450, 126}}));
    EXPECT_EQ(c.labels[18], (ChartLabel{"8/1", {500, 112}}));
    EXPECT_EQ(c.labels[19], (ChartLabel{"9:0", {500, 126}}));
    EXPECT_EQ(c.timeTop, "120分");
    EXPECT_EQ(c.timeBottom, "0分");
    EXPECT_EQ(c.rateScale(kScaleLeftBottom, kScaleLeftTop).top, (ChartLabel{"100%", {24, 10}}));
}

// Minutes × 50 / limit rounds half to even: a float or a plain "+ 0.5"
// would put one of the halves a pixel off. Twice the limit is the top, and
// a longer exam stays on it instead of leaving the picture.
TEST(HistoryChart, TimeScaleRoundsHalfToEven) {
    EXPECT_EQ(chartTimeY(45, 60), 110 - 38);
    EXPECT_EQ(chartTimeY(27, 60), 110 - 22);
    EXPECT_EQ(chartTimeY(0, 60), 110);
    EXPECT_EQ(chartTimeY(120, 60), 10);
    EXPECT_EQ(chartTimeY(255, 60), 10);
    EXPECT_EQ(chartTimeY(1, 4), 110 - 12);  // 12.5
    EXPECT_EQ(chartTimeY(3, 4), 110 - 38);  // 37.5
}

// A course without a time limit has no time scale: the rate is drawn as
// ever, the time not at all.
TEST(HistoryChart, NoTimeLimitLeavesOutTheTimeSeries) {
    HistoryFile h;
    h.exams[0] = record(50, 20, 3, 4, 5, 6);
    const HistoryChart c = historyChart(h, {60, 15, {2026, 3, 5, 7, 8}}, 0);
    EXPECT_FALSE(c.time.has_value());
    EXPECT_EQ(c.timeTop, "");
    EXPECT_EQ(c.timeBottom, "");
    EXPECT_EQ(c.rate[8], (ChartPoint{465, 60}));
    EXPECT_EQ(c.rate[9], (ChartPoint{515, 50}));
}
