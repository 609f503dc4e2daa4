// The program's own synchronisation (`tovalo-tool sync`) against a real
// tovalo-server, over plain HTTP and over TLS.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/temp_tree.h"
#include "common/tls_loopback_server.h"
#include "core/results/history_file.h"
#include "core/text/cp932.h"
#include "server/server_process.h"
#include "store_choice.h"
#include "tools/tool_fixture.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

using namespace tovalo;

// A course's history after some exams, with a 300-question exam in it.
std::string usedHistory(const std::string& qdfPath) {
    HistoryFile h;
    h.QuestionFilePath = tovalo::text::utf8ToCp932(qdfPath);
    h.exams[0] = {12, 11, 30, 9, 5, 80, 2, 300};
    h.exams[1] = {3, 1, 2, 23, 59, 7, 1, 1};
    h.BestRate = 80;
    h.AverageRate = 43;
    h.reserved = {0, 0, 0, 0};
    h.categories[0] = {{100, 50, 101, 0, 7}, 64, 100};
    h.CorrectCount[0] = 3;
    h.WrongCount[1] = 1;
    return historyFileBytes(h);
}

class SyncEndToEnd : public ToolTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            tls_test::Authority ca(tree_.path("ca.pem"));
            ca.writeServerFiles("DNS:localhost,IP:127.0.0.1", tree_.path("cert.pem"),
                                tree_.path("key.pem"));
            ::setenv("TOVALO_CA_FILE", tree_.path("ca.pem").c_str(), 1);
        }
    }
    void TearDown() override { ::unsetenv("TOVALO_CA_FILE"); }

    std::unique_ptr<ServerProcess> startServer(std::vector<std::string> args = {}) {
        if (GetParam()) {
            args.insert(args.end(),
                        {"--tls-cert", tree_.path("cert.pem"), "--tls-key", tree_.path("key.pem")});
        }
        auto server = std::make_unique<ServerProcess>(tree_.path("data"), args);
        const std::string base =
            (GetParam() ? "https://localhost:" : "localhost:") + std::to_string(server->port());
        for (const char* inst : {"inst", "inst2"}) {
            write(std::string(inst) + "/bin/His_srv", base + "/sync/query.cgi\r\n" + base +
                                                          "/sync/upload.cgi\r\n" + base +
                                                          "/sync/download.cgi\r\n");
        }
        return server;
    }
    void install(const std::string& inst) {
        write(inst + "/QDAT/nexa/NX 101.qdf", course().stored());
        write(inst + "/QDAT/nexa/NX-102.qdf", course().stored());
        fs::create_directories(dir_ / inst / "HIST/nexa");
    }
    std::string profile(const std::string& name, const std::string& serial) {
        return write("profile-" + std::to_string(++profiles_) + ".json",
                     json{{"Name", name}, {"Email", "t@example.jp"}, {"Serial", serial}}.dump());
    }
    // The proposal for every course, as {test ID, state}.
    std::vector<std::pair<std::string, std::string>> sync(const std::string& inst,
                                                          const std::string& profilePath,
                                                          const std::string& how = "--plan") {
        const ToolRun r =
            tool("sync " + (dir_ / inst).string() + " nexa --profile " + profilePath + " " + how);
        EXPECT_EQ(r.code, 0) << r.err;
        std::vector<std::pair<std::string, std::string>> rows;
        if (r.code == 0) {
            for (const json& row : json::parse(r.out)) {
                rows.emplace_back(row.at("TestID"), row.at("State"));
            }
        }
        return rows;
    }
    int profiles_ = 0;

    std::string his(const std::string& inst, const std::string& course) {
        return read((dir_ / inst / "HIST/nexa" / (course + ".HIS")).string());
    }
};

using Rows = std::vector<std::pair<std::string, std::string>>;

// Sets a file's time (local), as a history last saved then.
void touch(const fs::path& file, int day, int hour) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 10;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_isdst = -1;
    const timeval times[2] = {{std::mktime(&t), 0}, {std::mktime(&t), 0}};
    ASSERT_EQ(::utimes(file.c_str(), times), 0);
}

// Where two byte strings part, for a readable failure.
std::string firstDifference(const std::string& a, const std::string& b) {
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return x == a.end() && y == b.end()
               ? "none"
               : "byte " + std::to_string(x - a.begin()) + " of " + std::to_string(a.size()) + "/" +
                     std::to_string(b.size());
}

