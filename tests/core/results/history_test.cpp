#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/temp_tree.h"
#include "common/unprivileged.h"
#include "core/common/safe_file.h"
#include "core/results/history_file.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

GradedExam examOf(int asked, int right, int category = 1) {
    GradedExam e;
    for (int k = 0; k < asked; ++k) {
        e.positions.push_back({k + 1, category, k < right});
    }
    e.ExamRate = asked > 0 ? right * 100 / asked : 0;
    e.Month = 7;
    e.Day = 31;
    e.Hour = 9;
    e.Minute = 5;
    e.ElapsedSeconds = 754;
    e.Mode = 1;
    return e;
}

std::string hex(std::string_view bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

}  // namespace

TEST(HistoryFile, FirstExamRecordAndRates) {
    HistoryFile h = parseHistoryFile(emptyHistoryFile("/x/QDAT/nexa/NX-101.qdf"));
    recordExam(h, examOf(10, 7), "/x/QDAT/nexa/NX-101.qdf");
    const std::string f = historyFileBytes(h);
    ASSERT_EQ(f.size(), 1960u);
    EXPECT_EQ(hex(f.substr(512, 9)), "0C 07 1F 09 05 46 01 0A 00");
    EXPECT_EQ(static_cast<unsigned char>(f[602]), 70);
    EXPECT_EQ(static_cast<unsigned char>(f[603]), 70);
    EXPECT_EQ(hex(f.substr(604, 4)), "00 00 00 00");
    EXPECT_EQ(hex(f.substr(958, 2)), "FF FF");
    EXPECT_EQ(f.substr(521, 81), std::string(81, '\0'));  // the other nine slots stay empty
    EXPECT_EQ(f[960], 1);                                 // slot 1 right once
    EXPECT_EQ(f[1460 + 7], 1);                            // slot 8 wrong once
    EXPECT_EQ(parseHistoryFile(f).QuestionFilePath, "/x/QDAT/nexa/NX-101.qdf");
}

TEST(HistoryFile, AverageOverFilledSlotsAndTheTenthDropsOff) {
    HistoryFile h;
    h.exams[0].Month = 5;
    h.exams[0].Rate = 50;
    h.exams[1].Month = 4;
    h.exams[1].Rate = 60;
    recordExam(h, examOf(10, 8), "");
    EXPECT_EQ(h.AverageRate, (50 + 60 + 80) / 3);
    EXPECT_EQ(h.exams[1].Rate, 50);
    EXPECT_EQ(h.exams[2].Rate, 60);

    for (int i = 0; i < 12; ++i) {
        recordExam(h, examOf(10, i % 10), "");
    }
    EXPECT_EQ(h.exams[9].Rate, 20);  // the oldest kept of the last ten (2, 3, … 9, 0, 1 right)
    EXPECT_EQ(h.BestRate, 90);
    EXPECT_EQ(h.AverageRate, (0 + 10 + 90 + 80 + 70 + 60 + 50 + 40 + 30 + 20) / 10);
}

