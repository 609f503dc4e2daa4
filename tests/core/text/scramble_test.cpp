#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "core/text/cp932.h"
#include "core/text/scramble.h"
#include "core/text/trim.h"

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

TEST(Scramble, UnscrambleToUtf8DecodesWhatScrambleGives) {
    using tovalo::text::cp932ToUtf8;
    using tovalo::text::unscrambleToUtf8;
    // Every stored byte and pair: letters, kana rows, kanji leads, bytes CP932
    // reads alone, undefined pairs and lone leads.
    for (int b = 0; b <= 0xFF; ++b) {
        ASSERT_EQ(unscrambleToUtf8(bytes({b})), cp932ToUtf8(scramble(bytes({b})))) << b;
        for (int t = 0; t <= 0xFF; ++t) {
            const std::string pair = bytes({b, t});
            ASSERT_EQ(unscrambleToUtf8(pair), cp932ToUtf8(scramble(pair))) << b << " " << t;
        }
    }
    // Half-width katakana pairs with the next byte when scrambled but stands
    // alone in CP932, so the two pairings part company after it.
    const std::string mixed = scramble(tovalo::text::utf8ToCp932("ﾈｯﾄﾜｰｸ基礎、ネットワーク。Null"));
    EXPECT_EQ(unscrambleToUtf8(mixed), "ﾈｯﾄﾜｰｸ基礎、ネットワーク。Null");
    std::mt19937 rng(7);
    for (int n = 0; n < 20000; ++n) {
        std::string s(rng() % 20, '\0');
        for (char& c : s) {
            c = static_cast<char>(rng() % 3 == 0 ? 0x82 + rng() % 2 : rng());
        }
        ASSERT_EQ(unscrambleToUtf8(s), cp932ToUtf8(scramble(s)));
    }
}

TEST(Scramble, LongRunsOfDoubleByteCharactersDecodeAsOneByOne) {
    // Runs of double-byte characters are decoded four at a time. Runs of
    // every length, broken by letters, half-width katakana, undefined pairs
    // and a lone lead byte at the end, decode as scrambling and then
    // decoding the whole does.
    using tovalo::text::cp932ToUtf8;
    using tovalo::text::unscrambleToUtf8;
    const std::string pieces[] = {"\x82\xA0", "\x83\x40", "\x83\x94", "\x99\x9F", "\xE0\x40",
                                  "\x8E\x9A", "\x81\x42", "\x88\x9F", "\xEA\xA4", "\xFC\x4B"};
    const std::string breaks[] = {"A", "2", " ", "\xB1", "\x85\x40", "\x81\x7F", "\xA0", "\xFD"};
    std::mt19937 rng(5);
    for (int n = 0; n < 20000; ++n) {
        std::string s;
        for (int k = rng() % 60; k > 0; --k) {
            s += rng() % 12 == 0 ? breaks[rng() % std::size(breaks)]
                                 : pieces[rng() % std::size(pieces)];
        }
        if (rng() % 8 == 0) {
            s += "\x89";
        }
        ASSERT_EQ(unscrambleToUtf8(s), cp932ToUtf8(scramble(s))) << n;
    }
}

TEST(Scramble, ABlockDecodesAsItsLinesScrambledOneByOne) {
    // The loader joins a text block's stored lines with CR LF and trims and
    // decodes them at once. That is the same as scrambling each line on its
    // own: CR LF never takes part in a pair rule, even after a lone lead
    // byte, and trimming touches only bytes that scrambling leaves alone.
    using tovalo::text::cp932ToUtf8;
    using tovalo::text::unscrambleToUtf8;
    std::mt19937 rng(11);
    const std::string pieces[] = {" ", "\t", "\x82",     "\x83",     "\x89",     "\xB1",
                                  "A", "n",  "\x82\xA0", "\x83\x40", "\x90\x40", "  \x81"};
    for (int n = 0; n < 20000; ++n) {
        std::string stored;
        std::string readable;
        for (int line = rng() % 4; line > 0; --line) {
            std::string s;
            for (int k = rng() % 6; k > 0; --k) {
                s += pieces[rng() % std::size(pieces)];
            }
            stored += "\r\n" + s;
            readable += "\r\n" + scramble(s);
        }
        ASSERT_EQ(unscrambleToUtf8(tovalo::text::trim(stored)),
                  cp932ToUtf8(tovalo::text::trim(readable)));
    }
}
