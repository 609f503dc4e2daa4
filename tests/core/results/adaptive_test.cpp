#include <gtest/gtest.h>

#include <filesystem>

#include "core/results/adaptive_file.h"

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
        q.QuesText = "問題" + std::to_string(i) + "\r\n二行目";
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
    EXPECT_EQ(lines[0], "@0*101@1*2@2*2@3*問題1二行目@4*0@5*0@6*0@7*");

    updateAdaptiveLines(lines, {{1, true, 30}, {2, false, 0}}, bank);
    updateAdaptiveLines(lines, {{1, true, 50}, {3, false, 7}}, bank);
    EXPECT_EQ(lines[0], "@0*101@1*2@2*2@3*問題1二行目@4*2@5*2@6*40@7*");
    EXPECT_EQ(lines[1], "@0*102@1*3@2*2@3*問題2二行目@4*0@5*0@6*0@7*");  // time 0: not counted
    EXPECT_EQ(lines[2], "@0*103@1*1@2*2@3*問題3二行目@4*1@5*0@6*7@7*");
    EXPECT_EQ(lines.size(), 120u);
}

TEST(AdaptiveFile, MissingLinesAreAppendedAndBrokenOnesKept) {
    const QuestionBank bank = bankOf(3);
    std::vector<std::string> lines = {"garbage without markers",
                                      "@0*101@1*2@2*2@3*text@4*1@5*x@6*-20@7*"};
    updateAdaptiveLines(lines, {{1, false, 9}, {3, true, 4}}, bank);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "garbage without markers");
    // A non-numeric count reads as 0; a mean that comes out negative is stored as 0.
    EXPECT_EQ(lines[1], "@0*101@1*2@2*2@3*text@4*2@5*0@6*0@7*");
    EXPECT_EQ(lines[2], "@0*103@1*1@2*2@3*問題3二行目@4*1@5*1@6*4@7*");
    EXPECT_FALSE(parseAdaptiveLine("@0*1@1*2@2*3@3*t@4*1@5*1@6*1").has_value());
}

TEST(AdaptiveFile, SavesCp932AndReadsBack) {
    const fs::path dir = fs::temp_directory_path() / ("tovalo-adp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "NX-101.ADP").string();
    EXPECT_FALSE(readAdaptiveFile(path).has_value());
    const QuestionBank bank = bankOf(2);
    ASSERT_TRUE(saveAdaptiveFile(path, newAdaptiveLines(bank)).ok());
    EXPECT_EQ(fs::file_size(path), 2 * std::string("@0*101@1*2@2*2@3*\x96\xE2\x91\xE8"
                                                   "1\x93\xF1\x8D\x73\x96\xDA@4*0@5*0@6*0@7*\r\n")
                                           .size());
    const auto back = readAdaptiveFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, newAdaptiveLines(bank));
    fs::remove_all(dir);
}
