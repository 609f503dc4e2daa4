#include <gtest/gtest.h>

#include "core/exam/introduction.h"

using namespace tovalo;

TEST(Introduction, LinesRepeatTheFieldsAsTyped) {
    const auto lines = introductionLines("ネットワーク基礎", "40", "0");
    EXPECT_EQ(lines[0], "テスト名 : ネットワーク基礎 ");
    EXPECT_EQ(lines[1], "問題数   : 40問");
    EXPECT_EQ(lines[2], "制限時間 : 0分");
}

TEST(Introduction, StartSoundOnTheFirstTickAndHandOverAfterTwenty) {
    IntroductionCountdown c;
    int sounds = 0;
    int handOverAt = 0;
    for (int i = 1; i <= 25 && handOverAt == 0; ++i) {
        const IntroductionCountdown::Tick t = c.tick();
        sounds += t.playStart ? 1 : 0;
        if (i == 1) {
            EXPECT_TRUE(t.playStart);
        }
        if (t.handOver) {
            handOverAt = i;
        }
    }
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(handOverAt, 21);
    c.reset();
    EXPECT_TRUE(c.tick().playStart);
}
