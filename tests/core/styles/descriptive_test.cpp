#include <gtest/gtest.h>

#include "core/styles/descriptive.h"

using namespace tovalo;

TEST(Descriptive, CaseRules) {
    const DescriptiveAnswer off{"Router", "off", 10};
    const DescriptiveAnswer on{"Router", "on", 10};
    EXPECT_TRUE(judgeDescriptive(off, "  router\t"));
    EXPECT_FALSE(judgeDescriptive(on, "  router\t"));
    EXPECT_TRUE(judgeDescriptive(on, " Router "));
    EXPECT_FALSE(judgeDescriptive(off, "Route"));
    EXPECT_FALSE(judgeDescriptive(off, "Routers"));

    // Only A-Z fold: a full-width letter stays as it is.
    const DescriptiveAnswer wide{"ＡＢＣ", "off", 0};
    EXPECT_FALSE(judgeDescriptive(wide, "ａｂｃ"));
    EXPECT_TRUE(judgeDescriptive(wide, "ＡＢＣ"));
    EXPECT_FALSE(judgeDescriptive({"Ünix", "off", 0}, "ünix"));

    // Any other rule is never right, not even for the exact text.
    EXPECT_FALSE(judgeDescriptive({"Router", "ON", 10}, "Router"));
    EXPECT_FALSE(judgeDescriptive({"Router", "", 10}, "Router"));
}

TEST(Descriptive, AStoredTrailingBlankCanNeverBeTyped) {
    EXPECT_FALSE(judgeDescriptive({"chmod ", "on", 0}, "chmod "));
    EXPECT_FALSE(judgeDescriptive({"chmod ", "off", 0}, "chmod"));
    EXPECT_TRUE(judgeDescriptive({"", "on", 0}, "   "));
}

// The field counts characters, so a Japanese answer is cut after the same
// number of characters as an English one, never inside one.
TEST(Descriptive, TheFieldTakesAtMostTheMaximumCharacters) {
    EXPECT_EQ(limitTyped("abcdefg", 5), "abcde");
    EXPECT_EQ(limitTyped("スナップショット", 5), "スナップシ");
    EXPECT_EQ(limitTyped("abc", 5), "abc");
    EXPECT_EQ(limitTyped("abcde", 5), "abcde");
    EXPECT_EQ(limitTyped("abcdef", 0), "abcdef");  // no limit
}