TEST_P(SyncEndToEnd, HistoriesTravelBetweenMachinesAndLearners) {
    const auto server = startServer();
    install("inst");
    const std::string original = usedHistory((dir_ / "inst/QDAT/nexa/NX 101.qdf").string());
    write("inst/HIST/nexa/NX 101.HIS", original);
    write("inst/HIST/nexa/NX-102.HIS", emptyHistoryFile(""));
    touch(dir_ / "inst/HIST/nexa/NX 101.HIS", 30, 10);
    touch(dir_ / "inst/HIST/nexa/NX-102.HIS", 29, 8);
    const std::string taro = profile("Taro Yamada", "S-1 2");

    // Nothing on the server yet: the used course and the empty one both go up.
    EXPECT_EQ(sync("inst", taro), (Rows{{"NX 101", "ｸﾗｲｱﾝﾄ最新"}, {"NX-102", "ｸﾗｲｱﾝﾄ最新"}}));
    sync("inst", taro, "--yes");
    EXPECT_EQ(sync("inst", taro), (Rows{{"NX 101", "同期済み"}, {"NX-102", "同期済み"}}));
    const auto [listed, learners] = serverAdmin(tree_.path("data"), "learners list");
    EXPECT_EQ(listed, 0);
    EXPECT_NE(learners.find("\tTaro Yamada\tt@example.jp\n"), std::string::npos) << learners;
    EXPECT_EQ(learners.find("S-1 2"), std::string::npos) << "the identifier is never kept";
    const auto [shown, stored] =
        serverAdmin(tree_.path("data"), "learners history 'S-1 2' 'NX 101'");
    ASSERT_EQ(shown, 0);
    EXPECT_EQ(json::parse(stored).at("ExamRecord").at(0).at("QuestionCount"), 300);

    // The history file comes back byte for byte into a folder that lost it,
    // and the next query finds the two sides agree.
    fs::remove(dir_ / "inst/HIST/nexa/NX 101.HIS");
    EXPECT_EQ(sync("inst", taro, "--yes")[0].second, "ｻｰﾊﾞｰ最新");
    EXPECT_EQ(firstDifference(his("inst", "NX 101"), original), "none");
    EXPECT_EQ(sync("inst", taro), (Rows{{"NX 101", "同期済み"}, {"NX-102", "同期済み"}}));

    // The same learner on a second machine gets the same exams.
    install("inst2");
    EXPECT_EQ(sync("inst2", taro, "--yes"),
              (Rows{{"NX 101", "ｻｰﾊﾞｰ最新"}, {"NX-102", "ｻｰﾊﾞｰ最新"}}));
    EXPECT_EQ(firstDifference(his("inst2", "NX 101").substr(4 + kHistoryPathField),
                              original.substr(4 + kHistoryPathField)),
              "none");

    // Another learner on that machine has nothing on the server, and his
    // upload leaves the first learner's copy alone.
    const std::string hanako = profile("Hanako", "S-2");
    EXPECT_EQ(sync("inst2", hanako), (Rows{{"NX 101", "ｸﾗｲｱﾝﾄ最新"}, {"NX-102", "ｸﾗｲｱﾝﾄ最新"}}));
    sync("inst2", hanako, "--yes");
    EXPECT_EQ(sync("inst", taro), (Rows{{"NX 101", "同期済み"}, {"NX-102", "同期済み"}}));

    // Asked to stop, it ends cleanly (under the sanitizers: without a report).
    const int status = server->stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << server->log();
}

TEST_P(SyncEndToEnd, AClosedServerServesOnlyTheLearnersItKnows) {
    const auto server = startServer({"--registration", "closed"});
    install("inst");
    const std::string taro = profile("Taro", "S-9");
    const std::string plan = "sync " + (dir_ / "inst").string() + " nexa --profile " + taro;
    EXPECT_EQ(tool(plan).err, "この利用者は登録されていません。管理者に連絡してください。\n");

    ASSERT_EQ(serverAdmin(tree_.path("data"), "learners add S-9 Taro").first, 0);
    EXPECT_EQ(sync("inst", taro), (Rows{{"NX 101", "ｸﾗｲｱﾝﾄ最新"}, {"NX-102", "ｸﾗｲｱﾝﾄ最新"}}));

    sync("inst", taro, "--yes");

    // What the staff take away while the server runs: a backup that opens
    // as a store, and everything of one learner.
    const std::string data = tree_.path("data");
    ASSERT_EQ(serverAdmin(data, "backup " + tree_.path("copy")).first, 0);
    ASSERT_TRUE(e2e::restoreBackup(tree_.path("copy"), tree_.path("restored")));
    fs::copy_file(tree_.path("data/secret"), tree_.path("restored/secret"));
    EXPECT_NE(
        serverAdmin(tree_.path("restored"), "learners history S-9 NX-102").second.find("\"Magic\""),
        std::string::npos);
    ASSERT_EQ(serverAdmin(data, "learners export S-9 " + tree_.path("taro.json")).first, 0);
    const json exported = json::parse(read(tree_.path("taro.json")));
    EXPECT_EQ(exported.at("Name"), "Taro");
    EXPECT_EQ(exported.at("Versions").size(), 2u);

    ASSERT_EQ(serverAdmin(data, "learners disable S-9").first, 0);
    EXPECT_EQ(tool(plan).err, "この利用者は登録されていません。管理者に連絡してください。\n");
}

INSTANTIATE_TEST_SUITE_P(Transports, SyncEndToEnd, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

}  // namespace

// Root running the staff's commands on the service's folder leaves nothing
// there that the service's own user could not write.
TEST(ServerAdmin, RootWorksAsTheDataFoldersOwner) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root changes identity";
    }
    TempTree tree;
    const std::string data = tree.path("data");
    fs::create_directories(data);
    ASSERT_EQ(::chmod(tree.path().c_str(), 0711), 0);
    ASSERT_EQ(::chown(data.c_str(), 65534, 65534), 0);
    ASSERT_EQ(serverAdmin(data, "learners add S-1 Taro").first, 0);
    // A database elsewhere leaves only the secret in the folder.
    const std::vector<std::string> files =
        e2e::onPostgres() ? std::vector<std::string>{"secret"}
                          : std::vector<std::string>{"secret", "tovalo.sqlite3"};
    for (const std::string& made : files) {
        struct stat info {};
        ASSERT_EQ(::stat((data + "/" + made).c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_uid, 65534u) << made;
    }
}
