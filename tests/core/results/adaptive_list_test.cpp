#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/questions/qdf_builder.h"
#include "core/results/adaptive_list.h"
#include "core/text/cp932.h"

using namespace tovalo;

namespace {

// Two categories; the first has two minor categories, the second one.
std::vector<CategorySlot> table() {
    std::vector<CategorySlot> t(2);
    t[0].CategoryName = "ネットワーク";
    t[0].SubCategoryName[0] = "アドレス";
    t[0].SubCategoryName[1] = "ルーティング";
    t[1].CategoryName = "セキュリティ";
    t[1].SubCategoryName[0] = "暗号";
    return t;
}

// A stored line as the exam writes it: CP932 with the markers.
std::string line(const std::string& num, const std::string& major, const std::string& minor,
                 const std::string& text, const std::string& asked, const std::string& right,
                 const std::string& mean) {
    return text::utf8ToCp932("@0*" + num + "@1*" + major + "@2*" + minor + "@3*" + text + "@4*" +
                             asked + "@5*" + right + "@6*" + mean + "@7*");
}

std::string repeated(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

}  // namespace

// What a row shows of a question's text: the question proper of an HTML
// page, the first line of a plain one.
TEST(AdaptiveList, ExcerptKeepsTheFirstSentenceOfTheQuestion) {
    EXPECT_EQ(adaptiveExcerpt("<!-- QS -->最初の文です。<br>次の文です。"), "最初の文です。");
    // What stands before the marker (the figure, the page's body tag, a
    // break of its own) is not the question.
    EXPECT_EQ(adaptiveExcerpt("<INCLUDE IMG>@f.jpg<body><br><!-- QS -->本文<br>"), "本文");
    EXPECT_EQ(adaptiveExcerpt("<!-- QS -->"), "");

    // Plain questions have no marker: up to the first break, or whole.
    EXPECT_EQ(adaptiveExcerpt("一行目<br>二行目<br>三行目"), "一行目");
    EXPECT_EQ(adaptiveExcerpt("改行のない問題文"), "改行のない問題文");
    EXPECT_EQ(adaptiveExcerpt(""), "");

    // 100 characters after the marker, counted as characters: a byte count
    // would cut a Japanese text to a third, or through a character.
    const std::string hundred = repeated("あ", 99) + "x";
    EXPECT_EQ(adaptiveExcerpt("<!-- QS -->" + hundred + "はみ出す<br>"), hundred);
    // A break within the hundred characters ends the excerpt there; one
    // that the cut would split leaves no piece of itself behind.
    EXPECT_EQ(adaptiveExcerpt("QS -->" + repeated("い", 100) + "<br>"), repeated("い", 100));
    EXPECT_EQ(adaptiveExcerpt("QS -->" + repeated("う", 40) + "<br>" + repeated("お", 80)),
              repeated("う", 40));
    EXPECT_EQ(adaptiveExcerpt("QS -->" + repeated("う", 98) + "<br>後"), repeated("う", 98));
    EXPECT_EQ(adaptiveExcerpt("QS -->" + repeated("う", 99) + "<br>"), repeated("う", 99));
    // Without the marker there is no cut: a long plain text stays whole.
    EXPECT_EQ(adaptiveExcerpt(repeated("え", 150)), repeated("え", 150));
}

TEST(AdaptiveList, RowsShowTheLinesWithTheirCategoryNames) {
    const AdaptiveList list =
        adaptiveList({line("12", "1", "2", "<!-- QS -->経路表とは何か。<br>選べ。", "2", "1", "40"),
                      line("3", "2", "1", "暗号化の方式を選べ。", "0", "0", "0"),
                      line("7", "1", "1", "アドレスは何ビットか。<br>", "1", "1", "20")},
                     table());
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0], (AdaptiveListRow{"12", "ネットワーク", "ルーティング",
                                             "経路表とは何か。", "2", "1", "40"}));
    EXPECT_EQ(list.rows[1], (AdaptiveListRow{"3", "セキュリティ", "暗号", "暗号化の方式を選べ。",
                                             "0", "0", "0"}));
    EXPECT_EQ(list.rows[2], (AdaptiveListRow{"7", "ネットワーク", "アドレス",
                                             "アドレスは何ビットか。", "1", "1", "20"}));
    // Questions never answered have no time and stay out of the mean:
    // (40 + 20) / 2, not (40 + 0 + 20) / 3.
    EXPECT_EQ(list.totals, "出題数の合計 : 3 正解数の合計 : 2 平均回答時間 : 30");

    // A whole number of seconds; 0 when no question has a time yet.
    EXPECT_EQ(adaptiveList({line("1", "1", "1", "a", "1", "0", "7"),
                            line("2", "1", "1", "b", "3", "3", "8")},
                           table())
                  .totals,
              "出題数の合計 : 4 正解数の合計 : 3 平均回答時間 : 7");
    EXPECT_EQ(adaptiveList({}, table()).totals,
              "出題数の合計 : 0 正解数の合計 : 0 平均回答時間 : 0");
}

