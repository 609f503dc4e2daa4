#include "core/results/result_screen.h"

#include <algorithm>

#include "core/results/verdict.h"

namespace tovalo {

namespace {

constexpr int kPaneGap = 4;
constexpr int kPaneRightMargin = 4;
// The part of the window height the pane does not take: what sits above
// it, the chart below it and the bottom bar.
constexpr int kPaneHeightAllowance = 243;
constexpr int kChartGap = 20;
constexpr int kMemoLeft = 6;
constexpr int kMemoTop = 13;
constexpr int kMemoRightMargin = 10;
// Room under the memo and the browser for the review's buttons.
constexpr int kMemoBottomRoom = 80;
constexpr int kBrowserLeft = 0;
constexpr int kBrowserTop = 18;
constexpr int kBrowserBottomRoom = 75;
constexpr int kButtonDrop = 5;
constexpr int kButtonGap = 10;
constexpr int kChartTitleRise = 17;

}  // namespace

ResultLayout resultLayout(int width, int height, int backWidth, int exitWidth,
                          int lowerStripHeight) {
    ResultLayout l;
    // A window narrower than the design (a highly scaled screen) shows the
    // chart smaller, whole, rather than cut off at the right; the height it
    // saves goes to the pane.
    const int chartWidth = std::clamp(width - kResultGridLeft - 1, 0, kResultChartWidth);
    const int chartHeight = kResultChartHeight * chartWidth / kResultChartWidth;
    const int paneLeft = kResultGridLeft + kResultGridWidth + kPaneGap;
    const int paneHeight =
        std::max(0, height - kPaneHeightAllowance + kResultChartHeight - chartHeight);
    l.pane = {paneLeft, kResultGridTop, std::max(0, width - paneLeft - kPaneRightMargin),
              paneHeight};
    l.grid = {kResultGridLeft, kResultGridTop, kResultGridWidth, paneHeight};
    l.memo = {kMemoLeft, kMemoTop, std::max(0, l.pane.width - kMemoLeft - kMemoRightMargin),
              std::max(0, paneHeight - kMemoTop - kMemoBottomRoom)};
    l.browser = {kBrowserLeft, kBrowserTop, std::max(0, l.pane.width - kBrowserLeft),
                 std::max(0, paneHeight - kBrowserTop - kBrowserBottomRoom)};
    l.chart = {kResultGridLeft, l.pane.top + paneHeight + kChartGap, chartWidth, chartHeight};
    l.chartTitleTop = l.chart.top - kChartTitleRise;
    l.bar = {kResultSideWidth, height - kResultBarHeight, std::max(0, width - kResultSideWidth),
             kResultBarHeight};
    l.buttonTop = l.bar.top + kButtonDrop;
    l.backLeft = l.bar.left + l.bar.width - kButtonGap - backWidth;
    l.exitLeft = l.backLeft - kButtonGap - exitWidth;
    l.printLeft = l.bar.left + kButtonGap;
    l.lowerStripTop = height - lowerStripHeight;
    return l;
}

bool inGridHeadingBand(int pixelsBelowGridTop) {
    return pixelsBelowGridTop >= 0 && pixelsBelowGridTop < 18;
}

const std::string& verdictText(const std::array<std::string, 5>& levelTexts, int examRate) {
    return levelTexts[static_cast<std::size_t>(verdictIndex(examRate))];
}

}  // namespace tovalo
