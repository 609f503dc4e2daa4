#include <gtest/gtest.h>

#include "core/results/progress_bar.h"

using tovalo::progressBarRow;

// Every bar is 400 pixels: red for what was reached, black for the rest;
// the ends have one picture only, and a category never asked has no bar.
TEST(ProgressBar, RowsAtTheEndsAndBetween) {
    EXPECT_EQ(progressBarRow(30, 37),
              "<td><img src=\"red.gif\" width=148 height=30>"
              "<img src=\"black.gif\" width=252 height=30></td></tr>");
    EXPECT_EQ(progressBarRow(15, 0), "<td><img src=\"black.gif\" width=400 height=15></td></tr>");
    EXPECT_EQ(progressBarRow(30, 100), "<td><img src=\"red.gif\" width=400 height=30></td></tr>");
    EXPECT_EQ(progressBarRow(15, 101), "");
    EXPECT_EQ(progressBarRow(15, -1), "");
}
