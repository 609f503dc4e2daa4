#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/questions/question_file.h"
#include "qdf_builder.h"

using namespace tovalo;

namespace {

QdfBuilder::Record lastRecord(QdfBuilder::Record r) {
    r.closing = "*EOF";
    return r;
}

Result<QuestionBank> load(const QdfBuilder& b) {
    return parseQuestionFile(b.stored(), "t.qdf");
}

void expectError(const QdfBuilder& b, const std::string& message, int line) {
    auto r = load(b);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().message, message);
    EXPECT_EQ(r.error().file, "t.qdf");
    EXPECT_EQ(r.error().line, line);
}

bool startsWith(const std::string& s, const std::string& p) {
    return s.rfind(p, 0) == 0;
}

}  // namespace

TEST(QuestionLoader, ReadsEveryFieldOfARecord) {
    QdfBuilder::Record r;
    r.num = 17;
    r.sub = 2;
    r.question = {"<INCLUDE IMG>@net1.jpg@net2.bmp", "a", "", "b  "};
    r.choiceCount = 5;
    r.showCount = 4;
    r.answerCount = 1;
    r.choices = {"ルータ", "スイッチ", "ハブ", "リピータ", "ブリッジ"};
    r.explanation = {"", "  <INCLUDE IMG>@exp.jpg", "説明", ""};
    r.refs = {"  RFC 791  ", " 12 ", "Null", "Null", "", "", "参考書", "Null"};
    r.cbt = {"  教材を開く ", " doc/tcp.pdf ", "Null", ""};
    r.closing = "*EOF";
    QdfBuilder b;
    b.header().category("ネットワーク", {"TCP/IP", "ルーティング"}).plain("*CE").record(r);
    b.plain("ignored after *EOF").plain("not a number");

    auto bank = load(b);
    ASSERT_TRUE(bank.ok()) << bank.error().describe();
    EXPECT_EQ(bank->ExamQuesCount, 30);
    EXPECT_EQ(bank->ExamTimeLimit, 45);
    EXPECT_EQ(bank->QuesTotal, 1);
    ASSERT_EQ(bank->CategoryCount, 1);
    EXPECT_EQ(bank->category(1).CategoryName, "ネットワーク");
    EXPECT_EQ(bank->category(1).SubCategoryName[1], "ルーティング");
    EXPECT_EQ(bank->category(1).SubCategoryQuesCount[1], 1);
    EXPECT_EQ(bank->category(1).SubCategoryName[2], "");

    ASSERT_EQ(bank->questions.size(), 1u);
    const QuestionRecord& q = bank->question(1);
    const QuestionTexts t = bank->texts(1);
    EXPECT_EQ(q.QuesNum, 17);
    EXPECT_EQ(q.SubCategory, 2);
    // Lines joined with CR LF, the figure line kept, the whole trimmed.
    EXPECT_EQ(t.QuesText, "<INCLUDE IMG>@net1.jpg@net2.bmp\r\na\r\n\r\nb");
    EXPECT_EQ(t.Explanation, "<INCLUDE IMG>@exp.jpg\r\n説明");
    EXPECT_EQ(q.ChoiceCount, 5);
    EXPECT_EQ(q.ShowCount, 4);
    EXPECT_EQ(t.Choice[0], "ルータ");
    EXPECT_EQ(t.Choice[5], "Ahyy");
    EXPECT_FALSE(q.choicePresent(6));
    EXPECT_EQ(t.RefText[0], "RFC 791");  // reference text trimmed
    EXPECT_EQ(t.RefPage[0], " 12 ");     // page kept as written
    EXPECT_EQ(t.RefText[1], "");
    EXPECT_EQ(t.RefPage[1], "0");
    EXPECT_EQ(t.RefText[2], "");
    EXPECT_EQ(t.RefPage[2], "0");
    EXPECT_EQ(t.RefText[3], "参考書");
    EXPECT_EQ(t.RefPage[3], "0");
    EXPECT_EQ(t.CbtHint[0], "教材を開く");
    EXPECT_EQ(t.CbtFile[0], "doc/tcp.pdf");
    EXPECT_EQ(t.CbtHint[1], "Null");  // no special meaning on these lines
    EXPECT_EQ(t.CbtFile[1], "");
}

