#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/questions/question_file.h"
#include "qdf_builder.h"

using namespace tovalo;

// Screens that only name categories read the table and stop at "*CE": what
// follows may be broken or missing without concerning them, while the table
// itself is read with the loader's rules.
TEST(CategoryTable, ReadsTheTableAndNothingBehindIt) {
    const TempTree tree;
    QdfBuilder b;
    b.header()
        .category("ネットワーク", {"アドレス", "ルーティング"})
        .category(" 運用 ", {"", "監視"})
        .plain("*CE")
        .plain("not a question number");
    const std::string path = tree.write("c.qdf", b.stored());
    ASSERT_FALSE(parseQuestionFile(b.stored(), path).ok());

    auto table = readCategoryTable(path);
    ASSERT_TRUE(table.ok()) << table.error().describe();
    ASSERT_EQ(table->size(), 2u);
    EXPECT_EQ((*table)[0].CategoryName, "ネットワーク");
    EXPECT_EQ((*table)[0].SubCategoryName[1], "ルーティング");
    // Names as the loader keeps them, blanks and all.
    EXPECT_EQ((*table)[1].CategoryName, " 運用 ");
    EXPECT_EQ((*table)[1].SubCategoryName[0], "");
    EXPECT_EQ((*table)[1].SubCategoryName[1], "監視");
}

TEST(CategoryTable, FailsWhereTheLoaderWould) {
    const TempTree tree;
    auto missing = readCategoryTable(tree.path("none.qdf"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().file, tree.path("none.qdf"));

    // The category's question count (line 12) is not a number.
    QdfBuilder badCount;
    badCount.header().plain("ネットワーク").plain("x");
    for (int k = 0; k < 20; ++k) {
        badCount.plain("").plain("0");
    }
    badCount.plain("*CE");
    const std::string path = tree.write("bad.qdf", badCount.stored());
    auto bad = readCategoryTable(path);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().line, 12);
    EXPECT_EQ(bad.error().message, parseQuestionFile(badCount.stored(), path).error().message);

    // A table that never ends is as broken for the list as for an exam.
    QdfBuilder endless;
    endless.header().category("ネットワーク", {"アドレス"});
    auto unended = readCategoryTable(tree.write("endless.qdf", endless.stored()));
    EXPECT_FALSE(unended.ok());

    QdfBuilder notQdf;
    notQdf.plain("hello");
    EXPECT_FALSE(readCategoryTable(tree.write("text.qdf", notQdf.stored())).ok());
}
