// tovalo-tool adaptive: the adaptive list as the list window shows it.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tool_fixture.h"

namespace fs = std::filesystem;

using json = nlohmann::json;

namespace {

class AdaptiveToolTest : public ToolTest {
  protected:
    // The sample course under a file name that is not its code (NX-101),
    // with the history an adaptive exam left: question 1 right in 30
    // seconds, question 2 asked without time.
    void takeAnAdaptiveExam() {
        fs::create_directories(dir_ / "QDAT/nexa");
        write("QDAT/nexa/old-name.qdf", course().stored());
        const std::string script = write(
            "run.json", "{\"root\": \"" + dir_.string() +
                            "\", \"vendor\": \"nexa\", \"course\": \"old-name.qdf\", \"count\": "
                            "2, \"seed\": 4, \"adaptive\": true, \"answers\": [{\"pick\": "
                            "\"correct\", \"time\": 30}, {\"pick\": \"wrong\", \"time\": 0}]}");
        const ToolRun run = tool("exam run " + script);
        ASSERT_EQ(run.code, 0) << run.err;
        ASSERT_TRUE(fs::exists(dir_ / "HIST/nexa/old-name.ADP"));
    }

    ToolRun list(const std::string& qdfName) {
        return tool("adaptive list " + dir_.string() + " nexa " + qdfName);
    }
};

}  // namespace

TEST_F(AdaptiveToolTest, ListsTheHistoryAnExamLeft) {
    takeAnAdaptiveExam();
    const ToolRun run = list("old-name.qdf");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // The question's figure line is no reading matter: its file name is not shown.
    const json expected = {
        {"rows",
         {{"1", "ネットワーク", "アドレス", "IPv4 アドレスの長さは？", "1", "1", "30"},
          {"2", "ネットワーク", "ルーティング", "問題文", "0", "0", "0"}}},
        {"totals", "出題数の合計 : 1 正解数の合計 : 1 平均回答時間 : 30"}};
    EXPECT_EQ(json::parse(run.out), expected) << run.out;
    // Letter case of the extension is the file system's business, not the user's.
    EXPECT_EQ(json::parse(list("OLD-NAME.QDF").out), expected);
}

TEST_F(AdaptiveToolTest, NoHistoryAndOtherFailuresExitWithOne) {
    fs::create_directories(dir_ / "QDAT/nexa");
    write("QDAT/nexa/NX-101.qdf", course().stored());
    const ToolRun none = list("NX-101.qdf");
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "Adaptive履歴はありません。\n");

    const ToolRun unknown = list("NX-999.qdf");
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("NX-999.qdf"), std::string::npos) << unknown.err;

    // There, but not a file that can be read: named, not taken for no history.
    fs::create_directories(dir_ / "HIST/nexa/NX-101.ADP");
    const ToolRun unreadable = list("NX-101.qdf");
    EXPECT_EQ(unreadable.code, 1);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_NE(unreadable.err.find((dir_ / "HIST/nexa/NX-101.ADP").string()), std::string::npos)
        << unreadable.err;

    const ToolRun usage = tool("adaptive list " + dir_.string() + " nexa");
    EXPECT_EQ(usage.code, 2);
    EXPECT_NE(usage.err.find("tovalo-tool adaptive list ROOT VENDOR QDF_NAME"), std::string::npos);
}

// A question file that can no longer be read leaves the learner's counts
// listed without names; the problem goes to stderr.
TEST_F(AdaptiveToolTest, AnUnreadableQuestionFileStillListsTheCounts) {
    takeAnAdaptiveExam();
    std::string stored = course().stored();
    // Line 12, the category's question count, is no number any more.
    std::size_t at = 0;
    for (int n = 0; n < 11; ++n) {
        at = stored.find("\r\n", at) + 2;
    }
    stored.replace(at, stored.find("\r\n", at) - at, "x");
    write("QDAT/nexa/old-name.qdf", stored);

    const ToolRun run = list("old-name.qdf");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find((dir_ / "QDAT/nexa/old-name.qdf").string() + ":12:"), std::string::npos)
        << run.err;
    const json out = json::parse(run.out);
    // Nor, without the file, can it tell where the figure's name ends.
    EXPECT_EQ(out["rows"][0], json({"1", "", "", "", "1", "1", "30"}));
    EXPECT_EQ(out["totals"], "出題数の合計 : 1 正解数の合計 : 1 平均回答時間 : 30");
}
