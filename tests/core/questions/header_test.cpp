#include <gtest/gtest.h>

#include "core/questions/numbers.h"
#include "core/questions/question_file.h"
#include "core/text/cp932.h"

using namespace tovalo;

namespace {

std::string headerWith(const std::string& tag, const std::string& l6, const std::string& l7,
                       const std::string& l8, const std::string& l9, const std::string& l10) {
    return tovalo::text::utf8ToCp932(tag + "\r\n40/65\r\n60\r\nSR-201\r\nサーバ構築\r\n" + l6 +
                                     "\r\n" + l7 + "\r\n" + l8 + "\r\n" + l9 + "\r\n" + l10 +
                                     "\r\n");
}

}  // namespace

TEST(QdfHeader, ReadsTheCatalogFields) {
    auto h =
        parseQdfHeader(headerWith("QFileFormat-x2.0", "1", "1", "3", "20250304", "  120"), "f");
    ASSERT_TRUE(h.ok()) << h.error().describe();
    EXPECT_EQ(h->FormatKind, 2);
    EXPECT_EQ(h->PassMark, "65");
    EXPECT_EQ(*h->ExamQuesCount, 40);
    EXPECT_EQ(*h->ExamTimeLimit, 60);
    EXPECT_EQ(h->ExamCode, "SR-201");
    EXPECT_EQ(h->ExamTitle, "サーバ構築");
    EXPECT_TRUE(h->Level1 && h->Level2 && h->Level3b);
    EXPECT_FALSE(h->Level3 || h->Level4);
    EXPECT_EQ(h->QdfDate, "2025/03/04");
    EXPECT_TRUE(h->ShuffleOrder);  // eight digits only: random order
    EXPECT_EQ(h->QuesTotal, 120);
}

TEST(QdfHeader, LevelsAndOrderFlag) {
    struct Case {
        std::string l6, l7, l8, l9;
        bool level3, level4, any, shuffle;
    };
    const Case cases[] = {
        {"0", "0", "1", "20250304      N", true, false, true, false},
        {"0", "0", "2", "20250304      Y", false, true, true, true},
        {"0", "0", "0", "20250304      n", false, false, false, true},  // only a capital N
        {"", "", "", "20250304     N", false, false, false, true},      // N at 14 is not read
        {"0", "0", "4", "20250304      NX", false, false, false, false},
    };
    for (const Case& c : cases) {
        auto h = parseQdfHeader(headerWith("QFileFormat-v1.4", c.l6, c.l7, c.l8, c.l9, "1"), "f");
        ASSERT_TRUE(h.ok());
        EXPECT_EQ(h->Level3, c.level3) << c.l9;
        EXPECT_EQ(h->Level4, c.level4) << c.l9;
        EXPECT_EQ(h->hasLevel(), c.any) << c.l9;
        EXPECT_EQ(h->ShuffleOrder, c.shuffle) << c.l9;
    }
}

TEST(QdfHeader, RefusesWhatTheCatalogCannotList) {
    auto notTag =
        parseQdfHeader(headerWith("QFileFormat-v1.5", "1", "0", "0", "20250304", "1"), "f");
    ASSERT_FALSE(notTag.ok());
    EXPECT_EQ(notTag.error().line, 1);
    auto spaced =
        parseQdfHeader(headerWith(" QFileFormat-v1.4", "1", "0", "0", "20250304", "1"), "f");
    EXPECT_FALSE(spaced.ok());
    auto badTotal =
        parseQdfHeader(headerWith("QFileFormat-v1.4", "1", "0", "0", "20250304", "12a"), "f");
    ASSERT_FALSE(badTotal.ok());
    EXPECT_EQ(badTotal.error().message, "入力値が数値ではありません");
    EXPECT_EQ(badTotal.error().line, 10);
    // Line 2 is not needed by the catalog; a broken one only leaves the count unknown.
    auto noSlash =
        parseQdfHeader("QFileFormat-v1.4\r\n40\r\nx\r\nA\r\nB\r\n\r\n\r\n\r\n2025\r\n3", "f");
    ASSERT_TRUE(noSlash.ok());
    EXPECT_FALSE(noSlash->ExamQuesCount.has_value());
    EXPECT_FALSE(noSlash->ExamTimeLimit.has_value());
    EXPECT_EQ(noSlash->QdfDate, "2025//");
    EXPECT_EQ(noSlash->QuesTotal, 3);
}

TEST(FileIntegers, AcceptLeadingBlanksAndASignOnly) {
    EXPECT_EQ(parseFileInteger("  12"), 12);
    EXPECT_EQ(parseFileInteger("-3"), -3);
    EXPECT_EQ(parseFileInteger("+4"), 4);
    EXPECT_EQ(parseFileInteger("2147483647"), 2147483647);
    // Up to nine bare digits are read without the full parse; around that
    // length both ways agree.
    EXPECT_EQ(parseFileInteger("0"), 0);
    EXPECT_EQ(parseFileInteger("007"), 7);
    EXPECT_EQ(parseFileInteger("999999999"), 999999999);
    EXPECT_EQ(parseFileInteger("1000000000"), 1000000000);
    EXPECT_EQ(parseFileInteger("0000000012"), 12);
    for (const char* bad :
         {"", " ", "12 ", "1 2", "-", "2147483648", "0x1F", "１２", "12a", "9/", "99999999999"}) {
        EXPECT_FALSE(parseFileInteger(bad).has_value()) << bad;
    }
    EXPECT_EQ(notAnIntegerMessage("\x82\xA0"), "'あ' は整数ではありません");
}

TEST(QdfHeader, FormatTagsMatchExactly) {
    EXPECT_EQ(formatKindOf("QFileFormat-v1.4"), 1);
    EXPECT_EQ(formatKindOf("QFileFormat-x2.0"), 2);
    EXPECT_EQ(formatKindOf("QFileFormat-x2.0 "), 0);
}
