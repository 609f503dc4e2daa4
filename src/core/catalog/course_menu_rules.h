#pragma once

#include <array>
#include <vector>

#include "core/catalog/catalog.h"

namespace tovalo {

// Geometry of the course menu. Tab pictures, rows and the level legend keep
// these sizes on every desktop because the vendor bundles are drawn for them.
inline constexpr int kTabWidth = 77;
inline constexpr int kTabHeight = 36;
// The selected tab is drawn this much lower than the others: it looks pressed.
inline constexpr int kSelectedTabTop = 18;
// Room the tab strip leaves at its right for the two scroll arrows.
inline constexpr int kTabStripRightMargin = 30;
// Tabs a strip of the minimum window width shows at once.
inline constexpr int kTabsShownAtOnce = 7;

inline constexpr int kCourseRowLeft = 22;
inline constexpr int kCourseRowWidth = 560;
inline constexpr int kCourseRowHeight = 21;
inline constexpr int kCourseRowPitch = 24;
inline constexpr int kRowsWithoutScrollBar = 16;
inline constexpr int kLevelIconSize = 18;
// One level of the vendor's level strip picture; level k starts at (k − 1) × 129.
inline constexpr int kLevelSegmentWidth = 129;
inline constexpr int kLevelSegmentHeight = 42;

// The vendor number whose tab lies under `x` on the strip, counted from the
// strip's left end: (n − 1) × 77 < x < n × 77. 0 on a border or past the last tab.
int tabAt(int x, int vendorCount);

// Where a tab picture starts on the strip.
inline int tabLeft(int tabPosition) {
    return (tabPosition - 1) * kTabWidth;
}

// The strip shows whole tabs only: (client width − left edge − 30) div 77 × 77.
int tabStripWidth(int clientWidth, int stripLeft);

// A scroll offset kept inside the tabs: no blank space beyond the last one.
int clampTabScroll(int offset, int vendorCount, int visibleWidth);

// The offset the strip takes when the menu is shown: a tab beyond the first
// seven is brought into view; otherwise the strip stays where it was.
int tabScrollOnShow(int currentOffset, int vendorCount, int tabPosition);

// Top of catalog row `row` (1-based) in the course area.
inline int courseRowTop(int row) {
    return row * kCourseRowPitch - 16;
}

// The course area needs its scroll bar only past 16 rows.
inline bool courseListScrolls(int rows) {
    return rows > kRowsWithoutScrollBar;
}

// Height the course area's contents take for `rows` rows, with the same
// margin below the last row as above the first.
int courseListHeight(int rows);

// The level icons a row draws at its left, in drawing order: 0 (the
// no-level icon) alone, or every level the course has; the second level-3
// flag draws the level-3 icon.
std::vector<int> rowLevelIcons(const CourseEntry& course);

// The row the menu selects when it is shown: the course last opened when
// it lies past the first row, else the first row; 0 for an empty list.
int rowSelectedOnShow(int courseIndex, int rows);

// One entry of the level legend: the icon of `level` (0 is "-- None") and
// its name beside it.
struct LegendEntry {
    int level = 0;
    int iconX = 0;
    int nameX = 0;
};

inline constexpr int kLegendLeft = 176;

// The legend from level 4 down to 1, skipping levels the vendor does not
// have, then the "-- None" entry. `levelShown[k - 1]` says whether level k is
// listed; `nameWidth[k]` is the drawn width of the name of level k, index 0
// for "-- None".
std::vector<LegendEntry> levelLegend(const std::array<bool, 4>& levelShown,
                                     const std::array<int, 5>& nameWidth);

// Contrast between two desktop colour values (0x00BBGGRR) as the WCAG
// ratio of their relative luminances: 1 for equal colours, 21 for black on
// white.
double contrastRatio(long first, long second);

// The band behind the selected course row and the ink of its text and of
// its focus mark, in desktop colour values.
struct RowHighlight {
    long band = 0;
    long ink = 0;
};

// Readers must find the selected row at a glance and still read it: the
// band stands out from the list's background by at least this much and the
// ink on the band reaches the contrast asked of body text.
inline constexpr double kBandMinContrast = 1.8;
inline constexpr double kInkMinContrast = 4.5;

// The selected row's colours, taken from the vendor's panel colours: the
// panel colour as the band, moved toward the panel's text colour until it
// stands out from `background`, and the panel's text colour as ink unless
// it reads too faintly on the band, when white or black (whichever reads
// better) takes its place.
RowHighlight selectedRowHighlight(long panelColor, long panelTextColor, long background);

}  // namespace tovalo
