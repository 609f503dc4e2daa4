// Damaged, cut, oversized, wrongly encoded and random files through every
// reader: each gives a clear error or its documented fallback, none
// crashes, and none changes the file it reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "common/temp_tree.h"
#include "core/catalog/catalog.h"
#include "core/common/files.h"
#include "core/exam/selection.h"
#include "core/questions/question_file.h"
#include "core/results/adaptive_file.h"
#include "core/results/history_file.h"
#include "core/text/cp932.h"
#include "core/text/ini.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

std::string slurp(const fs::path& p) {
    std::stringstream ss;
    ss << std::ifstream(p, std::ios::binary).rdbuf();
    return ss.str();
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

// The largest staged sample course: real data to cut and damage.
std::string sampleCourse() {
    std::string best;
    for (const auto& e : fs::recursive_directory_iterator(fs::path(TOVALO_STAGE_ROOT) / "QDAT")) {
        if (e.path().extension() == ".qdf") {
            std::string bytes = slurp(e.path());
            if (bytes.size() > best.size())
                best = std::move(bytes);
        }
    }
    return best;
}

class MalformedInput : public ::testing::Test {
  protected:
    // Writes `bytes`, runs `read` on the file and checks the file is untouched.
    void throughReader(const std::string& name, const std::string& bytes,
                       const std::function<void(const std::string&)>& read) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        const auto before = fs::last_write_time(p);
        SCOPED_TRACE(name);
        read(p.string());
        EXPECT_EQ(slurp(p), bytes) << "a reader changed the file";
        EXPECT_EQ(fs::last_write_time(p), before);
    }

    TempTree tree_;
    const fs::path dir_{tree_.path()};
};

}  // namespace

TEST_F(MalformedInput, QuestionFiles) {
    const std::string sample = sampleCourse();
    ASSERT_GT(sample.size(), 10000u) << "the staged sample installation is missing";
    struct Case {
        std::string name;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"empty.qdf", ""},
        {"tag_only.qdf", "QFileFormat-v1.4\r\n"},
        {"random.qdf", randomBytes(5000, 1)},
        {"random_with_tag.qdf", "QFileFormat-v1.4\r\n" + randomBytes(5000, 2)},
        {"utf8_instead_of_cp932.qdf", text::cp932ToUtf8(sample)},
        {"nul_bytes.qdf", std::string(3000, '\0')},
        {"lf_only.qdf",
         [&] {
             std::string s = sample;
             std::size_t at;
             while ((at = s.find("\r\n")) != std::string::npos)
                 s.erase(at, 1);
             return s;
         }()},
        {"huge_line.qdf", sample.substr(0, 200) + std::string(1 << 20, 'x') + sample.substr(200)},
    };
    for (std::size_t cut : {50, 300, 2000, 5000, 20000, 60000}) {
        if (cut < sample.size()) {
            cases.push_back({"cut_at_" + std::to_string(cut) + ".qdf", sample.substr(0, cut)});
        }
    }
    for (const Case& c : cases) {
        throughReader(c.name, c.bytes, [&](const std::string& path) {
            QuestionBank bank;
            bank.CategoryCount = 7;  // a previously loaded course
            const Status st = LoadQuestionBank(bank, path);
            if (!st) {
                EXPECT_FALSE(st.error().message.empty());
                EXPECT_EQ(st.error().file, path);
                EXPECT_EQ(bank.CategoryCount, 7) << "a failed load must leave the bank as it was";
            }
            for (const Error& e : checkQuestionFile(path)) {
                EXPECT_EQ(e.file, path);
                EXPECT_FALSE(e.message.empty());
            }
            auto header = readQdfHeader(path);
            if (!header) {
                EXPECT_GE(header.error().line, 1);
            }
        });
    }
    // Cutting a sound course anywhere inside its records is reported, not read half.
    QuestionBank bank;
    const Status cut = LoadQuestionBank(bank, (dir_ / "cut_at_20000.qdf").string());
    EXPECT_FALSE(cut.ok());
}