TEST(QuestionLoader, EmptyBlocksAndTheEndOfTheRecords) {
    QdfBuilder::Record first;
    first.question = {};
    first.explanation = {};
    first.closing = "next";
    QdfBuilder::Record second;
    second.num = 2;
    QdfBuilder b;
    b.header("QFileFormat-x2.0", "20261201", "2")
        .category("c", {"s"})
        .plain("*CE")
        .record(first)
        .record(second);
    // The file simply ends after the second record's closing line.
    auto bank = load(b);
    ASSERT_TRUE(bank.ok()) << bank.error().describe();
    ASSERT_EQ(bank->questions.size(), 2u);
    EXPECT_EQ(bank->texts(1).QuesText, "");
    EXPECT_EQ(bank->texts(1).Explanation, "");
    EXPECT_EQ(bank->question(2).QuesNum, 2);

    // A file may also end right after the explanation: the missing reference
    // and document lines read as empty.
    std::string cut = b.stored();
    cut.resize(cut.rfind("*EE\r\n") + 5);
    auto shortBank = parseQuestionFile(cut, "t.qdf");
    ASSERT_TRUE(shortBank.ok()) << shortBank.error().describe();
    EXPECT_EQ(shortBank->texts(2).RefPage[0], "0");
}

TEST(QuestionLoader, TextLinesJoinWithCrLfWhateverEndsThemInTheFile) {
    QdfBuilder::Record r;
    r.question = {"  一行目 first", "", "ﾃｽﾄ 三行目", "last  "};
    r.explanation = {"解説", "  second"};
    r.closing = "*EOF";
    QdfBuilder b;
    b.header().category("c", {"s"}).plain("*CE").record(r);
    const std::string crlf = b.stored();
    std::string lf;
    for (char c : crlf) {
        if (c != '\r') {
            lf += c;
        }
    }
    // Only the line end after the first question line is a bare LF.
    std::string mixed = crlf;
    std::size_t lineStart = mixed.find("*CE\r\n") + 5;
    for (int skip = 0; skip < 3; ++skip) {  // number, category, sub-category
        lineStart = mixed.find("\r\n", lineStart) + 2;
    }
    mixed.erase(mixed.find("\r\n", lineStart), 1);
    for (const std::string& file : {crlf, lf, mixed}) {
        auto bank = parseQuestionFile(file, "t.qdf");
        ASSERT_TRUE(bank.ok()) << bank.error().describe();
        EXPECT_EQ(bank->texts(1).QuesText, "一行目 first\r\n\r\nﾃｽﾄ 三行目\r\nlast");
        EXPECT_EQ(bank->texts(1).Explanation, "解説\r\n  second");
    }
}

TEST(QuestionLoader, CategoryTableLimits) {
    QdfBuilder full;
    full.header();
    for (int i = 1; i <= 49; ++i) {
        full.category("カテゴリ" + std::to_string(i), {"s"});
    }
    full.plain("*CE").record(lastRecord({}));
    auto bank = load(full);
    ASSERT_TRUE(bank.ok()) << bank.error().describe();
    EXPECT_EQ(bank->CategoryCount, 49);
    EXPECT_EQ(bank->category(49).CategoryName, "カテゴリ49");

    QdfBuilder over;
    over.header();
    for (int i = 1; i <= 50; ++i) {
        over.category("c", {"s"});
    }
    over.plain("*CE").record(lastRecord({}));
    auto rejected = load(over);
    ASSERT_FALSE(rejected.ok());
    EXPECT_TRUE(startsWith(rejected.error().message, "カテゴリが多すぎます"));
    EXPECT_EQ(rejected.error().line, 11 + 49 * 42);
}

TEST(QuestionLoader, RejectsMoreThanFiveHundredRecords) {
    auto build = [](int n) {
        QdfBuilder b;
        b.header("QFileFormat-v1.4", "20261201", std::to_string(n))
            .category("c", {"s"})
            .plain("*CE");
        for (int j = 1; j <= n; ++j) {
            QdfBuilder::Record r;
            r.num = j;
            r.closing = j == n ? "*EOF" : "";
            b.record(r);
        }
        return b;
    };
    auto ok = load(build(500));
    ASSERT_TRUE(ok.ok()) << ok.error().describe();
    EXPECT_EQ(ok->questions.size(), 500u);
    auto rejected = load(build(501));
    ASSERT_FALSE(rejected.ok());
    EXPECT_TRUE(startsWith(rejected.error().message, "問題が多すぎます"));
}

