#include <gtest/gtest.h>

#include "core/catalog/course_menu_rules.h"

using namespace tovalo;

TEST(CourseMenuTabs, HitTestUsesOpenBordersBetweenTabs) {
    EXPECT_EQ(tabAt(1, 3), 1);
    EXPECT_EQ(tabAt(76, 3), 1);
    EXPECT_EQ(tabAt(77, 3), 0);  // exactly on the border between tabs 1 and 2
    EXPECT_EQ(tabAt(78, 3), 2);
    EXPECT_EQ(tabAt(230, 3), 3);
    EXPECT_EQ(tabAt(0, 3), 0);
    EXPECT_EQ(tabAt(232, 3), 0);  // past the last tab
    EXPECT_EQ(tabAt(40, 0), 0);
}

TEST(CourseMenuTabs, StripShowsWholeTabsAndScrollsWithinThem) {
    EXPECT_EQ(tabStripWidth(760, 160), 539);  // 570 of room holds 7 tabs
    EXPECT_EQ(tabStripWidth(1024, 160), 770);
    EXPECT_EQ(tabStripWidth(200, 160), 0);

    // Three tabs fit a 539-pixel strip: there is nothing to scroll.
    EXPECT_EQ(clampTabScroll(154, 3, 539), 0);
    // Ten tabs: the strip can move until the tenth tab touches its right end.
    EXPECT_EQ(clampTabScroll(77, 10, 539), 77);
    EXPECT_EQ(clampTabScroll(693, 10, 539), 231);
    EXPECT_EQ(clampTabScroll(-77, 10, 539), 0);

    // Showing the menu brings a tab past the seventh into view, and only then.
    EXPECT_EQ(tabScrollOnShow(0, 10, 9), 616);
    EXPECT_EQ(tabScrollOnShow(77, 10, 7), 77);
    EXPECT_EQ(tabScrollOnShow(0, 7, 7), 0);
}

TEST(CourseMenuRows, PlacedEveryTwentyFourPixelsAndScrollOnlyPastSixteen) {
    EXPECT_EQ(courseRowTop(1), 8);
    EXPECT_EQ(courseRowTop(2), 32);
    EXPECT_EQ(courseRowTop(16), 368);
    EXPECT_EQ(courseListHeight(16), 397);
    EXPECT_EQ(courseListHeight(0), 0);
    EXPECT_FALSE(courseListScrolls(16));
    EXPECT_TRUE(courseListScrolls(17));
}

TEST(CourseMenuRows, LevelIconsInDrawingOrder) {
    CourseEntry none;
    EXPECT_EQ(rowLevelIcons(none), std::vector<int>{0});

    CourseEntry master;
    master.Level4 = true;
    EXPECT_EQ(rowLevelIcons(master), std::vector<int>{4});

    CourseEntry second3;
    second3.Level3b = true;
    EXPECT_EQ(rowLevelIcons(second3), std::vector<int>{3});

    CourseEntry several;
    several.Level1 = several.Level2 = several.Level4 = true;
    EXPECT_EQ(rowLevelIcons(several), (std::vector<int>{1, 2, 4}));
}

TEST(CourseMenuRows, SelectionOnShowFollowsTheCourseLastOpened) {
    EXPECT_EQ(rowSelectedOnShow(0, 5), 1);
    EXPECT_EQ(rowSelectedOnShow(4, 5), 4);
    // A course index past this vendor's rows falls back to the top.
    EXPECT_EQ(rowSelectedOnShow(9, 5), 1);
    EXPECT_EQ(rowSelectedOnShow(3, 0), 0);
}

TEST(CourseMenuLegend, LevelsFromFourDownThenNone) {
    // Name widths: "-- None" 40, level 1 30, level 2 50, level 3 60, level 4 44.
    const std::array<int, 5> widths{40, 30, 50, 60, 44};

    const auto all = levelLegend({true, true, true, true}, widths);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].level, 4);
    EXPECT_EQ(all[0].iconX, 176);
    EXPECT_EQ(all[0].nameX, 200);
    EXPECT_EQ(all[1].level, 3);
    EXPECT_EQ(all[1].iconX, 200 + 44 + 8);  // 8 after level 4
    EXPECT_EQ(all[2].level, 2);
    EXPECT_EQ(all[2].iconX, all[1].nameX + 60 + 6);
    EXPECT_EQ(all[3].level, 1);
    EXPECT_EQ(all[4].level, 0);
    EXPECT_EQ(all[4].iconX, all[3].nameX + 30 + 6);
    EXPECT_EQ(all[4].nameX, all[4].iconX + 24);

    // A vendor without levels 3 and 4 starts its legend with level 2.
    const auto two = levelLegend({true, true, false, false}, widths);
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(two[0].level, 2);
    EXPECT_EQ(two[0].iconX, 176);
    EXPECT_EQ(two[1].iconX, 200 + 50 + 6);
    EXPECT_EQ(two[2].level, 0);
}

TEST(CourseMenuHighlight, ContrastRatioSpansOneToTwentyOne) {
    EXPECT_NEAR(contrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x3C4610, 0x3C4610), 1.0, 1e-9);
    // Mid grey against white: the textbook figure for #777777.
    EXPECT_NEAR(contrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01);
    // Green weighs far more than blue in what the eye sees as light.
    EXPECT_GT(contrastRatio(0x00FF00, 0x000000), contrastRatio(0xFF0000, 0x000000));
}

TEST(CourseMenuHighlight, SelectedRowStandsOutAndStaysReadable) {
    struct Case {
        const char* what;
        long panel;
        long text;
        long background;
    };
    const Case cases[] = {
        // The sample vendors' panel and text colours over the black rows.
        {"kumo", 3950096, 15136220, 0x000000},
        {"nexa", 5777424, 16772321, 0x000000},
        {"sorane", 7354396, 12510463, 0x000000},
        {"black panel, black text", 0x000000, 0x000000, 0x000000},
        {"pale panel, white text", 0xC0E0FF, 0xFFFFFF, 0x000000},
        {"navy panel, navy text", 0x401010, 0x401818, 0x000000},
        {"white list", 0xFFFFFF, 0x000000, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RowHighlight h = selectedRowHighlight(c.panel, c.text, c.background);
        EXPECT_GE(contrastRatio(h.band, c.background), kBandMinContrast);
        EXPECT_GE(contrastRatio(h.ink, h.band), kInkMinContrast);
    }
}

TEST(CourseMenuHighlight, VendorColoursKeptWhereTheyAlreadyWork) {
    // Teal and blue panels that stand out from black as they are.
    EXPECT_EQ(selectedRowHighlight(3950096, 15136220, 0).band, 3950096);
    EXPECT_EQ(selectedRowHighlight(3950096, 15136220, 0).ink, 15136220);
    EXPECT_EQ(selectedRowHighlight(7354396, 12510463, 0).band, 7354396);

    // The darker navy is lifted toward its text colour but stays blue.
    const RowHighlight navy = selectedRowHighlight(5777424, 16772321, 0);
    EXPECT_NE(navy.band, 5777424);
    const int red = navy.band & 0xFF;
    const int blue = (navy.band >> 16) & 0xFF;
    EXPECT_GT(blue, red + 40);
    EXPECT_EQ(navy.ink, 16772321);

    // White on a pale band is unreadable: black ink instead.
    EXPECT_EQ(selectedRowHighlight(0xC0E0FF, 0xFFFFFF, 0).ink, 0x000000);
}