// The history outlives the question file's edits: a question taken out of
// the file, or moved out of a category that is gone, keeps its row and its
// counts; only the names it no longer has stay empty.
TEST(AdaptiveList, HistoryOfQuestionsTheFileNoLongerHasStaysListed) {
    const AdaptiveList list =
        adaptiveList({line("999", "1", "2", "削除された問題", "4", "2", "10"),
                      line("31", "3", "1", "消えたカテゴリ", "1", "0", "5"),
                      line("32", "2", "21", "範囲外の小カテゴリ", "1", "1", "5"),
                      line("33", "x", "1", "番号でないカテゴリ", "1", "1", "5")},
                     table());
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[0], (AdaptiveListRow{"999", "ネットワーク", "ルーティング",
                                             "削除された問題", "4", "2", "10"}));
    EXPECT_EQ(list.rows[1], (AdaptiveListRow{"31", "", "", "消えたカテゴリ", "1", "0", "5"}));
    EXPECT_EQ(list.rows[2],
              (AdaptiveListRow{"32", "セキュリティ", "", "範囲外の小カテゴリ", "1", "1", "5"}));
    EXPECT_EQ(list.rows[3], (AdaptiveListRow{"33", "", "", "番号でないカテゴリ", "1", "1", "5"}));
    EXPECT_EQ(list.totals, "出題数の合計 : 7 正解数の合計 : 4 平均回答時間 : 6");
}

// Damage that the next exam would repair shows as that exam will read it,
// so the rows and the totals agree.
TEST(AdaptiveList, DamagedLinesAreLeftOutOrReadAsTheExamReadsThem) {
    const AdaptiveList list = adaptiveList(
        {"garbage without markers", "", line("1", "1", "1", "数でない回数", "abc", "-2", "15"),
         line("2", "1", "1", "正常", "2", "1", "25"),
         text::utf8ToCp932("@0*3@1*1@2*1@3*最後の印がない@4*1@5*1@6*1")},
        table());
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0],
              (AdaptiveListRow{"1", "ネットワーク", "アドレス", "数でない回数", "0", "0", "15"}));
    EXPECT_EQ(list.rows[1][0], "2");
    EXPECT_EQ(list.totals, "出題数の合計 : 2 正解数の合計 : 1 平均回答時間 : 20");
}

TEST(AdaptiveList, FilesAreFoundByTheirPathsAndTheirProblemsKeptApart) {
    const TempTree tree;
    QdfBuilder::Record a;
    a.sub = 2;
    QdfBuilder q;
    q.header().category("ネットワーク", {"アドレス", "ルーティング"}).plain("*CE").record(a);
    // The question file's name need not be its course's code.
    const std::string qdf = tree.write("QDAT/nexa/renamed.qdf", q.stored());
    const std::string adp = tree.path("HIST/nexa/renamed.ADP");

    auto none = readAdaptiveList(adp, qdf);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());

    tree.write("HIST/nexa/renamed.ADP",
               line("1", "1", "2", "<!-- QS -->一文目<br>二文目", "2", "2", "9") + "\r\n");
    auto read = readAdaptiveList(adp, qdf);
    ASSERT_TRUE(read.ok() && read->has_value());
    EXPECT_EQ((*read)->rows.at(0),
              (AdaptiveListRow{"1", "ネットワーク", "ルーティング", "一文目", "2", "2", "9"}));
    EXPECT_FALSE((*read)->categoryProblem.has_value());

    // An empty file is a history with nothing in it yet, not a missing one.
    tree.write("HIST/nexa/renamed.ADP", "");
    auto empty = readAdaptiveList(adp, qdf);
    ASSERT_TRUE(empty.ok() && empty->has_value());
    EXPECT_TRUE((*empty)->rows.empty());

    // Without its question file the history is still shown, without names.
    tree.write("HIST/nexa/renamed.ADP", line("1", "1", "2", "t", "1", "1", "3") + "\r\n");
    auto nameless = readAdaptiveList(adp, tree.path("QDAT/nexa/gone.qdf"));
    ASSERT_TRUE(nameless.ok() && nameless->has_value());
    EXPECT_EQ((*nameless)->rows.at(0), (AdaptiveListRow{"1", "", "", "t", "1", "1", "3"}));
    ASSERT_TRUE((*nameless)->categoryProblem.has_value());
    EXPECT_EQ((*nameless)->categoryProblem->file, tree.path("QDAT/nexa/gone.qdf"));

    // A file that is there but cannot be read is not "no history".
    tree.dir("HIST/nexa/folder.ADP");
    auto unreadable = readAdaptiveList(tree.path("HIST/nexa/folder.ADP"), qdf);
    ASSERT_FALSE(unreadable.ok());
    EXPECT_EQ(unreadable.error().file, tree.path("HIST/nexa/folder.ADP"));
}

