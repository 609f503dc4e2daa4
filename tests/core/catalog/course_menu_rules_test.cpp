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