TEST(HistoryFile, CategoryTrendsAndUntouchedCategories) {
    HistoryFile h;
    h.categories[0].RecentRates = {40, 0, 0, 0, 0};
    h.categories[0].CategoryBest = 40;
    h.categories[2] = {{10, 20, 30, 40, 50}, 30, 90};
    const std::string before = historyFileBytes(h).substr(608 + 2 * 7, 7);

    GradedExam e = examOf(5, 3, 1);        // category 1: 60 %
    e.positions.push_back({6, 2, false});  // category 2: 0 %
    recordExam(h, e, "");
    EXPECT_EQ(h.categories[0].RecentRates, (std::array<int, 5>{60, 40, 0, 0, 0}));
    EXPECT_EQ(h.categories[0].CategoryAverage, 50);
    EXPECT_EQ(h.categories[0].CategoryBest, 60);
    EXPECT_EQ(h.categories[1].RecentRates, (std::array<int, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(h.categories[1].CategoryAverage, 0);
    EXPECT_EQ(historyFileBytes(h).substr(608 + 2 * 7, 7), before);

    // A zero between non-zero rates still counts: only leading old zeros are cut.
    HistoryFile g;
    g.categories[0].RecentRates = {50, 0, 70, 0, 90};
    recordExam(g, examOf(2, 2, 1), "");
    EXPECT_EQ(g.categories[0].RecentRates, (std::array<int, 5>{100, 50, 0, 70, 0}));
    EXPECT_EQ(g.categories[0].CategoryAverage, (100 + 50 + 0 + 70) / 4);

    const auto rates = categoryRates(e.positions);
    EXPECT_EQ(rates[0], 60);
    EXPECT_EQ(rates[1], 0);
    EXPECT_EQ(rates[2], kNotInExam);
    EXPECT_EQ(rates[49], kNotInExam);
}

TEST(HistoryFile, WideValuesAndShortFiles) {
    HistoryFile h;
    GradedExam e = examOf(300, 150);
    e.ElapsedSeconds = 5 * 3600;  // 300 minutes do not fit one byte
    h.CorrectCount[0] = 255;
    recordExam(h, e, "");
    const std::string f = historyFileBytes(h);
    EXPECT_EQ(hex(f.substr(512 + 7, 2)), "2C 01");
    EXPECT_EQ(static_cast<unsigned char>(f[512]), 255);
    EXPECT_EQ(static_cast<unsigned char>(f[960]), 255);  // saturates instead of wrapping to 0
    EXPECT_EQ(parseHistoryFile(f).exams[0].QuestionCount, 300);

    const HistoryFile shortFile = parseHistoryFile(f.substr(0, 1000));
    EXPECT_EQ(shortFile.exams[0].Rate, 50);
    EXPECT_EQ(shortFile.CorrectCount[39], 1);
    EXPECT_EQ(shortFile.CorrectCount[40], 0);  // past the end: zeros
    EXPECT_EQ(shortFile.WrongCount[0], 0);
}

// Only a file that is not there reads as an empty history. One that is
// there but cannot be read still holds exams, so reading it is an error
// naming it, never a history of zeros that a save would then write over it.
TEST(HistoryFile, OnlyAMissingFileReadsAsEmpty) {
    const TempTree tree;
    const auto missing = readHistoryFile(tree.path("none.HIS"));
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing->BestRate, 0);
    EXPECT_TRUE(missing->exams[0].empty());

    HistoryFile h;
    recordExam(h, examOf(4, 3), "a.qdf");
    const std::string path = tree.path("a.HIS");
    ASSERT_TRUE(saveHistoryFile(path, h).ok());
    ::chmod(path.c_str(), 0);
    tree.dir("folder.HIS");
    {
        const Unprivileged nobody(tree.path());
        ASSERT_TRUE(nobody.bound());
        const auto locked = readHistoryFile(path);
        ASSERT_FALSE(locked.ok());
        EXPECT_EQ(locked.error().file, path);
        EXPECT_NE(locked.error().message.find("Permission denied"), std::string::npos);
    }
    const auto folder = readHistoryFile(tree.path("folder.HIS"));
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().file, tree.path("folder.HIS"));
}

TEST(SafeSave, ReplacesWholeOrLeavesTheOldFile) {
    const fs::path dir = fs::temp_directory_path() / ("tovalo-save-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "a.HIS").string();
    ASSERT_TRUE(createEmptyHistoryFile(path, "a.qdf").ok());
    HistoryFile h = readHistoryFile(path).value();
    recordExam(h, examOf(4, 3), "a.qdf");
    ASSERT_TRUE(saveHistoryFile(path, h).ok());
    EXPECT_EQ(readHistoryFile(path)->exams[0].Rate, 75);

    // A folder that cannot take the file: the save fails, naming the file.
    const std::string bad = (dir / "a.HIS/inner.HIS").string();
    const Status st = saveHistoryFile(bad, h);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().file, bad);
    EXPECT_EQ(readHistoryFile(path)->exams[0].Rate, 75);

    // Leftovers of a crashed save are recognised and removed, nothing else.
    std::ofstream(dir / ("a.HIS" + std::string(kSaveTempMarker) + "123")) << "half";
    EXPECT_EQ(removeLeftoverSaveFiles(dir.string()), 1);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

namespace {

SaveStep gFaultStep;
SaveFault gFault;
SaveFault injectFault(SaveStep step) {
    return step == gFaultStep ? gFault : SaveFault::None;
}

}  // namespace

TEST(SafeSave, ACrashAtAnyStepLeavesTheOldFileOrTheNewOneWhole) {
    const TempTree tree;
    const std::string path = tree.path("a.HIS");
    HistoryFile before;
    recordExam(before, examOf(4, 1), "a.qdf");
    HistoryFile after = before;
    recordExam(after, examOf(4, 4), "a.qdf");
    const std::string oldBytes = historyFileBytes(before);
    const std::string newBytes = historyFileBytes(after);

    for (SaveStep step : {SaveStep::Created, SaveStep::Written, SaveStep::Synced, SaveStep::Closed,
                          SaveStep::Renamed}) {
        ASSERT_TRUE(saveHistoryFile(path, before).ok());
        gFaultStep = step;
        gFault = SaveFault::Crash;
        setSaveFaultHookForTesting(injectFault);
        (void)saveHistoryFile(path, after);
        setSaveFaultHookForTesting(nullptr);
        const std::string found = tree.read("a.HIS");
        EXPECT_TRUE(found == oldBytes || found == newBytes) << static_cast<int>(step);
        EXPECT_EQ(found == newBytes, step == SaveStep::Renamed) << static_cast<int>(step);
        // The next start clears what the dead save left behind.
        removeLeftoverSaveFiles(tree.path());
        EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), fs::directory_iterator()), 1);
    }
}