TEST(QuestionLoader, NumberErrorsNameTheTextAndTheLine) {
    QdfBuilder badTime;
    badTime.plain("QFileFormat-v1.4").plain("30/70").plain("4five");
    expectError(badTime, "'4five' は整数ではありません", 3);

    QdfBuilder noSlash;
    noSlash.plain("QFileFormat-v1.4").plain("3070").plain("45");
    expectError(noSlash, "'3070' は整数ではありません", 2);

    QdfBuilder::Record r;
    r.showCount = 99;
    r.answerCount = 1;
    QdfBuilder badCount;
    badCount.header().category("c", {"s"}).plain("*CE");
    badCount.plain("1").plain("1").plain("1").plain("*QE").plain("4").plain(" x");
    expectError(badCount, "' x' は整数ではありません", 11 + 42 + 1 + 5);

    // The file ends where a number is due: the reader gets an empty line.
    QdfBuilder cut;
    cut.header().category("c", {"s"}).plain("*CE").plain("1").plain("1");
    expectError(cut, "'' は整数ではありません", 11 + 42 + 1 + 2);
}

TEST(QuestionLoader, RejectsAFileEndingInsideATextBlock) {
    QdfBuilder b;
    b.header().category("c", {"s"}).plain("*CE").plain("1").plain("1").plain("1");
    b.text("問題文の途中で").text("終わる");
    auto r = load(b);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(startsWith(r.error().message, "ファイルが途中で終わっています"))
        << r.error().message;
    EXPECT_NE(r.error().message.find("*QE"), std::string::npos);
}

TEST(QuestionLoader, RejectsValuesOutsideTheTables) {
    const int recordLine = 11 + 42 + 1;
    {
        QdfBuilder::Record r = lastRecord({});
        r.category = 2;
        QdfBuilder b;
        b.header().category("c", {"s"}).plain("*CE").record(r);
        expectError(b, "カテゴリ番号 2 はカテゴリ表にありません (1～1)", recordLine + 1);
    }
    {
        QdfBuilder::Record r = lastRecord({});
        r.sub = 21;
        QdfBuilder b;
        b.header().category("c", {"s"}).plain("*CE").record(r);
        expectError(b, "サブカテゴリ番号 21 はカテゴリ表にありません (1～20)", recordLine + 2);
    }
    const struct {
        int choices, shown, answers;
    } badCounts[] = {{4, 5, 1}, {4, 3, 4}, {11, 4, 1}, {4, 4, -1}};
    for (const auto& c : badCounts) {
        QdfBuilder::Record r = lastRecord({});
        r.choiceCount = c.choices;
        r.showCount = c.shown;
        r.answerCount = c.answers;
        QdfBuilder b;
        b.header().category("c", {"s"}).plain("*CE").record(r);
        auto res = load(b);
        ASSERT_FALSE(res.ok());
        EXPECT_TRUE(startsWith(res.error().message, "選択肢の数が正しくありません"));
        EXPECT_EQ(res.error().line, recordLine + 5);
    }
}

TEST(QuestionLoader, AFailedLoadLeavesTheBankAsItWas) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tovalo-loader-test";
    fs::create_directories(dir);
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    QdfBuilder ten;
    ten.header();
    for (int i = 1; i <= 10; ++i)
        ten.category("c" + std::to_string(i), {"s"});
    ten.plain("*CE").record(lastRecord({}));
    QdfBuilder three;
    three.header();
    for (int i = 1; i <= 3; ++i)
        three.category("d" + std::to_string(i), {"s"});
    three.plain("*CE").record(lastRecord({}));
    QdfBuilder broken;
    broken.header().category("x", {"s"}).plain("*CE").plain("1").plain("oops");

    QuestionBank bank;
    ASSERT_TRUE(LoadQuestionBank(bank, write("ten.qdf", ten.stored())).ok());
    EXPECT_EQ(bank.CategoryCount, 10);
    ASSERT_TRUE(LoadQuestionBank(bank, write("three.qdf", three.stored())).ok());
    EXPECT_EQ(bank.CategoryCount, 3);
    EXPECT_EQ(bank.categories.size(), 3u);

    const Status st = LoadQuestionBank(bank, write("broken.qdf", broken.stored()));
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().message, "'oops' は整数ではありません");
    EXPECT_EQ(bank.CategoryCount, 3);
    EXPECT_EQ(bank.category(1).CategoryName, "d1");

    const Status missing = LoadQuestionBank(bank, (dir / "none.qdf").string());
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "ファイルが見つかりません");
    EXPECT_EQ(bank.CategoryCount, 3);
    fs::remove_all(dir);
}

