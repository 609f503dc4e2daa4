#include <gtest/gtest.h>

#include <filesystem>

#include "common/temp_tree.h"
#include "core/common/safe_file.h"
#include "core/update/zip_archive.h"
#include "core/update/zip_maker.h"
#include "platform/zip_entry_reader.h"

using namespace tovalo;
using namespace tovalo::update;

namespace {

const std::string kEntry = "#NX-101.qdf";
const std::string kCourse = "QFileFormat-v1.4\r\n60/70\r\n90\r\nNX-101\r\n基礎\r\n";

// Every file under `dir`, relative, so a test sees anything an archive
// managed to write, wherever it went.
std::vector<std::string> filesUnder(const std::string& dir) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        found.push_back(std::filesystem::relative(e.path(), dir).string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

class ZipArchiveTest : public ::testing::Test {
  protected:
    // Unpacks `zip` as "_NX-101.qdf" in a vendor folder two levels down.
    UnzipResult unpack(const std::string& zip) {
        tree.file("root/QDAT/nexa/_NX-101.qdf", zip);
        return extractSingleEntry(&platform::readZipEntry, tree.path("root/QDAT/nexa/_NX-101.qdf"),
                                  kEntry, tree.path("root/QDAT/nexa/#NX-101.qdf"));
    }

    TempTree tree;
};

}  // namespace

TEST_F(ZipArchiveTest, UnpacksTheOneExpectedEntry) {
    EXPECT_EQ(unpack(makeZip({{kEntry, kCourse}})), UnzipResult::Success);
    EXPECT_EQ(tree.read("root/QDAT/nexa/#NX-101.qdf"), kCourse);
    EXPECT_EQ(unpack(makeZip({{kEntry, kCourse, 0100644, true}})), UnzipResult::Success);
    EXPECT_EQ(unpack(makeZip({{kEntry, ""}})), UnzipResult::Success);
    EXPECT_EQ(tree.read("root/QDAT/nexa/#NX-101.qdf"), "");
    // Ten megabytes of a question-like text compress well below the ratio.
    std::string big;
    for (unsigned long long i = 0; big.size() < 10 * 1024 * 1024; ++i) {
        big += "問題文 " + std::to_string(i * 7919 % 100003) + " 選択肢\r\n";
    }
    EXPECT_EQ(unpack(makeZip({{kEntry, big}})), UnzipResult::Success);
    EXPECT_EQ(tree.read("root/QDAT/nexa/#NX-101.qdf"), big);
}

// Hostile and broken archives: each is refused with its own code, and not
// one byte lands anywhere, inside the vendor folder or out of it.
TEST_F(ZipArchiveTest, RefusesHostileArchivesWritingNothing) {
    const std::string zeros(20 * 1024 * 1024, '\0');
    const std::string over(kMaxEntryBytes + 1, 'q');
    const std::string honest = makeZip({{kEntry, kCourse}});
    struct Case {
        const char* what;
        std::string zip;
        UnzipResult expected;
    };
    const std::vector<Case> cases = {
        {"absolute name", makeZip({{"/tmp/" + kEntry, kCourse}}), UnzipResult::UnsafeName},
        {"parent folder", makeZip({{"../x", kCourse}}), UnzipResult::UnsafeName},
        {"parent deeper", makeZip({{"a/../../x", kCourse}}), UnzipResult::UnsafeName},
        {"parent last", makeZip({{"a/..", kCourse}}), UnzipResult::UnsafeName},
        {"backslash parent", makeZip({{"..\\x", kCourse}}), UnzipResult::UnsafeName},
        {"backslash folder", makeZip({{"sub\\" + kEntry, kCourse}}), UnzipResult::UnsafeName},
        {"drive letter", makeZip({{"C:x", kCourse}}), UnzipResult::UnsafeName},
        {"drive root", makeZip({{"c:/" + kEntry, kCourse}}), UnzipResult::UnsafeName},
        {"escape beside the expected entry",
         makeZip({{kEntry, kCourse}, {"../../../HIST/nexa/NX-101.HIS", "x"}}),
         UnzipResult::UnsafeName},
        {"symbolic link", makeZip({{kEntry, "/etc/passwd", S_IFLNK | 0777}}),
         UnzipResult::NotAFile},
        {"device", makeZip({{kEntry, "", S_IFCHR | 0600}}), UnzipResult::NotAFile},
        {"folder", makeZip({{"dir/", "", std::nullopt, false, true}}), UnzipResult::NotAFile},
        {"two entries", makeZip({{kEntry, kCourse}, {"readme.txt", "hi"}}),
         UnzipResult::UnexpectedEntry},
        {"wrong name", makeZip({{"NX-101.qdf", kCourse}}), UnzipResult::UnexpectedEntry},
        {"other course", makeZip({{"#NX-102.qdf", kCourse}}), UnzipResult::UnexpectedEntry},
        {"in a subfolder", makeZip({{"sub/" + kEntry, kCourse}}), UnzipResult::UnexpectedEntry},
        {"empty archive", emptyZip(), UnzipResult::UnexpectedEntry},
        {"zip bomb", makeZip({{kEntry, zeros}}), UnzipResult::TooLarge},
        {"over 64 MiB", makeZip({{kEntry, over, std::nullopt, true}}), UnzipResult::TooLarge},
        {"truncated", honest.substr(0, honest.size() - 30), UnzipResult::Damaged},
        {"PK and nothing", "PK\x03\x04garbage", UnzipResult::Damaged},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unpack(c.zip), c.expected) << c.what;
        EXPECT_EQ(filesUnder(tree.path()),
                  (std::vector<std::string>{"root", "root/QDAT", "root/QDAT/nexa",
                                            "root/QDAT/nexa/_NX-101.qdf"}))
            << c.what;
    }

