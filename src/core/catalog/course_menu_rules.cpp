#include "core/catalog/course_menu_rules.h"

#include <algorithm>
#include <cmath>

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

namespace {

constexpr long kWhite = 0xFFFFFF;
constexpr long kBlack = 0x000000;

int channel(long colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

double linear(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(long colour) {
    return 0.2126 * linear(channel(colour, 0)) + 0.7152 * linear(channel(colour, 8)) +
           0.0722 * linear(channel(colour, 16));
}

// `from` moved by `share` (0..1) of the way to `to`, channel by channel.
long mixed(long from, long to, double share) {
    long result = 0;
    for (int shift : {0, 8, 16}) {
        const double a = channel(from, shift);
        const double b = channel(to, shift);
        result |= static_cast<long>(std::lround(a + (b - a) * share)) << shift;
    }
    return result;
}

}  // namespace

double contrastRatio(long first, long second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

RowHighlight selectedRowHighlight(long panelColor, long panelTextColor, long background) {
    RowHighlight h{panelColor & kWhite, panelTextColor & kWhite};
    // A band as dark as the list would mark nothing. Moving toward the
    // text colour keeps the vendor's look; a text colour that would not get
    // the band there either leaves it to white or black.
    const long toward = contrastRatio(h.ink, background) >= kBandMinContrast
                            ? h.ink
                            : (luminance(background) < 0.5 ? kWhite : kBlack);
    for (int step = 1; step <= 20 && contrastRatio(h.band, background) < kBandMinContrast; ++step) {
        h.band = mixed(panelColor & kWhite, toward, step / 20.0);
    }
    if (contrastRatio(h.ink, h.band) < kInkMinContrast) {
        h.ink = contrastRatio(kWhite, h.band) >= contrastRatio(kBlack, h.band) ? kWhite : kBlack;
    }
    return h;
}

}  // namespace tovalo