TEST(QuestionLoader, CheckReportsEveryProblemWithItsLine) {
    namespace fs = std::filesystem;
    QdfBuilder::Record a;
    a.num = 1;
    a.choiceCount = 2;  // shows more than it has
    QdfBuilder::Record b = lastRecord({});
    b.num = 2;
    b.sub = 2;  // a sub-category without a name
    QdfBuilder f;
    f.header("QFileFormat-v1.4", "20261201", "3")
        .category("c", {"s"})
        .plain("*CE")
        .record(a)
        .record(b);
    const fs::path dir = fs::temp_directory_path() / ("tovalo-check-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / "NX-101.qdf";
    std::ofstream(path, std::ios::binary) << f.stored();
    const auto problems = checkQuestionFile(path.string());
    fs::remove_all(dir);
    for (const Error& e : problems) {
        EXPECT_EQ(e.file, path.string());
    }
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_TRUE(startsWith(problems[0].message, "選択肢の数が正しくありません"));
    EXPECT_EQ(problems[0].line, 11 + 42 + 1 + 5);
    EXPECT_EQ(problems[1].message, "問題数 3 が実際の問題数 2 と合いません");
    EXPECT_EQ(problems[1].line, 10);
    EXPECT_EQ(problems[2].message,
              "カテゴリ 1 のサブカテゴリ 2 の問題数 0 が実際の問題数 1 と合いません");
    EXPECT_EQ(problems[2].line, 11 + 2 + 2 + 1);
    EXPECT_TRUE(startsWith(problems[3].message, "カテゴリ 1 のサブカテゴリ 2 に問題がありますが"));
    EXPECT_EQ(problems[3].line, 11 + 2 + 2);
    EXPECT_EQ(problems[4].message, "カテゴリ 1 の問題数 1 が実際の問題数 2 と合いません");
    EXPECT_EQ(problems[4].line, 12);
}

// A record that counts more choices than it holds would show the empty
// slot's marker as a choice, and a code that is not the file's name hides
// the course from the advisor and the adaptive list. A count line that is
// already wrong is reported once, not again as a missing choice.
TEST(QuestionLoader, CheckFindsMissingChoicesAndAForeignExamCode) {
    namespace fs = std::filesystem;
    QdfBuilder::Record a;
    a.choiceCount = 6;  // four choices, six counted
    QdfBuilder::Record b = lastRecord({});
    b.num = 2;
    b.choiceCount = 12;
    b.showCount = 4;
    QdfBuilder f;
    f.header("QFileFormat-v1.4", "20261201", "2")
        .category("c", {"s"})
        .plain("*CE")
        .record(a)
        .record(b);
    const fs::path dir =
        fs::temp_directory_path() / ("tovalo-choices-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / "NX-102.qdf";
    std::ofstream(path, std::ios::binary) << f.stored();
    const auto problems = checkQuestionFile(path.string());
    fs::remove_all(dir);

    std::vector<std::pair<int, std::string>> found;
    for (const Error& e : problems) {
        found.emplace_back(e.line, e.message);
    }
    // The category's own counts disagree with the two records as well.
    ASSERT_EQ(found.size(), 5u) << ::testing::PrintToString(found);
    EXPECT_TRUE(startsWith(found[0].second,
                           "選択肢の数が正しくありません: 正解数 1、表示数 4、選択肢数 12"));
    EXPECT_EQ(
        found[1],
        std::make_pair(
            4, std::string(
                   "試験コード 'NX-101' がファイル名 'NX-102' と違います "
                   "(履歴の同期はファイル名で、FAQ と質問ページは試験コードで科目を指します)")));
    EXPECT_EQ(found[2],
              std::make_pair(11 + 42 + 1 + 5,
                             std::string("選択肢数 6 に対して選択肢が 4 個しかありません")));
    EXPECT_TRUE(startsWith(found[3].second, "カテゴリ 1 のサブカテゴリ 1 の問題数"));
    EXPECT_TRUE(startsWith(found[4].second, "カテゴリ 1 の問題数"));
}

// The data lines of the special styles are checked as the windows read
// them; each problem points at the line that holds the group.
TEST(QuestionLoader, CheckFindsSpecialStyleDataTheWindowsCannotUse) {
    namespace fs = std::filesystem;
    const auto record = [](int num, int style, std::vector<std::string> choices) {
        QdfBuilder::Record r;
        r.num = num;
        r.sub = num;
        r.style = style;
        r.choiceCount = r.showCount = static_cast<int>(choices.size());
        r.choices = std::move(choices);
        r.closing = num == 3 ? "*EOF" : "*NEXT";
        return r;
    };
    QdfBuilder f;
    f.header("QFileFormat-v1.4", "20261201", "3")
        .category("c", {"s1", "s2", "s3"})
        .plain("*CE")
        .record(record(1, 3, {"a@10,10,50,50", "b@1,2,3"}))
        .record(record(2, 7, {"a@LAN;NAS;X;1", "b@0,0,9,9,LAN", "c@0,0,9,9,X,0"}))
        .record(record(3, 5, {"b@on", "c@5"}));
    const fs::path dir =
        fs::temp_directory_path() / ("tovalo-styles-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / "NX-101.qdf";
    std::ofstream(path, std::ios::binary) << f.stored();
    const auto problems = checkQuestionFile(path.string());
    fs::remove_all(dir);

    std::vector<std::pair<int, std::string>> found;
    for (const Error& e : problems) {
        found.emplace_back(e.line, e.message);
    }
    // Records are 55 lines long from line 54; choice k of a record sits 9 + 2(k - 1) lines in.
    const std::vector<std::pair<int, std::string>> expected{
        {54 + 11,
         "解答形式 3 のデータ b@ が使えません: 領域が 4 つの整数 x1,y1,x2,y2 ではありません"},
        {109 + 9,
         "解答形式 7 のデータ a@ が使えません: 1 番目の正解の接続が、ないパネルを指しています"},
        {164 + 5, "解答形式 5 のデータ a@ が使えません: 正解を示す行がありません"},
    };
    EXPECT_EQ(found, expected);
}

// Reloading writes over the records of the course before in place: whatever
// that course held, the result must be the course as a fresh load reads it.
TEST(QuestionLoader, ReloadingOverAnotherCourseReadsLikeAFreshLoad) {
    namespace fs = std::filesystem;
    std::vector<std::string> courses;
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(TOVALO_STAGE_ROOT) / "QDAT")) {
        if (entry.path().extension() == ".qdf") {
            courses.push_back(entry.path().string());
        }
    }
    ASSERT_GE(courses.size(), 4u);
    for (const std::string& before : courses) {
        for (const std::string& after : courses) {
            QuestionBank fresh;
            ASSERT_TRUE(LoadQuestionBank(fresh, after).ok()) << after;
            QuestionBank reused;
            ASSERT_TRUE(ReloadQuestionBank(reused, before).ok()) << before;
            ASSERT_TRUE(ReloadQuestionBank(reused, after).ok()) << after;
            EXPECT_TRUE(reused == fresh) << after << " over " << before;
        }
    }

    // A record with every field filled, then one that names no reference,
    // no training material and fewer choices in the same slot.
    const fs::path dir = fs::temp_directory_path() / "tovalo-reload-test";
    fs::create_directories(dir);
    QdfBuilder::Record full = lastRecord({});
    full.choiceCount = full.showCount = 10;
    full.choices = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    full.refs = {"本 1", "12", "本 2", "34", "本 3", "56", "本 4", "78"};
    full.cbt = {"ヒント", "doc.pdf", "ヒント2", "doc2.pdf"};
    QdfBuilder rich;
    rich.header().category("c", {"s"}).plain("*CE").record(full);
    QdfBuilder bare;
    bare.header().category("d", {"t"}).plain("*CE").record(lastRecord({}));
    const std::string richPath = (dir / "rich.qdf").string();
    const std::string barePath = (dir / "bare.qdf").string();
    std::ofstream(richPath, std::ios::binary) << rich.stored();
    std::ofstream(barePath, std::ios::binary) << bare.stored();

    QuestionBank fresh;
    ASSERT_TRUE(LoadQuestionBank(fresh, barePath).ok());
    QuestionBank reused;
    ASSERT_TRUE(ReloadQuestionBank(reused, richPath).ok());
    ASSERT_EQ(reused.texts(1).RefPage[3], "78");
    ASSERT_TRUE(ReloadQuestionBank(reused, barePath).ok());
    EXPECT_TRUE(reused == fresh);
    EXPECT_EQ(reused.texts(1).RefPage[3], "0");
    EXPECT_EQ(reused.texts(1).CbtFile[1], "");

    // A reload that fails leaves no half-read course behind.
    ASSERT_FALSE(ReloadQuestionBank(reused, (dir / "none.qdf").string()).ok());
    EXPECT_TRUE(reused == QuestionBank{});
    fs::remove_all(dir);
}

// The bank keeps the stored bytes and decodes a text when it is read, so
// what matters is that a text reads the same wherever the bank keeps it.
TEST(QuestionLoader, TextsReadTheSameWhereverTheBankKeepsThem) {
    namespace fs = std::filesystem;
    QdfBuilder::Record r = lastRecord({});
    r.question = {"問題文", "二行目"};
    r.choiceCount = r.showCount = 2;
    r.answerCount = 1;
    r.choices = {"正しい", "誤り"};
    QdfBuilder b;
    b.header().category("c", {"s"}).plain("*CE").record(r);
    std::string lf = b.stored();
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(at, 1);
    }

    auto loaded = load(b);
    ASSERT_TRUE(loaded.ok()) << loaded.error().describe();
    auto fromLf = parseQuestionFile(lf, "t.qdf");  // the question's lines are joined by the bank
    ASSERT_TRUE(fromLf.ok()) << fromLf.error().describe();
    EXPECT_TRUE(*loaded == *fromLf);
    EXPECT_EQ(fromLf->texts(1).QuesText, "問題文\r\n二行目");

    // A course made in code equals the loaded one text for text.
    QuestionBank made;
    made.ExamQuesCount = loaded->ExamQuesCount;
    made.ExamTimeLimit = loaded->ExamTimeLimit;
    made.QuesTotal = loaded->QuesTotal;
    made.CategoryCount = loaded->CategoryCount;
    made.categories = loaded->categories;
    QuestionRecord q = loaded->question(1);
    const QuestionTexts t = loaded->texts(1);
    q.QuesText = made.keep(t.QuesText);
    for (int k = 0; k < kMaxChoices; ++k) {
        q.Choice[k] = made.keep(t.Choice[k]);
    }
    q.Explanation = made.keep(t.Explanation);
    for (int n = 0; n < kRefNotes; ++n) {
        q.RefText[n] = made.keep(t.RefText[n]);
        q.RefPage[n] = made.keep(t.RefPage[n]);
    }
    for (int d = 0; d < kCbtDocs; ++d) {
        q.CbtHint[d] = made.keep(t.CbtHint[d]);
        q.CbtFile[d] = made.keep(t.CbtFile[d]);
    }
    made.questions.push_back(q);
    EXPECT_TRUE(made == *loaded);
    EXPECT_FALSE(made.question(1).choicePresent(3));
    made.questions[0].Choice[1] = made.keep("誤り ");
    EXPECT_FALSE(made == *loaded);

    // A copy keeps reading its texts after the bank it came from has moved
    // on to another course or is gone.
    const fs::path path = fs::temp_directory_path() / "tovalo-bank-copy.qdf";
    std::ofstream(path, std::ios::binary) << lf;
    auto bank = std::make_unique<QuestionBank>();
    ASSERT_TRUE(ReloadQuestionBank(*bank, path.string()).ok());
    const QuestionBank copy = *bank;
    QdfBuilder other;
    QdfBuilder::Record o = lastRecord({});
    o.question = {"別の問題"};
    other.header().category("d", {"t"}).plain("*CE").record(o);
    std::ofstream(path, std::ios::binary) << other.stored();
    ASSERT_TRUE(ReloadQuestionBank(*bank, path.string()).ok());
    EXPECT_EQ(bank->texts(1).QuesText, "別の問題");
    bank.reset();
    EXPECT_EQ(copy.texts(1).QuesText, "問題文\r\n二行目");
    EXPECT_EQ(copy.texts(1).Choice[0], "正しい");
    fs::remove(path);
}