// A row is reading matter: no figure line, wherever the question holds one,
// though the stored text ran its lines together. Only questions whose
// stored text is no longer the file's lose what follows the marker.
TEST(AdaptiveList, RowsShowNoFigureLine) {
    const struct {
        std::vector<std::string> question;  // its lines in the question file
        std::string shown;
    } cases[] = {
        {{"<INCLUDE IMG>@nxs_rack_front.jpg", "図の位置を選べ。"}, "図の位置を選べ。"},
        {{"次の図を見よ。", "<INCLUDE IMG>@a.bmp", "正しいものはどれか。"},
         "次の図を見よ。正しいものはどれか。"},
        {{"<INCLUDE IMG>@a.jpg@b.bmp", "<INCLUDE IMG>@c.jpg", "IPv4 の図を比べよ。"},
         "IPv4 の図を比べよ。"},
        {{"本文のみ。", "<INCLUDE IMG>@z.jpg"}, "本文のみ。"},
        {{"図のない問題。"}, "図のない問題。"},
        {{"<INCLUDE IMG>@f.jpg", "<!-- QS -->", "本文<br>続き"}, "本文"},
    };
    const TempTree tree;
    QdfBuilder q;
    q.header("QFileFormat-v1.4", "20261201", std::to_string(std::size(cases)))
        .category("ネットワーク", {"アドレス"})
        .plain("*CE");
    std::string adp;
    int num = 0;
    for (const auto& c : cases) {
        QdfBuilder::Record r;
        r.num = ++num;
        r.question = c.question;
        r.closing = num == static_cast<int>(std::size(cases)) ? "*EOF" : "";
        q.record(r);
        std::string joined;
        for (const std::string& l : c.question) {
            joined += l;
        }
        adp += line(std::to_string(num), "1", "1", joined, "1", "1", "5") + "\r\n";
    }
    // Stored by an older edition of the course: the file's question 1 reads
    // otherwise now, and question 99 is gone.
    adp += line("1", "1", "1", "<INCLUDE IMG>@old.jpg昔の問題文", "1", "0", "5") + "\r\n";
    adp += line("99", "1", "1", "前置き<INCLUDE IMG>@x.jpg消えた問題", "1", "0", "5") + "\r\n";
    const std::string qdf = tree.write("QDAT/nexa/NX-101.qdf", q.stored());
    const std::string adpPath = tree.write("HIST/nexa/NX-101.ADP", adp);

    auto read = readAdaptiveList(adpPath, qdf);
    ASSERT_TRUE(read.ok() && read->has_value());
    const std::vector<AdaptiveListRow>& rows = (*read)->rows;
    ASSERT_EQ(rows.size(), std::size(cases) + 2);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(rows[i][3], cases[i].shown) << "question " << i + 1;
        EXPECT_EQ(rows[i][1], "ネットワーク");
    }
    EXPECT_EQ(rows[std::size(cases)][3], "");
    EXPECT_EQ(rows[std::size(cases) + 1][3], "前置き");
}

TEST(AdaptiveList, DeletingRemovesOnlyTheFileAndSaysWhenItCannot) {
    const TempTree tree;
    const std::string adp = tree.write("HIST/c.ADP", "@0*1@1*1@2*1@3*t@4*1@5*1@6*1@7*\r\n");
    tree.write("HIST/c.HIS", "history");
    ASSERT_TRUE(deleteAdaptiveFile(adp).ok());
    EXPECT_FALSE(tree.exists("HIST/c.ADP"));
    EXPECT_EQ(tree.read("HIST/c.HIS"), "history");
    // Gone already: what the learner asked for is true.
    EXPECT_TRUE(deleteAdaptiveFile(adp).ok());

    tree.dir("HIST/d.ADP/inside");
    const Status refused = deleteAdaptiveFile(tree.path("HIST/d.ADP"));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().file, tree.path("HIST/d.ADP"));
    EXPECT_TRUE(tree.exists("HIST/d.ADP/inside"));
}
