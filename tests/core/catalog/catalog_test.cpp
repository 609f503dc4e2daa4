#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/temp_tree.h"
#include "core/catalog/catalog.h"
#include "core/results/history_file.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

class CatalogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.dir("QDAT/nexa");
        tree_.dir("HIST/nexa");
    }
    void course(const std::string& name, const std::string& tag = "QFileFormat-v1.4",
                const std::string& line8 = "0", const std::string& total = "12") {
        std::ofstream(root_ / "QDAT/nexa" / name, std::ios::binary) << text::utf8ToCp932(
            tag + "\r\n30/70\r\n45\r\n" + name.substr(0, name.size() - 4) +
            "\r\nコース\r\n0\r\n0\r\n" + line8 + "\r\n20261201\r\n" + total + "\r\n");
    }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    Catalog build(const std::string& current = "") {
        return buildCatalog((root_ / "QDAT/nexa").string(), (root_ / "HIST/nexa").string(),
                            emptyHistoryFiles(current));
    }

    TempTree tree_;
    const fs::path root_{tree_.path()};
};

}  // namespace

TEST_F(CatalogTest, ListsQuestionFilesInByteOrderAndSkipsOthers) {
    course("apple.qdf");
    course("Banana.qdf");
    course("CHERRY.QDF");
    course("near.qdf", "QFileFormat-v1.4 ");
    course("other.qdf", "QFileFormat-x2.1");
    course("notes.txt");
    const Catalog c = build();
    ASSERT_EQ(c.courses.size(), 3u);
    EXPECT_EQ(fs::path(c.courses[0].QdfPath).filename(), "Banana.qdf");
    EXPECT_EQ(fs::path(c.courses[1].QdfPath).filename(), "CHERRY.QDF");
    EXPECT_EQ(fs::path(c.courses[2].QdfPath).filename(), "apple.qdf");
    EXPECT_EQ(c.courses[2].HisPath, (root_ / "HIST/nexa/apple.HIS").string());
    EXPECT_EQ(c.courses[2].AdpPath, (root_ / "HIST/nexa/apple.ADP").string());
    EXPECT_TRUE(c.problems.empty());
    EXPECT_EQ(courseRowText(c.courses[2]), "apple : コース (全12問) 問題更新日:2026/12/01");
}

TEST_F(CatalogTest, CreatesMissingHistoryFilesAndLeavesExistingOnes) {
    course("a.qdf");
    course("b.qdf");
    std::ofstream(root_ / "HIST/nexa/b.his", std::ios::binary) << "kept as it is";
    const Catalog c = build("/root/QDAT/nexa/z.qdf");
    ASSERT_EQ(c.courses.size(), 2u);
    const std::string created = read(root_ / "HIST/nexa/a.HIS");
    EXPECT_EQ(created, emptyHistoryFile("/root/QDAT/nexa/z.qdf"));
    // An existing file named in another letter case is found, not replaced.
    EXPECT_EQ(c.courses[1].HisPath, (root_ / "HIST/nexa/b.his").string());
    EXPECT_EQ(read(root_ / "HIST/nexa/b.his"), "kept as it is");
    EXPECT_FALSE(fs::exists(root_ / "HIST/nexa/b.HIS"));
}

TEST_F(CatalogTest, EmptyHistoryFileLayout) {
    const std::string f = emptyHistoryFile("C:/QDAT/nexa/a.qdf");
    ASSERT_EQ(f.size(), 1960u);
    EXPECT_EQ(f.substr(0, 4), ".HIS");
    EXPECT_EQ(f.substr(4, 18), "C:/QDAT/nexa/a.qdf");
    EXPECT_EQ(f.substr(22, 490), std::string(490, '\x0B'));
    EXPECT_EQ(f.substr(512, 92), std::string(92, '\0'));
    EXPECT_EQ(f.substr(604, 4), std::string("\0\0\0\xFF", 4));
    EXPECT_EQ(f.substr(608, 350), std::string(350, '\0'));
    EXPECT_EQ(f.substr(958, 2), "\xFF\xFF");
    EXPECT_EQ(f.substr(960), std::string(1000, '\0'));
    EXPECT_EQ(emptyHistoryFile("").substr(4, 508), std::string(508, '\x0B'));
    EXPECT_EQ(emptyHistoryFile(std::string(600, 'x')).substr(4, 508), std::string(508, 'x'));
}

TEST_F(CatalogTest, LevelsRaiseTheVendorsHighestLevel) {
    course("a.qdf", "QFileFormat-v1.4", "3");
    EXPECT_EQ(build().highestLevel, 3);
    course("b.qdf", "QFileFormat-v1.4", "2");
    const Catalog c = build();
    EXPECT_EQ(c.highestLevel, 4);
    EXPECT_TRUE(c.courses[1].Level4);
    EXPECT_TRUE(c.courses[0].Level3b);
}

TEST_F(CatalogTest, RefusesCoursesBeyondAHundredAndGoesPastBrokenHeaders) {
    for (int i = 0; i < 102; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "c%03d.qdf", i);
        course(name);
    }
    course("b-broken.qdf", "QFileFormat-v1.4", "0", "zwölf");
    const Catalog c = build();
    ASSERT_EQ(c.courses.size(), 100u);
    EXPECT_EQ(fs::path(c.courses[99].QdfPath).filename(), "c099.qdf");
    ASSERT_EQ(c.problems.size(), 2u);
    EXPECT_EQ(c.problems[0].message, "入力値が数値ではありません");
    EXPECT_EQ(c.problems[0].line, 10);
    EXPECT_NE(c.problems[1].message.find("102 個のうち、先頭の 100 個"), std::string::npos);
    EXPECT_FALSE(fs::exists(root_ / "HIST/nexa/c100.HIS"));
}
