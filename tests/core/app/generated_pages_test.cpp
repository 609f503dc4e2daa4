#include "core/app/generated_pages.h"

#include <gtest/gtest.h>

#include "common/temp_tree.h"

namespace tovalo::app {
namespace {

TEST(GeneratedPages, ClosingRemovesTheThreePagesOfEveryVendorAndNothingElse) {
    TempTree t;
    t.dir("bin");
    for (const char* page : {"cheat.htm", "result.htm", "exam.htm", "casestudy.htm", "a.qdf"}) {
        t.file(std::string("QDAT/nexa/") + page, "x");
    }
    t.file("QDAT/kumo/exam.htm", "x");
    t.file("QDAT/other/exam.htm", "x");
    Directories dirs = Directories::resolve(t.path("bin"));

    EXPECT_EQ(
        generatedPages(dirs, {"nexa"}),
        (std::vector<std::string>{t.path("QDAT/nexa/cheat.htm"), t.path("QDAT/nexa/result.htm"),
                                  t.path("QDAT/nexa/exam.htm")}));

    removeGeneratedPages(dirs, {"nexa", "kumo", "sorane"});
    EXPECT_FALSE(t.exists("QDAT/nexa/cheat.htm"));
    EXPECT_FALSE(t.exists("QDAT/nexa/result.htm"));
    EXPECT_FALSE(t.exists("QDAT/nexa/exam.htm"));
    EXPECT_FALSE(t.exists("QDAT/kumo/exam.htm"));
    EXPECT_TRUE(t.exists("QDAT/nexa/casestudy.htm"));
    EXPECT_TRUE(t.exists("QDAT/nexa/a.qdf"));
    EXPECT_TRUE(t.exists("QDAT/other/exam.htm"));
}

}  // namespace
}  // namespace tovalo::app
