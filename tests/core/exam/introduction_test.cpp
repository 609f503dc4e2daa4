#include <gtest/gtest.h>

#include "core/exam/introduction.h"

using namespace tovalo;

// The card repeats the fields as typed, leading zeros and all, but never
// promises more questions than the draw found.
TEST(Introduction, LinesRepeatTheFieldsAsTypedAndCountWhatWillBeAsked) {
    const StartCheck typed = validateStart("030", "045", SelectionMode::Normal, 40, false);
    ASSERT_TRUE(typed.ok);
    auto lines = introductionLines("ネットワーク基礎", typed.settings, 30);
    EXPECT_EQ(lines[0], "テスト名 : ネットワーク基礎 ");
    EXPECT_EQ(lines[1], "問題数   : 030問");
    EXPECT_EQ(lines[2], "制限時間 : 045分");
    lines = introductionLines("ネットワーク基礎", typed.settings, 27);
    EXPECT_EQ(lines[1], "問題数   : 27問");
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