TEST_F(MalformedInput, HistoryFiles) {
    HistoryFile h;
    h.exams[0] = {12, 7, 31, 9, 5, 70, 1, 10};
    h.CorrectCount[3] = 4;
    const std::string good = historyFileBytes(h);
    const struct {
        std::string name;
        std::string bytes;
        int rate;     // what slot 0's rate reads as
        int weight4;  // the training weight of question 4
    } cases[] = {
        {"empty.HIS", "", 0, 0},
        {"short_100.HIS", good.substr(0, 100), 0, 0},
        {"short_1959.HIS", good.substr(0, 1959), 70, 4},
        {"short_963.HIS", good.substr(0, 963), 70, 0},
        {"long_1961.HIS", good + "x", 70, 4},
        {"long_5000.HIS", good + randomBytes(3040, 3), 70, 4},
        {"random.HIS", randomBytes(1960, 4), -1, -1},
    };
    for (const auto& c : cases) {
        throughReader(c.name, c.bytes, [&](const std::string& path) {
            const HistoryFile read = readHistoryFile(path).value();
            const auto weights = readTrainingWeights(path);
            if (c.rate >= 0) {
                EXPECT_EQ(read.exams[0].Rate, c.rate);
                EXPECT_EQ(weights[3], c.weight4);
            }
            EXPECT_EQ(historyFileBytes(read).size(), kHistoryFileSize);
        });
    }
}

TEST_F(MalformedInput, AdaptiveAndSettingsFiles) {
    throughReader("broken.ADP",
                  text::utf8ToCp932("@0*1@1*1@2*1@3*no end markers\r\n"
                                    "@0*2@1*1@2*1@3*text@4*many@5*@6*x@7*\r\n") +
                      randomBytes(300, 5) + "\r\n",
                  [](const std::string& path) {
                      const auto read = readAdaptiveFile(path);
                      ASSERT_TRUE(read.ok() && read->has_value());
                      const std::vector<std::string>& lines = **read;
                      EXPECT_FALSE(parseAdaptiveLine(lines[0]).has_value());
                      const auto second = parseAdaptiveLine(lines[1]);
                      ASSERT_TRUE(second.has_value());
                      EXPECT_EQ(second->AskedCount, 0);  // non-numeric counts read as 0
                      EXPECT_EQ(second->MeanTime, 0);
                  });
    throughReader(
        "broken.ini",
        "[Vender\r\n1=lost\r\n[Vender]\r\n=nokey\r\n1=nexa\r\n2\r\n[]\r\n" + randomBytes(500, 6),
        [](const std::string& path) {
            auto ini = text::IniFile::load(path);
            ASSERT_TRUE(ini.ok());
            EXPECT_EQ(ini->value("Vender", "1"), "nexa");
            EXPECT_EQ(ini->value("Vender", "2", "*"), "*");
        });
    throughReader("random.ini", randomBytes(4000, 7), [](const std::string& path) {
        auto ini = text::IniFile::load(path);
        ASSERT_TRUE(ini.ok());
        EXPECT_TRUE(text::isValidUtf8(ini->value("Level", "TextA", "default")));
    });
}

TEST_F(MalformedInput, CatalogOverDamagedFiles) {
    fs::create_directories(dir_ / "QDAT/v");
    std::ofstream(dir_ / "QDAT/v/a.qdf", std::ios::binary) << randomBytes(700, 8);
    std::ofstream(dir_ / "QDAT/v/b.qdf", std::ios::binary) << "QFileFormat-v1.4\r\nx";
    std::ofstream(dir_ / "QDAT/v/c.qdf", std::ios::binary) << sampleCourse();
    fs::create_directories(dir_ / "QDAT/v/d.qdf");  // a folder with a course's name
    const Catalog c =
        buildCatalog((dir_ / "QDAT/v").string(), (dir_ / "HIST/v").string(), emptyHistoryFiles(""));
    ASSERT_EQ(c.courses.size(), 1u);
    EXPECT_EQ(fs::path(c.courses[0].QdfPath).filename(), "c.qdf");
    ASSERT_EQ(c.problems.size(), 1u);  // b.qdf: its line 10 is missing
    EXPECT_EQ(c.problems[0].line, 10);
}
