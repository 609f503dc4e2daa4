#include <gtest/gtest.h>

#include "core/results/result_screen.h"

using namespace tovalo;

// At the design size and at a larger window: the pane and the grid share
// their height, the memo and the browser leave room for the review's
// buttons, the chart follows the pane and the bar buttons keep to the
// right edge.
TEST(ResultLayout, FollowsTheWindow) {
    for (const auto& [w, h] : {std::pair{760, 569}, std::pair{1024, 740}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const ResultLayout l = resultLayout(w, h, 104, 96, 160);
        EXPECT_EQ(l.pane.height, h - 243);
        EXPECT_EQ(l.pane.left + l.pane.width, w - 4);
        EXPECT_EQ(l.grid.height, l.pane.height);
        EXPECT_EQ(l.grid.top, l.pane.top);
        EXPECT_LT(l.grid.left + l.grid.width, l.pane.left);

        EXPECT_EQ(l.memo.left + l.memo.width, l.pane.width - 10);
        EXPECT_EQ(l.memo.top + l.memo.height, l.pane.height - 80);
        EXPECT_EQ(l.browser.left + l.browser.width, l.pane.width);
        EXPECT_EQ(l.browser.top + l.browser.height, l.pane.height - 75);

        EXPECT_EQ(l.chart.top, l.pane.top + l.pane.height + 20);
        EXPECT_LT(l.chartTitleTop, l.chart.top);
        EXPECT_GE(l.chartTitleTop, l.pane.top + l.pane.height);
        EXPECT_LE(l.chart.top + l.chart.height, l.bar.top);

        EXPECT_EQ(l.bar.top + l.bar.height, h);
        EXPECT_EQ(l.bar.left + l.bar.width, w);
        EXPECT_EQ(l.buttonTop, l.bar.top + 5);
        EXPECT_EQ(l.backLeft + 104, w - 10);
        EXPECT_EQ(l.exitLeft + 96, l.backLeft - 10);
        EXPECT_EQ(l.lowerStripTop + 160, h);
    }
    // At the design width the history chart just fits beside the side column.
    const ResultLayout design = resultLayout(760, 569, 104, 104, 160);
    EXPECT_LE(design.chart.left + design.chart.width, 760);
    EXPECT_EQ(design.memo.height, 233);
    EXPECT_EQ(design.browser.height, 233);
    EXPECT_EQ(design.chart.width, kResultChartWidth);
    EXPECT_EQ(design.chart.height, kResultChartHeight);
}

// 1280 × 900 at 200 % leaves 640 × 450: the chart shrinks in proportion to
// stay whole beside the side column, and the pane takes the height it saves,
// so the chart still ends the same distance above the bar.
TEST(ResultLayout, ANarrowWindowShowsTheChartWholeAndSmaller) {
    const ResultLayout design = resultLayout(760, 562, 104, 96, 160);
    const ResultLayout l = resultLayout(640, 450, 104, 96, 160);
    EXPECT_EQ(l.chart.left + l.chart.width, 640 - 1);
    EXPECT_LT(l.chart.width, kResultChartWidth);
    EXPECT_NEAR(double(l.chart.height) / l.chart.width,
                double(kResultChartHeight) / kResultChartWidth, 0.01);
    EXPECT_EQ(l.bar.top - (l.chart.top + l.chart.height),
              design.bar.top - (design.chart.top + design.chart.height));
    EXPECT_GT(l.pane.height, 0);
    EXPECT_LT(l.exitLeft + 96, l.backLeft);
    EXPECT_GT(l.exitLeft, l.printLeft);
}
