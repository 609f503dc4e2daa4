#include <gtest/gtest.h>

#include <string>

#include "core/text/scramble.h"

using tovalo::text::scramble;

namespace {

std::string bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) {
        s += static_cast<char>(b);
    }
    return s;
}

}  // namespace

TEST(Scramble, RotatesAsciiLettersAndLeavesOtherAsciiAlone) {
    EXPECT_EQ(scramble("abc"), "nop");
    EXPECT_EQ(scramble("NOPnop"), "ABCabc");
    EXPECT_EQ(scramble("Null"), "Ahyy");
    EXPECT_EQ(scramble("*QE 12/3 @#"), "*DR 12/3 @#");
}

TEST(Scramble, AppliesTheFirstMatchingPairRule) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {bytes({0x83, 0x40}), bytes({0x83, 0x50})},  // katakana rows swap by 0x10
        {bytes({0x83, 0x4F}), bytes({0x83, 0x5F})},
        {bytes({0x83, 0x5F}), bytes({0x83, 0x4F})},
        {bytes({0x83, 0x60}), bytes({0x83, 0x80})},
        {bytes({0x83, 0x8F}), bytes({0x83, 0x6F})},
        {bytes({0x83, 0x70}), bytes({0x83, 0x70})},  // 0x83 with other trails: unchanged
        {bytes({0x82, 0xA0}), bytes({0x82, 0xC0})},  // hiragana rows swap by 0x20
        {bytes({0x82, 0xDF}), bytes({0x82, 0xBF})},
        {bytes({0x82, 0x9F}), bytes({0x82, 0x9F})},
        {bytes({0x89, 0x40}), bytes({0x99, 0x40})},  // kanji leads move by 0x10
        {bytes({0x9F, 0xFC}), bytes({0x8F, 0xFC})},
        {bytes({0x90, 0x40}), bytes({0xE0, 0x40})},  // and by 0x50
        {bytes({0xE7, 0x9E}), bytes({0x97, 0x9E})},
        {bytes({0x89, 0x3F}), bytes({0x89, 0x3F})},  // trail below 0x40: no lead rule
        {bytes({0x88, 0x9F}), bytes({0x88, 0x9F})},  // leads outside the table
        {bytes({0x98, 0x9F}), bytes({0x98, 0x9F})},
        {bytes({0xE8, 0x40}), bytes({0xE8, 0x40})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scramble(c.in), c.out);
        EXPECT_EQ(scramble(c.out), c.in);
    }
}

TEST(Scramble, TakesEveryHighByteAsALeadIncludingHalfWidthKatakana) {
    // 0xB1 is the single-byte katakana "ｱ"; the "a" after it is its "trail"
    // and therefore not rotated.
    EXPECT_EQ(scramble(bytes({0xB1, 'a', 'a'})), bytes({0xB1, 'a', 'n'}));
    // A lone lead byte at the end pairs with a zero byte that is not kept.
    EXPECT_EQ(scramble(bytes({'a', 0x89})), bytes({'n', 0x89}));
    EXPECT_EQ(scramble(bytes({'a', 0xB1})), bytes({'n', 0xB1}));
}

TEST(Scramble, IsItsOwnInverseForEveryPairAndLoneLead) {
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        EXPECT_EQ(scramble(scramble(bytes({'x', lead}))), bytes({'x', lead}));
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const std::string line = bytes({'Q', lead, trail, 'z'});
            ASSERT_EQ(scramble(scramble(line)), line) << lead << " " << trail;
        }
    }
}