namespace {

std::string gSweptDir;
int gSweptMidSave = 0;

}  // namespace

// A sweep takes only what no running save can still rename: a save under
// way in this process, or in another program still running, keeps its file.
TEST(SafeSave, SweepsTakeOnlyLeftovers) {
    const TempTree tree;
    const std::string marker(kSaveTempMarker);
    struct Case {
        std::string name;
        bool leftover;
    };
    const std::vector<Case> cases = {
        {"a.HIS" + marker + std::to_string(::getpid()) + "-7", true},    // this process, not saving
        {"a.HIS" + marker + "999999999-7", true},                        // a process long gone
        {"a.HIS" + marker + "123", true},                                // named before ids were
        {"a.HIS" + marker + std::to_string(::getppid()) + "-7", false},  // still running
        {"a.HIS.tovalo-new", false},
        {"a.HIS", false},
    };
    for (const Case& c : cases) {
        tree.file(c.name, "x");
    }
    HistoryFile h;
    recordExam(h, examOf(4, 2), "b.qdf");
    gSweptDir = tree.path();
    setSaveFaultHookForTesting([](SaveStep step) {
        if (step == SaveStep::Written) {
            gSweptMidSave += removeLeftoverSaveFiles(gSweptDir);
        }
        return SaveFault::None;
    });
    const Status saved = saveHistoryFile(tree.path("b.HIS"), h);
    setSaveFaultHookForTesting(nullptr);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(tree.read("b.HIS"), historyFileBytes(h));
    EXPECT_EQ(gSweptMidSave, 3);
    for (const Case& c : cases) {
        EXPECT_EQ(tree.exists(c.name), !c.leftover) << c.name;
    }
}

TEST(SafeSave, AFullDiskIsReportedAndChangesNothing) {
    const TempTree tree;
    const std::string path = tree.path("a.HIS");
    HistoryFile h;
    recordExam(h, examOf(4, 2), "a.qdf");
    ASSERT_TRUE(saveHistoryFile(path, h).ok());
    const std::string oldBytes = tree.read("a.HIS");
    recordExam(h, examOf(4, 4), "a.qdf");
    gFaultStep = SaveStep::Written;
    gFault = SaveFault::DiskFull;
    setSaveFaultHookForTesting(injectFault);
    const Status st = saveHistoryFile(path, h);
    setSaveFaultHookForTesting(nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().file, path);
    EXPECT_NE(st.error().message.find("No space left on device"), std::string::npos);
    EXPECT_EQ(tree.read("a.HIS"), oldBytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.path()), fs::directory_iterator()), 1);
}

// A history kept private stays private, and one that belongs to another
// account keeps its owner when root saves it.
TEST(SafeSave, TheNewFileKeepsTheOldFilesModeAndOwner) {
    const TempTree tree;
    const std::string path = tree.path("a.HIS");
    HistoryFile h;
    ASSERT_TRUE(saveHistoryFile(path, h).ok());
    ::chmod(path.c_str(), 0600);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), Unprivileged::kNobody, Unprivileged::kNobody), 0);
    }
    recordExam(h, examOf(4, 2), "a.qdf");
    ASSERT_TRUE(saveHistoryFile(path, h).ok());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(st.st_uid, Unprivileged::kNobody);
        EXPECT_EQ(st.st_gid, Unprivileged::kNobody);
    }
    EXPECT_EQ(readHistoryFile(path)->exams[0].Rate, 50);
}

// The rename is only safe from a power cut once the folder is synced: a
// folder that cannot be opened or synced is a failed save, not a success.
TEST(SafeSave, AFolderThatCannotBeSyncedIsReported) {
    const TempTree tree;
    const std::string path = tree.path("a.HIS");
    HistoryFile h;
    recordExam(h, examOf(4, 1), "a.qdf");

    gFaultStep = SaveStep::FolderSynced;
    gFault = SaveFault::IoError;
    setSaveFaultHookForTesting(injectFault);
    const Status failedSync = saveHistoryFile(path, h);
    setSaveFaultHookForTesting(nullptr);
    ASSERT_FALSE(failedSync.ok());
    EXPECT_EQ(failedSync.error().file, path);
    EXPECT_NE(failedSync.error().message.find("Input/output error"), std::string::npos);

    // Files can be made and renamed in a folder without read permission,
    // but the folder itself cannot be opened to sync it.
    tree.dir("locked");
    const std::string lockedPath = tree.path("locked/b.HIS");
    ::chmod(tree.path("locked").c_str(), 0300);
    const Unprivileged nobody(tree.path());
    ASSERT_TRUE(nobody.bound());
    const Status failedOpen = saveHistoryFile(lockedPath, h);
    ASSERT_FALSE(failedOpen.ok());
    EXPECT_EQ(failedOpen.error().file, lockedPath);
    EXPECT_NE(failedOpen.error().message.find("Permission denied"), std::string::npos);
}
