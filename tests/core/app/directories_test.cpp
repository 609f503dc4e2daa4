#include "core/app/directories.h"

#include <gtest/gtest.h>

#include "common/temp_tree.h"

namespace tovalo::app {
namespace {

TEST(Directories, RootIsTheFolderAboveTheProgram) {
    TempTree t;
    t.dir("bin");
    t.dir("QDAT/nexa");
    Directories d = Directories::resolve(t.path("bin"));

    EXPECT_EQ(d.programDir(), t.path("bin/"));
    EXPECT_EQ(d.root(), t.path() + "/");
    EXPECT_EQ(d.questionDir("nexa"), t.path("QDAT/nexa/"));
    EXPECT_EQ(d.imageDir("nexa"), t.path("QDAT/nexa/img/"));
    EXPECT_EQ(d.historyDir("nexa"), t.path("HIST/nexa/"));
    EXPECT_EQ(d.pathValue(), t.path());

    // A trailing slash on the program directory changes nothing.
    EXPECT_EQ(Directories::resolve(t.path("bin/")).questionDir("nexa"), d.questionDir("nexa"));
}

TEST(Directories, QuestionFilesBesideTheProgramWhenTheRootHasNone) {
    TempTree t;
    t.dir("bin/QDAT/nexa");
    Directories d = Directories::resolve(t.path("bin"));

    EXPECT_EQ(d.questionDir("nexa"), t.path("bin/QDAT/nexa/"));
    EXPECT_EQ(d.imageDir("nexa"), t.path("bin/QDAT/nexa/img/"));
    // History has no such fallback: it always lives under the root.
    EXPECT_EQ(d.historyDir("nexa"), t.path("HIST/nexa/"));
}

TEST(Directories, ParentOfShallowPaths) {
    EXPECT_EQ(parentDirectory("/opt/tovalo/bin/"), "/opt/tovalo/");
    EXPECT_EQ(parentDirectory("/opt/tovalo/bin"), "/opt/tovalo/");
    EXPECT_EQ(parentDirectory("/bin/"), "/");
    EXPECT_EQ(parentDirectory("/"), "/");

    Directories atTop = Directories::resolve("/bin");
    EXPECT_EQ(atTop.root(), "/");
    EXPECT_EQ(atTop.pathValue(), "/");
}

}  // namespace
}  // namespace tovalo::app
