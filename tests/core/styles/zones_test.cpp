#include <gtest/gtest.h>

#include "core/styles/zones.h"

using namespace tovalo;

// Marks are as many as the zones; a freed mark number is used again before
// any higher one.
TEST(MarkBoard, AsManyMarksAsZonesAndTheLowestFreeNumberFirst) {
    MarkBoard board({{10, 10, 50, 50}, {100, 10, 150, 50}});
    EXPECT_EQ(board.press(20, 20), 1);
    EXPECT_EQ(board.press(120, 20), 2);
    EXPECT_EQ(board.press(30, 30), 0);  // a third press is ignored
    EXPECT_EQ(board.placedCount(), 2);
    EXPECT_EQ(board.mark(1).x, 20);

    EXPECT_TRUE(board.unmark(1));
    EXPECT_FALSE(board.unmark(1));
    EXPECT_FALSE(board.mark(1).placed);
    EXPECT_EQ(board.press(35, 36), 1);
    EXPECT_EQ(board.mark(1).y, 36);
    EXPECT_FALSE(board.unmark(3));  // beyond the zones: there is no such mark
}

TEST(MarkBoard, EveryZoneNeedsAMarkStrictlyInside) {
    MarkBoard board({{10, 10, 50, 50}, {100, 10, 150, 50}});
    board.press(20, 20);
    board.press(30, 30);
    EXPECT_FALSE(board.solved());  // both marks in the first zone

    board.clear();
    board.press(10, 20);  // on the left edge
    board.press(120, 20);
    EXPECT_FALSE(board.solved());
    board.unmark(1);
    board.press(11, 49);
    EXPECT_TRUE(board.solved());

    board.clear();
    board.press(120, 50);  // on the bottom edge
    board.press(20, 20);
    EXPECT_FALSE(board.solved());
}

TEST(MarkBoard, OneMarkInAnOverlapHitsBothZones) {
    MarkBoard board({{0, 0, 100, 100}, {50, 50, 150, 150}});
    board.press(75, 75);
    EXPECT_TRUE(board.solved());
}

// A mark that has been taken off rests at (0, 0); a zone around the origin
// must not count it.
TEST(MarkBoard, AFreeMarkIsNoAnswer) {
    MarkBoard board({{-10, -10, 10, 10}});
    EXPECT_FALSE(board.solved());
    board.press(5, 5);
    board.unmark(1);
    EXPECT_FALSE(board.solved());
}

// The undo of the click picture takes the latest mark first, whatever its number.
TEST(MarkBoard, RemoveLatestUndoesInPlacingOrder) {
    MarkBoard board({{0, 0, 10, 10}, {20, 0, 30, 10}, {40, 0, 50, 10}});
    board.press(5, 5);
    board.press(25, 5);
    board.press(45, 5);
    board.unmark(1);
    EXPECT_EQ(board.press(6, 6), 1);  // now the latest
    EXPECT_EQ(board.removeLatest(), 1);
    EXPECT_EQ(board.removeLatest(), 3);
    EXPECT_EQ(board.removeLatest(), 2);
    EXPECT_EQ(board.removeLatest(), 0);
    EXPECT_EQ(board.placedCount(), 0);
}
