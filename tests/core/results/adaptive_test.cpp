#include <gtest/gtest.h>

#include <filesystem>

#include "common/temp_tree.h"
#include "core/results/adaptive_file.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

QuestionBank bankOf(int n) {
    QuestionBank b;
    for (int i = 1; i <= n; ++i) {
        QuestionRecord q;
        q.QuesNum = 100 + i;
        q.Category = 1 + i % 3;
        q.SubCategory = 2;
        q.QuesText = b.keep("問題" + std::to_string(i) + "\r\n二行目");
        b.questions.push_back(q);
    }
    b.QuesTotal = n;
    return b;
}

}  // namespace

TEST(AdaptiveFile, LinesCountAnswersWithTime) {
    const QuestionBank bank = bankOf(120);
    std::vector<std::string> lines = newAdaptiveLines(bank);
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_EQ(text::cp932ToUtf8(lines[0]), "@0*101@1*2@2*2@3*問題1二行目@4*0@5*0@6*0@7*");

    updateAdaptiveLines(lines, {{1, true, 30}, {2, false, 0}}, bank);
    updateAdaptiveLines(lines, {{1, true, 50}, {3, false, 7}}, bank);
    EXPECT_EQ(text::cp932ToUtf8(lines[0]), "@0*101@1*2@2*2@3*問題1二行目@4*2@5*2@6*40@7*");
    // Time 0: not counted.
    EXPECT_EQ(text::cp932ToUtf8(lines[1]), "@0*102@1*3@2*2@3*問題2二行目@4*0@5*0@6*0@7*");
    EXPECT_EQ(text::cp932ToUtf8(lines[2]), "@0*103@1*1@2*2@3*問題3二行目@4*1@5*0@6*7@7*");
    EXPECT_EQ(lines.size(), 120u);
}

TEST(AdaptiveFile, MissingLinesAreAppendedAndBrokenOnesKept) {
    const QuestionBank bank = bankOf(3);
    std::vector<std::string> lines = {"garbage without markers",
                                      "@0*101@1*2@2*2@3*text@4*1@5*x@6*-20@7*"};
    updateAdaptiveLines(lines, {{1, false, 9}, {3, true, 4}}, bank);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "garbage without markers");
    // A count that is not a number and a negative mean read as 0.
    EXPECT_EQ(lines[1], "@0*101@1*2@2*2@3*text@4*2@5*0@6*4@7*");
    EXPECT_EQ(text::cp932ToUtf8(lines[2]), "@0*103@1*1@2*2@3*問題3二行目@4*1@5*1@6*4@7*");
    EXPECT_FALSE(parseAdaptiveLine("@0*1@1*2@2*3@3*t@4*1@5*1@6*1").has_value());
}

TEST(AdaptiveFile, SavesCp932AndReadsBack) {
    const fs::path dir = fs::temp_directory_path() / ("tovalo-adp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "NX-101.ADP").string();
    ASSERT_TRUE(readAdaptiveFile(path).ok());
    EXPECT_FALSE(readAdaptiveFile(path)->has_value());
    const QuestionBank bank = bankOf(2);
    ASSERT_TRUE(saveAdaptiveFile(path, newAdaptiveLines(bank)).ok());
    EXPECT_EQ(fs::file_size(path), 2 * std::string("@0*101@1*2@2*2@3*\x96\xE2\x91\xE8"
                                                   "1\x93\xF1\x8D\x73\x96\xDA@4*0@5*0@6*0@7*\r\n")
                                           .size());
    const auto back = readAdaptiveFile(path);
    ASSERT_TRUE(back.ok() && back->has_value());
    EXPECT_EQ(**back, newAdaptiveLines(bank));
    fs::remove_all(dir);
}

// The learner's file goes back to the disk as it was read except for the
// lines the exam counted: characters that CP932 holds twice (ED 40 reads as
// the same character as FA 5C), bytes that are no character at all, and a
// trail byte 0x40 ("@") that a byte search would take for a marker.
TEST(AdaptiveFile, LinesTheExamDidNotCountKeepTheirBytes) {
    const TempTree tree;
    const std::string necSelected = "@0*101@1*2@2*2@3*\xED\x40\x8C\x9F@4*3@5*1@6*12@7*";
    const std::string stray = "\xFF\x80 stray \xA0\xFD bytes";
    const std::string trailAt =
        "@0*102@1*3@2*2@3*A\x81\x40"
        "4*B@4*0@5*0@6*0@7*";
    const std::string path =
        tree.write("c.ADP", necSelected + "\r\n" + stray + "\r\n" + trailAt + "\r\n");

    auto lines = readAdaptiveFile(path);
    ASSERT_TRUE(lines.ok() && lines->has_value());
    updateAdaptiveLines(**lines, {{2, true, 30}}, bankOf(2));
    ASSERT_TRUE(saveAdaptiveFile(path, **lines).ok());
    EXPECT_EQ(tree.read("c.ADP"), necSelected + "\r\n" + stray + "\r\n" +
                                      "@0*102@1*3@2*2@3*A\x81\x40"
                                      "4*B@4*1@5*1@6*30@7*\r\n");
}

// A count that cannot be a count is damage: it reads as 0 and never
// becomes a divisor (the fuzzer once found -1 asked times ending the program).
TEST(AdaptiveFile, DamagedCountsReadAsZero) {
    const QuestionBank bank = bankOf(3);
    std::vector<std::string> lines = {"@0*101@1*1@2*1@3*x@4*-1@5*0@6*0@7*",
                                      "@0*102@1*1@2*1@3*x@4*2147483647@5*-3@6*999999999999@7*",
                                      "@0*103@1*1@2*1@3*x@4*100000000@5*100000000@6*100000000@7*"};
    updateAdaptiveLines(lines, {{1, true, 9}, {2, false, 4}, {3, true, 1}}, bank);
    EXPECT_EQ(lines[0], "@0*101@1*1@2*1@3*x@4*1@5*1@6*9@7*");
    EXPECT_EQ(lines[1], "@0*102@1*1@2*1@3*x@4*1@5*0@6*4@7*");
    // At the ceiling the counts stay there instead of running over.
    EXPECT_EQ(lines[2], "@0*103@1*1@2*1@3*x@4*100000000@5*100000000@6*99999999@7*");
}

TEST(AdaptiveFile, AFileThatCannotBeReadIsAnErrorNamingIt) {
    const TempTree tree;
    tree.dir("folder.ADP");
    const auto read = readAdaptiveFile(tree.path("folder.ADP"));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().file, tree.path("folder.ADP"));
}
