// `tovalo-tool sync` against a server that His_srv names with https.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/tls_loopback_server.h"
#include "tool_fixture.h"

namespace fs = std::filesystem;

TEST_F(ToolTest, SyncOverHttpsTrustsOnlyWhatItShould) {
    const std::string caFile = tree_.path("ca.pem");
    tls_test::Authority ca(caFile);
    LoopbackServer server(
        [](const std::string&) { return std::string("HTTP/1.0 200 OK\r\n\r\nNOTFOUND\r\n"); },
        std::make_shared<tls_test::TlsTransport>(ca.serverContext("DNS:localhost")));
    const std::string address = "https://localhost:" + std::to_string(server.port());
    write("inst/bin/His_srv",
          address + "/q.cgi\r\n" + address + "/u.cgi\r\n" + address + "/d.cgi\r\n");
    write("inst/QDAT/nexa/NX-101.qdf", course().stored());
    fs::create_directories(dir_ / "inst/HIST/nexa");
    const std::string profile = write("me.json", R"({"Name": "T", "Email": "t@example.jp"})");
    const std::string plan =
        "sync " + (dir_ / "inst").string() + " nexa --profile " + profile + " --plan";

    // Without the test's CA the server is a stranger: nothing is sent.
    ToolRun refused = tool(plan);
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err,
              "サーバーへの接続に失敗しました。設定を確認して再実行をしてください。\n");

    ::setenv("TOVALO_CA_FILE", caFile.c_str(), 1);
    ToolRun trusted = tool(plan);
    ::unsetenv("TOVALO_CA_FILE");
    ASSERT_EQ(trusted.code, 0) << trusted.err;
    const nlohmann::json rows = nlohmann::json::parse(trusted.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("State"), "ｸﾗｲｱﾝﾄ最新");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].starts_with("POST /q.cgi HTTP/1.0\r\nHost: localhost\r\n"))
        << requests[0];
    EXPECT_TRUE(requests[0].ends_with("&Test_ID=NX-101&Email=t@example.jp\r\n")) << requests[0];
}
