#include "core/app/user_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/temp_tree.h"
#include "common/unprivileged.h"

namespace tovalo::app {
namespace {

namespace fs = std::filesystem;

// An installed program as the package lays it out: <prefix>/bin with the
// executable and <prefix>/share/tovalo with the sample installation.
struct Installed {
    TempTree t;
    Installed() {
        t.dir("prefix/bin");
        t.file("prefix/share/tovalo/bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n");
        t.file("prefix/share/tovalo/bin/QuesProto", "template");
        t.file("prefix/share/tovalo/bin/wav/ok.wav", "RIFF");
        t.file("prefix/share/tovalo/QDAT/nexa/NXA-101.qdf", "sample course");
        t.dir("prefix/share/tovalo/HIST/nexa");
    }
    [[nodiscard]] std::string exeDir() const { return t.path("prefix/bin"); }
    [[nodiscard]] std::string sample() const { return t.path("prefix/share/tovalo") + "/"; }
    [[nodiscard]] UserEnvironment home() const { return {std::nullopt, t.path("home")}; }
};

constexpr const char* kShared = "../share/tovalo";

TEST(UserFolder, BuildTreeAndOwnInstallationsRunWhereTheyAre) {
    TempTree t;
    t.file("root/bin/Tovalo20.ini", "[Vender]\r\n");
    t.dir("root/QDAT");
    const UserEnvironment env{std::nullopt, t.path("home")};

    EXPECT_FALSE(installedSampleRoot(t.path("root/bin"), kShared));
    Result<std::string> dir = chooseProgramDir(t.path("root/bin"), kShared, env);
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(*dir, t.path("root/bin/"));
    // Nothing is created for a program that does not need it.
    EXPECT_FALSE(t.exists("home"));

    // A share/tovalo without the vendor list is not an installation either.
    t.dir("root/share/tovalo/bin");
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
    ::chmod(in.t.path("prefix/share/tovalo/bin/QuesProto").c_str(), 0444);
    EXPECT_EQ(installedSampleRoot(in.exeDir(), kShared), in.sample());

    Result<std::string> dir = chooseProgramDir(in.exeDir(), kShared, in.home());
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(*dir, in.t.path("home/.local/share/tovalo/bin/"));

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

    Result<std::string> dir = chooseProgramDir(in.exeDir(), kShared, env);
    ASSERT_TRUE(dir) << dir.error().describe();
    EXPECT_EQ(*dir, in.t.path(user + "bin/"));

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
    Result<std::string> blocked =
        chooseProgramDir(in.exeDir(), kShared, {in.t.path("blocked"), in.t.path("home")});
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.error().message.find(in.t.path("blocked")), std::string::npos)
        << blocked.error().message;

    // A data home that leads back into the shared sample.
    Result<std::string> shared =
        chooseProgramDir(in.exeDir(), kShared, {in.t.path("prefix/share"), std::nullopt});
    ASSERT_FALSE(shared);
    EXPECT_NE(shared.error().message.find(in.t.path("prefix/share/tovalo")), std::string::npos);

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
        Result<std::string> locked =
            chooseProgramDir(in.exeDir(), kShared, {in.t.path("locked"), std::nullopt});
        ASSERT_FALSE(locked);
        EXPECT_NE(locked.error().message.find(in.t.path("locked/tovalo")), std::string::npos)
            << locked.error().message;

        // Nor read: nothing under it can even be looked at.
        ::chmod(in.t.path("locked/tovalo").c_str(), 0);
        EXPECT_FALSE(chooseProgramDir(in.exeDir(), kShared, {in.t.path("locked"), std::nullopt}));
    }
    ::chmod(in.t.path("locked/tovalo").c_str(), 0755);
    ::chmod(in.t.path("locked/tovalo/bin").c_str(), 0755);
}

}  // namespace
}  // namespace tovalo::app
