#include "core/app/user_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "common/temp_tree.h"
#include "common/unprivileged.h"

namespace tovalo::app {
namespace {

namespace fs = std::filesystem;

// An installed program as the package lays it out: <prefix>/bin with the
// executable and <prefix>/share/tovalo/sample with the sample installation
// of release "A".
struct Installed {
    TempTree t;
    std::string prefix;
    explicit Installed(std::string prefixDir = "prefix") : prefix(std::move(prefixDir)) {
        t.dir(prefix + "/bin");
        sampleFile("VERSION", "A\n");
        sampleFile("bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n");
        sampleFile("bin/QuesProto", "template");
        sampleFile("bin/wav/ok.wav", "RIFF");
        sampleFile("QDAT/nexa/NXA-101.qdf", "sample course");
        t.dir(prefix + "/share/tovalo/sample/HIST/nexa");
    }
    void sampleFile(const std::string& rel, const std::string& bytes) const {
        t.file(prefix + "/share/tovalo/sample/" + rel, bytes);
    }
    [[nodiscard]] std::string exeDir() const { return t.path(prefix + "/bin"); }
    [[nodiscard]] std::string sample() const {
        return t.path(prefix + "/share/tovalo/sample") + "/";
    }
    [[nodiscard]] UserEnvironment home() const { return {std::nullopt, t.path("home")}; }
};

constexpr const char* kShared = "../share/tovalo/sample";

// Every file under `dir` with its bytes.
std::map<std::string, std::string> filesUnder(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files[e.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return files;
}

TEST(UserFolder, BuildTreeAndOwnInstallationsRunWhereTheyAre) {
    TempTree t;
    t.file("root/bin/Tovalo20.ini", "[Vender]\r\n");
    t.dir("root/QDAT");
    const UserEnvironment env{std::nullopt, t.path("home")};

    EXPECT_FALSE(installedSampleRoot(t.path("root/bin"), kShared));
    Result<ProgramDirChoice> dir = chooseProgramDir(t.path("root/bin"), kShared, env);
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(dir->programDir, t.path("root/bin/"));
    // Nothing is created for a program that does not need it.
    EXPECT_FALSE(t.exists("home"));

    // A sample without the vendor list is not an installation either.
    t.dir("root/share/tovalo/sample/bin");
    EXPECT_FALSE(installedSampleRoot(t.path("root/bin"), kShared));
}

TEST(UserFolder, DataHomeFollowsTheDesktopConventions) {
    EXPECT_EQ(*userFolderPath({"/data/me", "/home/me"}), "/data/me/tovalo/");
    EXPECT_EQ(*userFolderPath({"/data/me/", "/home/me"}), "/data/me/tovalo/");
    EXPECT_EQ(*userFolderPath({std::nullopt, "/home/me"}), "/home/me/.local/share/tovalo/");
    EXPECT_EQ(*userFolderPath({"", "/home/me"}), "/home/me/.local/share/tovalo/");
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(*userFolderPath({"data", "/home/me/"}), "/home/me/.local/share/tovalo/");

    Result<std::string> nowhere = userFolderPath({std::nullopt, std::nullopt});
    ASSERT_FALSE(nowhere);
    EXPECT_NE(nowhere.error().message.find("HOME"), std::string::npos);
    EXPECT_FALSE(userFolderPath({"relative", ""}));
}

TEST(UserFolder, FirstStartCopiesTheSampleIntoAnEmptyHome) {
    Installed in;
    ::chmod((in.sample() + "bin/QuesProto").c_str(), 0444);
    EXPECT_EQ(installedSampleRoot(in.exeDir(), kShared), in.sample());

    Result<ProgramDirChoice> dir = chooseProgramDir(in.exeDir(), kShared, in.home());
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(dir->programDir, in.t.path("home/.local/share/tovalo/bin/"));

    const std::string user = "home/.local/share/tovalo/";
    EXPECT_EQ(in.t.read(user + "bin/Tovalo20.ini"), "[Vender]\r\n1=nexa\r\n");
    EXPECT_EQ(in.t.read(user + "bin/wav/ok.wav"), "RIFF");
    EXPECT_EQ(in.t.read(user + "QDAT/nexa/NXA-101.qdf"), "sample course");
    EXPECT_TRUE(fs::is_directory(in.t.path(user + "HIST/nexa")));
    // Neither a temporary copy nor the write check stays behind.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(in.t.path(user + "bin"))) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 3);

    // The copies are the user's own to change, whatever the sample's bits.
    struct stat st {};
    ASSERT_EQ(::stat(in.t.path(user + "bin/QuesProto").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IWUSR, 0u);
}

TEST(UserFolder, ExistingFilesAreKeptAndMissingOnesCompleted) {
    Installed in;
    const std::string user = "xdg/tovalo/";
    in.t.file(user + "QDAT/nexa/NXA-101.qdf", "updated by the learner");
    in.t.file(user + "HIST/nexa/NXA-101.HIS", "history");
    in.t.file(user + "bin/Ques.htm", "generated page");
    in.t.file(user + "bin/.tovalo-save-Tovalo20.ini.x1", "half a copy");
    const UserEnvironment env{in.t.path("xdg"), in.t.path("home")};

    Result<ProgramDirChoice> dir = chooseProgramDir(in.exeDir(), kShared, env);
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(dir->programDir, in.t.path(user + "bin/"));

    EXPECT_EQ(in.t.read(user + "QDAT/nexa/NXA-101.qdf"), "updated by the learner");
    EXPECT_EQ(in.t.read(user + "HIST/nexa/NXA-101.HIS"), "history");
    EXPECT_EQ(in.t.read(user + "bin/Ques.htm"), "generated page");
    EXPECT_EQ(in.t.read(user + "bin/Tovalo20.ini"), "[Vender]\r\n1=nexa\r\n");
    EXPECT_EQ(in.t.read(user + "bin/wav/ok.wav"), "RIFF");
    EXPECT_FALSE(in.t.exists(user + "bin/.tovalo-save-Tovalo20.ini.x1"));
    EXPECT_FALSE(in.t.exists("home"));

    // A second start finds everything in place and changes nothing.
    in.t.file(user + "bin/QuesProto", "edited template");
    ASSERT_TRUE(chooseProgramDir(in.exeDir(), kShared, env));
    EXPECT_EQ(in.t.read(user + "bin/QuesProto"), "edited template");
}

TEST(UserFolder, AFolderThatCannotBeUsedIsNamedNotWorkedAround) {
    Installed in;
    // A plain file where the data home should be: even root cannot make a
    // folder below it.
    in.t.file("blocked", "not a folder");
    Result<ProgramDirChoice> blocked =
        chooseProgramDir(in.exeDir(), kShared, {in.t.path("blocked"), in.t.path("home")});
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.error().message.find(in.t.path("blocked")), std::string::npos)
        << blocked.error().message;

    // A data home that leads back into the shared sample, directly or through a link.
    in.t.dir("linked");
    fs::create_directory_symlink(in.sample(), in.t.path("linked/tovalo"));
    for (const std::string& dataHome : {in.sample(), in.t.path("linked")}) {
        Result<ProgramDirChoice> shared =
            chooseProgramDir(in.exeDir(), kShared, {dataHome, std::nullopt});
        ASSERT_FALSE(shared) << dataHome;
        EXPECT_NE(shared.error().message.find(in.t.path("prefix/share/tovalo/sample")),
                  std::string::npos);
    }

    // The learner's folder exists but may not be written to.
    in.t.dir("locked/tovalo/bin");
    in.t.dir("locked/tovalo/QDAT");
    in.t.dir("locked/tovalo/HIST");
    ::chmod(in.t.path("locked/tovalo/bin").c_str(), 0555);
    ::chmod(in.t.path("locked/tovalo").c_str(), 0555);
    {
        Unprivileged nobody(in.t.path());
        if (!nobody.bound()) {
            GTEST_SKIP() << "permission bits cannot bind this process";
        }
        Result<ProgramDirChoice> locked =
            chooseProgramDir(in.exeDir(), kShared, {in.t.path("locked"), std::nullopt});
        ASSERT_FALSE(locked);
        EXPECT_NE(locked.error().message.find(in.t.path("locked/tovalo")), std::string::npos)
            << locked.error().message;

        // A sample file that cannot be read is named as such, not as missing.
        const std::string unreadable = in.sample() + "bin/QuesProto";
        ::chmod(unreadable.c_str(), 0);
        Result<ProgramDirChoice> copy =
            chooseProgramDir(in.exeDir(), kShared, {in.t.path("fresh"), std::nullopt});
        ::chmod(unreadable.c_str(), 0644);
        ASSERT_FALSE(copy);
        EXPECT_NE(copy.error().message.find(unreadable + ": ファイルを読み込めません"),
                  std::string::npos)
            << copy.error().message;

        // Nor read: nothing under it can even be looked at.
        ::chmod(in.t.path("locked/tovalo").c_str(), 0);
        EXPECT_FALSE(chooseProgramDir(in.exeDir(), kShared, {in.t.path("locked"), std::nullopt}));
    }
    ::chmod(in.t.path("locked/tovalo").c_str(), 0755);
    ::chmod(in.t.path("locked/tovalo/bin").c_str(), 0755);
}

// `cmake --install --prefix ~/.local` puts the sample inside the user's
// folder: the copy leaves it alone and the sweep of leftovers never enters it.
TEST(UserFolder, APerUserPrefixHoldsTheSampleBesideTheUsersFiles) {
    Installed in("home/.local");
    in.sampleFile("bin/Print/PrintProto.tovalo-save-1", "not a leftover of this folder");
    const std::map<std::string, std::string> sampleBefore = filesUnder(in.sample());

    Result<ProgramDirChoice> dir = chooseProgramDir(in.exeDir(), kShared, in.home());
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(dir->programDir, in.t.path("home/.local/share/tovalo/bin/"));
    EXPECT_EQ(in.t.read("home/.local/share/tovalo/QDAT/nexa/NXA-101.qdf"), "sample course");
    EXPECT_EQ(filesUnder(in.sample()), sampleBefore);
}

TEST(UserFolder, ANewReleaseReplacesUnchangedProgramFilesAndKeepsChangedOnes) {
    Installed in;
    in.sampleFile("bin/His_srv", "server A");
    in.sampleFile("bin/CGI_URL", "cgi");
    const UserEnvironment env{in.t.path("xdg"), std::nullopt};
    const std::string user = "xdg/tovalo/";
    const auto start = [&] {
        Result<ProgramDirChoice> dir = chooseProgramDir(in.exeDir(), kShared, env);
        EXPECT_TRUE(dir) << dir.error().describe();
        return dir ? dir->notices : std::vector<std::string>{"failed"};
    };
    EXPECT_TRUE(start().empty());
    in.t.file(user + "bin/His_srv", "administrator's server");
    in.t.file(user + "bin/CGI_URL", "administrator's cgi");
    in.t.file(user + "QDAT/nexa/NXA-101.qdf", "updated by the learner");
    fs::remove(in.t.path(user + "bin/wav/ok.wav"));

    // The same release decides nothing: a deleted file comes back, nothing else moves.
    in.sampleFile("bin/QuesProto", "template of a rebuild");
    EXPECT_TRUE(start().empty());
    EXPECT_EQ(in.t.read(user + "bin/QuesProto"), "template");
    EXPECT_EQ(in.t.read(user + "bin/wav/ok.wav"), "RIFF");

    // Release B changes templates, the vendor list and the server; adds a vendor.
    in.sampleFile("VERSION", "B\n");
    in.sampleFile("bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n2=kumo\r\n");
    in.sampleFile("bin/QuesProto", "template B");
    in.sampleFile("bin/His_srv", "server B");
    in.sampleFile("QDAT/nexa/NXA-101.qdf", "sample course B");
    in.sampleFile("QDAT/kumo/KMO-101.qdf", "new vendor's course");
    const std::vector<std::string> notices = start();

    const struct {
        const char* file;
        const char* bytes;
    } expected[] = {
        {"bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n2=kumo\r\n"},
        {"bin/QuesProto", "template B"},
        {"bin/His_srv", "administrator's server"},
        {"bin/His_srv.tovalo-new", "server B"},
        {"bin/CGI_URL", "administrator's cgi"},  // the release left it as it was
        {"QDAT/nexa/NXA-101.qdf", "updated by the learner"},
        {"QDAT/kumo/KMO-101.qdf", "new vendor's course"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(in.t.read(user + e.file), e.bytes) << e.file;
    }
    EXPECT_FALSE(in.t.exists(user + "bin/CGI_URL.tovalo-new"));
    ASSERT_EQ(notices.size(), 1u);
    const std::string kept = in.t.path(user + "bin/His_srv");
    EXPECT_NE(notices[0].find(kept + " "), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find(kept + ".tovalo-new"), std::string::npos) << notices[0];

    // The next start of the same release has nothing more to say.
    EXPECT_TRUE(start().empty());
}

// A folder the release before the record filled: its files are compared
// with what that release shipped (here its real news and sync addresses).
TEST(UserFolder, AFolderWithoutRecordIsJudgedByTheEarlierReleasesFiles) {
    Installed in;
    in.sampleFile("bin/online", "http://news.example/\r\n");
    in.sampleFile("bin/His_srv", "sync.example/query\r\n");
    in.sampleFile("bin/Tovalonexa.rcc", "bundle of this build");
    const std::string user = "xdg/tovalo/";
    in.t.file(user + "bin/online", "http://localhost:8080/news/index.html\r\n");
    in.t.file(user + "bin/His_srv", "school.example/sync/query.cgi\r\n");
    in.t.file(user + "bin/Tovalonexa.rcc", "bundle of an earlier build");
    in.t.file(user + "bin/QuesProto", "template");

    Result<ProgramDirChoice> dir =
        chooseProgramDir(in.exeDir(), kShared, {in.t.path("xdg"), std::nullopt});
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(in.t.read(user + "bin/online"), "http://news.example/\r\n");
    EXPECT_EQ(in.t.read(user + "bin/Tovalonexa.rcc"), "bundle of this build");
    EXPECT_EQ(in.t.read(user + "bin/His_srv"), "school.example/sync/query.cgi\r\n");
    EXPECT_EQ(in.t.read(user + "bin/His_srv.tovalo-new"), "sync.example/query\r\n");
    EXPECT_FALSE(in.t.exists(user + "bin/QuesProto.tovalo-new"));
    EXPECT_EQ(dir->notices.size(), 1u);
}

}  // namespace
}  // namespace tovalo::app