    // Headers that lie about the size: claiming little while the data
    // inflates to much more, and claiming more than there is.
    const std::string inflating = makeZip({{kEntry, std::string(2 * 1024 * 1024, 'a')}});
    for (const std::string& liar :
         {withClaimedSize(inflating, 5000),
          withClaimedSize(honest, static_cast<std::uint32_t>(kCourse.size() + 10))}) {
        const UnzipResult r = unpack(liar);
        EXPECT_TRUE(r == UnzipResult::TooLarge || r == UnzipResult::BadData ||
                    r == UnzipResult::Damaged)
            << static_cast<int>(r);
        EXPECT_FALSE(tree.exists("root/QDAT/nexa/#NX-101.qdf"));
    }
}

TEST_F(ZipArchiveTest, EntryNamesOfEverySystem) {
    for (const char* safe : {"#NX-101.qdf", "a/b", "a..b", "...", "ab:c"}) {
        EXPECT_FALSE(isUnsafeEntryName(safe)) << safe;
    }
    for (const char* unsafe : {"", "/x", "..", "../x", "a/../b", "a\\b", "C:", "z:\\x"}) {
        EXPECT_TRUE(isUnsafeEntryName(unsafe)) << unsafe;
    }
}

// A disk that fills while the candidate is written is told apart from
// every other failure, and leaves no partial candidate.
TEST_F(ZipArchiveTest, FullDiskIsItsOwnOutcome) {
    setSaveFaultHookForTesting([](SaveStep step) {
        return step == SaveStep::Written ? SaveFault::DiskFull : SaveFault::None;
    });
    const UnzipResult r = unpack(makeZip({{kEntry, kCourse}}));
    setSaveFaultHookForTesting(nullptr);
    EXPECT_EQ(r, UnzipResult::DiskFull);
    EXPECT_FALSE(tree.exists("root/QDAT/nexa/#NX-101.qdf"));
    EXPECT_EQ(filesUnder(tree.path("root/QDAT/nexa")), std::vector<std::string>{"_NX-101.qdf"});

    tree.dir("root/QDAT/nexa/#NX-101.qdf");  // a folder where the file must go
    tree.file("root/QDAT/nexa/#NX-101.qdf/keep", "x");
    EXPECT_EQ(unpack(makeZip({{kEntry, kCourse}})), UnzipResult::WriteFailed);
}
