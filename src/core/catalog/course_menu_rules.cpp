#include "core/catalog/course_menu_rules.h"

#include <algorithm>

namespace tovalo {

int tabAt(int x, int vendorCount) {
    for (int n = 1; n <= vendorCount; ++n) {
        if ((n - 1) * kTabWidth < x && x < n * kTabWidth) {
            return n;
        }
    }
    return 0;
}

int tabStripWidth(int clientWidth, int stripLeft) {
    const int room = clientWidth - stripLeft - kTabStripRightMargin;
    return room <= 0 ? 0 : room / kTabWidth * kTabWidth;
}

int clampTabScroll(int offset, int vendorCount, int visibleWidth) {
    const int furthest = std::max(0, vendorCount * kTabWidth - visibleWidth);
    return std::clamp(offset, 0, furthest);
}

int tabScrollOnShow(int currentOffset, int vendorCount, int tabPosition) {
    if (vendorCount > kTabsShownAtOnce && tabPosition > kTabsShownAtOnce) {
        return tabLeft(tabPosition);
    }
    return currentOffset;
}

int courseListHeight(int rows) {
    if (rows <= 0) {
        return 0;
    }
    return courseRowTop(rows) + kCourseRowHeight + courseRowTop(1);
}

std::vector<int> rowLevelIcons(const CourseEntry& course) {
    if (!course.hasLevel()) {
        return {0};
    }
    std::vector<int> icons;
    if (course.Level1) {
        icons.push_back(1);
    }
    if (course.Level2) {
        icons.push_back(2);
    }
    if (course.Level3) {
        icons.push_back(3);
    }
    if (course.Level4) {
        icons.push_back(4);
    }
    if (course.Level3b) {
        icons.push_back(3);
    }
    return icons;
}

int rowSelectedOnShow(int courseIndex, int rows) {
    if (rows <= 0) {
        return 0;
    }
    return courseIndex > 1 && courseIndex <= rows ? courseIndex : 1;
}

std::vector<LegendEntry> levelLegend(const std::array<bool, 4>& levelShown,
                                     const std::array<int, 5>& nameWidth) {
    constexpr int kNameOffset = 24;
    std::vector<LegendEntry> legend;
    int x = kLegendLeft;
    auto place = [&](int level) {
        legend.push_back({level, x, x + kNameOffset});
        // Level 4 leads the legend and stands a little further apart.
        x += kNameOffset + nameWidth[level] + (level == 4 ? 8 : 6);
    };
    for (int level = 4; level >= 1; --level) {
        if (levelShown[level - 1]) {
            place(level);
        }
    }
    place(0);
    return legend;
}

}  // namespace tovalo
