#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

using namespace tovalo::text;

TEST(Cp932, RoundTripsJapaneseText) {
    const std::string utf8 = "ネットワーク基礎（全200問）ｱｲｳ①Ⅱ～";
    const std::string bytes = utf8ToCp932(utf8);
    EXPECT_NE(bytes, utf8);
    EXPECT_EQ(cp932ToUtf8(bytes), utf8);
    std::string back;
    EXPECT_TRUE(cp932ToUtf8Exact(bytes, back));
    EXPECT_EQ(back, utf8);
}

TEST(Cp932, UsesTheWindowsMappingOfTheWaveDash) {
    // 0x8160 is FULLWIDTH TILDE in Windows-31J, not WAVE DASH as in JIS.
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "\xEF\xBD\x9E");
    EXPECT_EQ(utf8ToCp932("\xEF\xBD\x9E"), "\x81\x60");
    EXPECT_EQ(cp932ToUtf8("C:\\path"), "C:\\path");
}

TEST(Cp932, SubstitutesWhatCannotBeConverted) {
    // U+1F600 has no CP932 code.
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80z", Unmappable::HtmlReference), "a&#128512;z");
    EXPECT_EQ(utf8ToCp932("a\xFFz"), "a?z");  // not UTF-8 at all
    // An undefined lead/trail pair and a lone lead at the end become U+FFFD.
    EXPECT_EQ(cp932ToUtf8("a\x85\x40z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(cp932ToUtf8("a\x89"), "a\xEF\xBF\xBD");
    std::string out;
    EXPECT_FALSE(cp932ToUtf8Exact("a\x85\x40z", out));
    // 0xED40 and 0xFA5C are the same character; only one of them comes back.
    EXPECT_FALSE(cp932ToUtf8Exact("\xED\x40", out));
    EXPECT_TRUE(cp932ToUtf8Exact("\xFA\x5C", out));
}

TEST(Cp932, ValidatesUtf8) {
    EXPECT_TRUE(isValidUtf8("abc日本語"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(isValidUtf8("\xE6\x97"));      // cut short
}

TEST(Trim, RemovesBlanksAndControlBytesOnly) {
    EXPECT_EQ(trim(" \t\r\n\x01*QE \x1F"), "*QE");
    EXPECT_EQ(trim("\xE3\x80\x80全角\xE3\x80\x80"), "\xE3\x80\x80全角\xE3\x80\x80");
    EXPECT_EQ(trim("   "), "");
    EXPECT_TRUE(equalsIgnoreAsciiCase("Vender", "VENDER"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("Vender", "Vendor"));
    EXPECT_EQ(asciiLower("NeXa"), "nexa");
}

TEST(Lines, SplitsOnLfAndDropsTheCrBeforeIt) {
    const auto lines = splitLines("a\r\nb\n\r\nc\rd");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "c\rd");
    EXPECT_EQ(splitLines("x\r\n").size(), 1u);
    EXPECT_TRUE(splitLines("").empty());
}

TEST(Lines, LongTextSplitsAsLineByLineReadingDoes) {
    // Line ends are found sixty-four bytes at a time; every position of LF
    // and CR against those blocks (a CR ending one block and its LF starting
    // the next among them), and a text ending with or without one. The
    // cursor gives the same lines one by one and, at the end, their count.
    const auto byReading = [](std::string_view s) {
        std::vector<std::string_view> lines;
        while (!s.empty()) {
            const std::size_t lf = s.find('\n');
            std::string_view line = s.substr(0, lf);
            if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            lines.push_back(line);
            s.remove_prefix(lf == std::string_view::npos ? s.size() : lf + 1);
        }
        return lines;
    };
    std::mt19937 rng(3);
    const char bytes[] = {'\n', '\r', 'a', '\x82'};
    for (int n = 0; n < 5000; ++n) {
        std::string text(rng() % 300, 'x');
        const unsigned density = n % 2 == 0 ? 3 : 40;  // short lines, or lines across blocks
        for (char& c : text) {
            c = rng() % density == 0 ? bytes[rng() % 4] : 'x';
        }
        const auto expected = byReading(text);
        ASSERT_EQ(splitLines(text), expected) << text;
        LineCursor cursor(text);
        std::vector<std::string_view> seen;
        for (; !cursor.atEnd(); cursor.next()) {
            ASSERT_EQ(cursor.index(), seen.size());
            seen.push_back(cursor.line());
        }
        ASSERT_EQ(seen, expected) << text;
        EXPECT_EQ(cursor.index(), expected.size());
        cursor.next();
        EXPECT_TRUE(cursor.atEnd());
        EXPECT_EQ(cursor.index(), expected.size());
    }
}
