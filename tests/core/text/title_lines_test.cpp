#include <gtest/gtest.h>

#include "core/text/characters.h"
#include "core/text/title_lines.h"

using tovalo::text::characterCount;
using tovalo::text::titleLines;
using tovalo::text::TitleLines;

namespace {

// Every character 10 pixels wide, 9 one font step smaller.
int measure(std::string_view text, bool smaller) {
    return static_cast<int>(characterCount(text)) * (smaller ? 9 : 10);
}

struct Case {
    const char* text;
    int width;
    int maxLines;
    std::vector<std::string> lines;
    bool smaller;
};

}  // namespace

TEST(TitleLines, BreakAtBlanksAndShrinkOneStepBeforeBreakingAWord) {
    const Case cases[] = {
        // The side column's titles: the second word keeps together.
        {"クラウド移行設計 ケーススタディ", 100, 2, {"クラウド移行設計", "ケーススタディ"}, false},
        {"NXA-330\nLinuxサーバー管理 エキスパート",
         130,
         3,
         {"NXA-330", "Linuxサーバー管理", "エキスパート"},
         false},
        // An ideographic space is a blank too, and words share a line while they fit.
        {"試験　対策 模擬 問題集", 100, 2, {"試験　対策 模擬", "問題集"}, false},
        // A ten-character word fits one step smaller.
        {"ネットワーク基礎演習", 95, 2, {"ネットワーク基礎演習"}, true},
        // So do words that would take four lines at the box's own size.
        {"aaaa bbbb cccc dddd", 85, 3, {"aaaa bbbb", "cccc dddd"}, true},
        // A word too long even then is broken, at the box's own size.
        {"ネットワーク基礎演習問題集", 100, 2, {"ネットワーク基礎演習", "問題集"}, false},
        {"", 100, 2, {""}, false},
    };
    for (const Case& c : cases) {
        const TitleLines got = titleLines(c.text, c.width, c.maxLines, measure);
        EXPECT_EQ(got.lines, c.lines) << c.text;
        EXPECT_EQ(got.smaller, c.smaller) << c.text;
    }
}
