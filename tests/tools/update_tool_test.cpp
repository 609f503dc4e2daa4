// `tovalo-tool update` against a loopback server: what it replaces, what it
// prints, and how it says that a run failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "common/loopback_server.h"
#include "core/update/zip_maker.h"
#include "tool_fixture.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

class UpdateToolTest : public ToolTest {
  protected:
    void SetUp() override {
        write("inst/bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n2=sorane\r\n3=gone\r\n");
        write("inst/bin/SRV_INFO",
              server.hostAndPort() + "\r\nq.cgi\r\n" + server.hostAndPort() + "\r\nimg\r\n");
        write("inst/QDAT/nexa/NX-101.qdf", smallCourse("NX-101", "基礎", "20261101120000"));
        write("inst/QDAT/sorane/SR-1.qdf", smallCourse("SR-1", "入門", "20261201090000"));
        fs::create_directories(dir_ / "inst/HIST/nexa");
        write("inst/HIST/nexa/NX-101.HIS", "old");
        served["NX-101.qdf"] =
            "HTTP/1.0 200 OK\r\n\r\n" +
            makeZip({{"#NX-101.qdf", smallCourse("NX-101", "基礎 改訂", "20261201090000")}});
        served["SR-1.qdf"] =
            "HTTP/1.0 200 OK\r\n\r\n" + smallCourse("SR-1", "入門", "20261201090000");
        profile = write("me.json", R"({"Name": "Taro Yamada", "Serial": "S1"})");
        base = "update " + (dir_ / "inst").string();
    }

    std::string answer(const std::string& request) {
        const std::size_t at = request.find("QDFName=") + 8;
        const auto it = served.find(request.substr(at, request.find('&', at) - at));
        return it == served.end() ? "HTTP/1.0 404 Not Found\r\n\r\n" : it->second;
    }

    std::map<std::string, std::string> served;
    LoopbackServer server{[this](const std::string& request) { return answer(request); }};
    std::string profile;
    std::string base;
};

}  // namespace

TEST_F(UpdateToolTest, UpdatesEveryVendorAndPrintsWhatItDid) {
    const ToolRun r = tool(base + " all --timeout 5 --profile " + profile + " --yes");
    ASSERT_EQ(r.code, 0) << r.err;
    const json out = json::parse(r.out);
    EXPECT_EQ(out.at("replaced"), json::array({"NX-101 : 基礎 改訂"}));
    EXPECT_EQ(out.at("messages"),
              json::array({"nexa の更新を行います。",
                           "以下の問題ファイルが更新されました。\n\nNX-101 : 基礎 改訂",
                           "sorane の更新を行います。", "新しい問題ファイルはありませんでした",
                           "問題ファイルが更新されましたので、Tovaloを一度終了する必要があります。"
                           "自動終了後、Tovaloを再度起動してください。"}));
    EXPECT_EQ(read((dir_ / "inst/QDAT/nexa/NX-101.qdf").string()),
              smallCourse("NX-101", "基礎 改訂", "20261201090000"));
    EXPECT_FALSE(fs::exists(dir_ / "inst/HIST/nexa/NX-101.HIS"));
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(
        requests[0].starts_with("GET /q.cgi?Name=Taro%20Yamada&Serial=S1"
                                "&QDFName=NX-101.qdf&date=20261101120000&Email= "))
        << requests[0];

    const ToolRun one = tool(base + " sorane --yes");
    ASSERT_EQ(one.code, 0) << one.err;
    EXPECT_EQ(
        json::parse(one.out),
        json::parse(R"({"replaced": [], "messages": ["新しい問題ファイルはありませんでした"]})"));
}

TEST_F(UpdateToolTest, RefusesBadOptionsAndReportsFailures) {
    EXPECT_EQ(tool(base + " nexa").code, 2);  // the histories are cleared: --yes is required
    EXPECT_EQ(tool(base + " nexa --timeout x --yes").code, 2);
    EXPECT_EQ(tool(base + " nexa --timeout 1001 --yes").code, 2);
    const ToolRun zero = tool(base + " nexa --timeout 0 --yes");
    EXPECT_EQ(zero.code, 1);
    EXPECT_EQ(zero.err, "接続タイムアウト時間に0秒以下を設定することはできません。\n");
    EXPECT_EQ(tool(base + " nexa --proxy http://p:80 --yes").err,
              "Proxyサーバー名が誤っています。\n");
    EXPECT_EQ(tool(base + " nexa --proxy p:8o --yes").err, "Proxyポート番号が誤っています。\n");
    const ToolRun unknown = tool(base + " nowhere --yes");
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("QDAT/nowhere/"), std::string::npos) << unknown.err;
    EXPECT_TRUE(server.requests().empty());

    // A transfer cut short: exit 1 with the message, nothing replaced, no
    // working file left.
    const std::string before = read((dir_ / "inst/QDAT/nexa/NX-101.qdf").string());
    served["NX-101.qdf"] = "HTTP/1.0 200 OK\r\nContent-Length: 9000\r\n\r\nQFileFormat";
    const ToolRun cut = tool(base + " nexa --yes");
    EXPECT_EQ(cut.code, 1);
    EXPECT_EQ(cut.err, "模擬問題の受信に失敗しました。\n");
    EXPECT_EQ(json::parse(cut.out).at("replaced"), json::array());
    EXPECT_EQ(read((dir_ / "inst/QDAT/nexa/NX-101.qdf").string()), before);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir_ / "inst/QDAT/nexa"), fs::directory_iterator()),
        1);

    served.erase("NX-101.qdf");
    EXPECT_EQ(tool(base + " nexa --yes").err, "模擬問題データの転送でエラーが発生しました。\n");

    fs::remove(dir_ / "inst/bin/SRV_INFO");
    const ToolRun noServer = tool(base + " nexa --yes");
    EXPECT_EQ(noServer.code, 1);
    EXPECT_NE(noServer.err.find("SRV_INFO"), std::string::npos) << noServer.err;
}
