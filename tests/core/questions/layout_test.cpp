#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/questions/qdf_layout.h"
#include "core/questions/question_file.h"
#include "core/text/lines.h"
#include "qdf_builder.h"

using namespace tovalo;

namespace {

// Two records, the first with a two-line question, and a line after "*EOF".
QdfBuilder twoRecords() {
    QdfBuilder::Record first;
    first.question = {"一行目", "二行目"};
    QdfBuilder::Record second;
    second.num = 2;
    second.closing = "*EOF";
    QdfBuilder b;
    b.header("QFileFormat-v1.4", "20261201", "2").category("c", {"s"}).plain("*CE");
    b.record(first).record(second).plain("after the end");
    return b;
}

// The first `n` lines of `stored`, each with its line end.
std::string firstLines(const std::string& stored, std::size_t n) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < n; ++i) {
        end = stored.find("\r\n", end) + 2;
    }
    return stored.substr(0, end);
}

}  // namespace

TEST(QdfLayout, GivesEveryLineItsRoleAndOwner) {
    const std::string stored = twoRecords().stored();
    const auto lines = text::splitLines(stored);
    const QdfLayout layout = classifyStoredQdfLines(lines, "t.qdf");
    ASSERT_FALSE(layout.error.has_value()) << layout.error->describe();
    ASSERT_EQ(layout.roles.size(), lines.size());
    const auto expect = [&](std::size_t lineNo, QdfField field, int owner, int item) {
        const LineRole& r = layout.roles.at(lineNo - 1);
        EXPECT_EQ(r.field, field) << "line " << lineNo;
        EXPECT_EQ(r.owner, owner) << "line " << lineNo;
        EXPECT_EQ(r.item, item) << "line " << lineNo;
    };
    expect(1, QdfField::FormatTag, 0, 0);
    expect(2, QdfField::CountAndPassMark, 0, 0);
    expect(9, QdfField::HeaderText, 0, 0);
    expect(10, QdfField::QuesTotal, 0, 0);
    expect(11, QdfField::CategoryName, 1, 0);
    expect(12, QdfField::CategoryQuesCount, 1, 0);
    expect(13, QdfField::SubCategoryName, 1, 1);
    expect(52, QdfField::SubCategoryQuesCount, 1, 20);
    expect(53, QdfField::CategoryEnd, 0, 0);
    // Record 1: 56 lines from line 54.
    expect(54, QdfField::QuesNum, 1, 0);
    expect(57, QdfField::QuesText, 1, 0);
    expect(58, QdfField::QuesText, 1, 0);
    expect(59, QdfField::QuesTextEnd, 1, 0);
    expect(63, QdfField::Style, 1, 0);
    expect(64, QdfField::Choice, 1, 1);
    expect(83, QdfField::ChoiceEnd, 1, 10);
    expect(84, QdfField::Skipped, 1, 0);
    expect(94, QdfField::Skipped, 1, 0);
    expect(95, QdfField::Explanation, 1, 0);
    expect(96, QdfField::ExplanationEnd, 1, 0);
    expect(97, QdfField::RefText, 1, 1);
    expect(104, QdfField::RefPage, 1, 4);
    expect(105, QdfField::CbtHint, 1, 1);
    expect(108, QdfField::CbtFile, 1, 2);
    expect(109, QdfField::Closing, 1, 0);
    // Record 2: 55 lines, then the line after "*EOF".
    expect(110, QdfField::QuesNum, 2, 0);
    expect(164, QdfField::Closing, 2, 0);
    expect(165, QdfField::AfterEnd, 0, 0);
}

// The loader and the classification walk the file the same way: wherever the
// file is cut, the loader stops where the layout says the structure breaks,
// and otherwise reads as many records as the layout finds.
TEST(QdfLayout, TheLoaderBreaksWhereTheLayoutDoesWhereverTheFileIsCut) {
    const QdfBuilder b = twoRecords();
    const std::string stored = b.stored();
    for (std::size_t n = 0; n <= b.lineCount(); ++n) {
        SCOPED_TRACE("first " + std::to_string(n) + " lines");
        const std::string cut = firstLines(stored, n);
        const auto lines = text::splitLines(cut);
        const QdfLayout layout = classifyStoredQdfLines(lines, "t.qdf");
        const auto parsed = parseQuestionFile(cut, "t.qdf");
        const std::vector<Error> problems = checkQuestionContents(cut, "t.qdf");
        if (layout.error) {
            ASSERT_FALSE(parsed.ok());
            ASSERT_FALSE(problems.empty());
            EXPECT_EQ(problems.back().message, layout.error->message);
            EXPECT_EQ(problems.back().line, layout.error->line);
            if (n > 0) {
                EXPECT_EQ(parsed.error().message, layout.error->message);
                EXPECT_EQ(parsed.error().line, layout.error->line);
            }
            continue;
        }
        ASSERT_TRUE(parsed.ok()) << parsed.error().describe();
        std::size_t records = 0;
        for (const LineRole& r : layout.roles) {
            records += r.field == QdfField::QuesNum ? 1 : 0;
        }
        EXPECT_EQ(parsed->questions.size(), records);
    }
}

TEST(QdfLayout, CheckGoesOnPastBadNumbersToWhereTheFileBreaks) {
    QdfBuilder::Record first;
    first.sub = 21;
    first.style = 12;
    QdfBuilder::Record second;
    second.num = 2;
    QdfBuilder b;
    b.header("QFileFormat-v1.4", "20261201", "2").category("c", {"s"}).plain("*CE");
    b.record(first).record(second);
    // Record 1 takes lines 54-108; record 2's first choice is line 118 and
    // the file ends right after it.
    const std::string cut = firstLines(b.stored(), 118);

    const auto parsed = parseQuestionFile(cut, "t.qdf");
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error().line, 56);

    const std::vector<Error> problems = checkQuestionContents(cut, "t.qdf");
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].message, "サブカテゴリ番号 21 はカテゴリ表にありません (1～20)");
    EXPECT_EQ(problems[0].line, 56);
    EXPECT_EQ(problems[1].message, "解答形式 12 はありません (1～9)");
    EXPECT_EQ(problems[1].line, 62);
    EXPECT_EQ(
        problems[2].message,
        "ファイルが途中で終わっています: 118行目から始まる文章に終わりの \"*AE\" がありません");
    EXPECT_EQ(problems[2].line, 118);
}
