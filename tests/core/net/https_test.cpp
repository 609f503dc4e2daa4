#include <gtest/gtest.h>

#include "common/scripted_server.h"
#include "core/net/http_client.h"

using namespace tovalo::net;

namespace {

const std::string kTunnelOpen = "HTTP/1.0 200 Connection established\r\n\r\n";

// What the client sends for `address` straight to a plain server.
std::string plainRequest(const std::string& address, HttpMethod method, const std::string& body) {
    ScriptedServer server;
    server.replies = {{NetStatus::Ok, reply(200, "", "")}};
    HttpClient client(server);
    client.headers.set("Cookie", "sid=9");
    method == HttpMethod::Post ? client.post(address, body) : client.get(address);
    return server.requests.at(0);
}

// A connector written before TLS existed: it only knows plain connections.
class PlainOnlyConnector : public Connector {
  public:
    explicit PlainOnlyConnector(ScriptedServer& server) : server_(server) {}
    NetStatus connect(const std::string& host, int port, std::chrono::milliseconds timeout,
                      std::unique_ptr<Connection>& connection) override {
        return server_.connect(host, port, timeout, connection);
    }

  private:
    ScriptedServer& server_;
};

}  // namespace

TEST(Https, AddressesNameTheirScheme) {
    const std::optional<HttpAddress> bare = parseHttpAddress("HTTPS://His.example");
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->secure);
    EXPECT_EQ(bare->port, 443);
    EXPECT_EQ(bare->target, "/");
    const std::optional<HttpAddress> ported = parseHttpAddress("https://h:8443/q.cgi?a=1");
    ASSERT_TRUE(ported);
    EXPECT_EQ(ported->port, 8443);
    EXPECT_EQ(ported->target, "/q.cgi?a=1");
    EXPECT_FALSE(parseHttpAddress("http://h/")->secure);
    for (const char* bad :
         {"https://", "https://:443/", "https://h:0/", "httpx://h/", "https:/h/"}) {
        EXPECT_FALSE(parseHttpAddress(bad)) << bad;
    }

    EXPECT_EQ(addressFromLine("his.example:81/q.cgi"), "http://his.example:81/q.cgi");
    EXPECT_EQ(addressFromLine("https://his.example/q.cgi"), "https://his.example/q.cgi");
    EXPECT_EQ(addressFromLine("HTTP://his.example/q.cgi"), "HTTP://his.example/q.cgi");
    EXPECT_EQ(addressFromLine("httpsd.example/q"), "http://httpsd.example/q");
}

// The same bytes as a plain request, only after a handshake for the host.
TEST(Https, RequestsGoInsideTlsUnchanged) {
    ScriptedServer server;
    server.replies = {{NetStatus::Ok, reply(200, "", "got")}, {NetStatus::Ok, reply(200, "", "")}};
    HttpClient client(server);
    client.headers.set("Cookie", "sid=9");
    HttpResponse r = client.get("https://his.example/cgi/q.cgi?a=1");
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.body, "got");
    EXPECT_EQ(server.hosts[0], "his.example:443");
    ASSERT_EQ(server.handshakes.size(), 1u);
    EXPECT_EQ(server.handshakes[0].host, "his.example");
    EXPECT_EQ(server.handshakes[0].plainBytes, 0u);
    EXPECT_EQ(server.requests[0],
              plainRequest("http://his.example/cgi/q.cgi?a=1", HttpMethod::Get, ""));

    r = client.post("https://his.example:8443/up", "Name=T&Email=t@example.jp");
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(server.hosts[1], "his.example:8443");
    EXPECT_EQ(server.handshakes[1].plainBytes, 0u);
    EXPECT_EQ(server.requests[1], plainRequest("http://his.example:8443/up", HttpMethod::Post,
                                               "Name=T&Email=t@example.jp"));
}

// A handshake that fails (an untrusted or wrong certificate, a stall) is a
// connection failure, and the request never leaves.
TEST(Https, NoRequestWithoutAHandshake) {
    ScriptedServer server;
    server.replies = {
        {NetStatus::Ok, reply(200, "", "x"), NetStatus::Ok, NetStatus::ConnectionFailed},
        {NetStatus::Ok, reply(200, "", "x"), NetStatus::Ok, NetStatus::TimedOut}};
    HttpClient client(server);
    EXPECT_EQ(client.post("https://h/", "secret=1").outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(client.get("https://h/").outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(server.requests, std::vector<std::string>({"", ""}));

    server.replies = {{NetStatus::Ok, reply(200, "", "x")},
                      {NetStatus::Ok, reply(200, "", "plain")}};
    PlainOnlyConnector plain(server);
    HttpClient old(plain);
    EXPECT_EQ(old.post("https://h/", "secret=1").outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(server.requests.back(), "");
    EXPECT_EQ(old.get("http://h/").body, "plain");
    EXPECT_EQ(server.handshakes.size(), 2u);
}

// Through a proxy: a CONNECT for the server, then the request as the server
// itself would get it, with nothing of the caller's in the plain part.
TEST(Https, ProxiesCarryATunnel) {
    ScriptedServer server;
    ScriptedServer::Reply tunnel{NetStatus::Ok, kTunnelOpen};
    tunnel.tunnelled = reply(200, "Set-Cookie: sid=10\r\n", "inside");
    ScriptedServer::Reply refused{NetStatus::Ok, reply(403, "", "no tunnels here")};
    ScriptedServer::Reply chatty{NetStatus::Ok, kTunnelOpen + "\x16\x03\x01"};
    ScriptedServer::Reply closed{NetStatus::Ok, "HTTP/1.0 200 Connection est"};
    server.replies = {tunnel, refused, chatty, closed};
    HttpClient client(server);
    client.settings.proxyHost = "proxy.lan";
    client.settings.proxyPort = 3128;
    client.headers.set("Cookie", "sid=9");

    HttpResponse r = client.post("https://his.example/sync/q.cgi", "Test_ID=NX-101");
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.body, "inside");
    EXPECT_EQ(r.cookie, "sid=10");
    EXPECT_EQ(r.head, "HTTP/1.0 200 X\r\nSet-Cookie: sid=10\r\n");
    EXPECT_EQ(server.hosts[0], "proxy.lan:3128");
    ASSERT_EQ(server.handshakes.size(), 1u);
    EXPECT_EQ(server.handshakes[0].host, "his.example");
    const std::string& sent = server.requests[0];
    const std::size_t plain = server.handshakes[0].plainBytes;
    EXPECT_EQ(sent.substr(0, plain),
              "CONNECT his.example:443 HTTP/1.0\r\nHost: his.example:443\r\n\r\n");
    EXPECT_EQ(sent.substr(plain),
              plainRequest("http://his.example/sync/q.cgi", HttpMethod::Post, "Test_ID=NX-101"));

    r = client.get("https://his.example/");
    EXPECT_EQ(r.outcome, HttpOutcome::Failure);
    EXPECT_EQ(r.status, 403);
    EXPECT_EQ(r.head, "HTTP/1.0 403 X\r\n");
    // A proxy that speaks before the handshake, or hangs up, gets no request.
    EXPECT_EQ(client.get("https://his.example/").outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(client.get("https://his.example/").outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(server.handshakes.size(), 1u);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_TRUE(server.requests[i].starts_with("CONNECT his.example:443 HTTP/1.0\r\n"));
        EXPECT_EQ(server.requests[i].find("Cookie"), std::string::npos);
    }

    // An endless answer to CONNECT is cut off like any other head.
    server.block = 64 * 1024;
    server.replies = {{NetStatus::Ok, "HTTP/1.0 200 OK\r\nX: " + std::string(kMaxHeadBytes, 'x')}};
    EXPECT_EQ(client.get("https://his.example/").outcome, HttpOutcome::TooLarge);
}

// A redirection keeps the scheme it names, a relative one the current
// scheme; nothing that went out encrypted is sent again in plain text.
TEST(Https, RedirectionsNeverLeaveTls) {
    ScriptedServer server;
    server.replies = {
        {NetStatus::Ok, reply(302, "Location: /b\r\n", "")},
        {NetStatus::Ok, reply(301, "Location: https://other.example:8443/c\r\n", "")},
        {NetStatus::Ok, reply(200, "", "done")},
    };
    HttpClient client(server);
    HttpResponse r = client.post("https://h.example/a", "q=1");
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.body, "done");
    EXPECT_EQ(server.hosts,
              std::vector<std::string>({"h.example:443", "h.example:443", "other.example:8443"}));
    ASSERT_EQ(server.handshakes.size(), 3u);
    EXPECT_EQ(server.handshakes[2].host, "other.example");
    EXPECT_TRUE(server.requests[1].starts_with("POST /b HTTP/1.0\r\n"));

    for (const char* downgrade : {"http://h.example/d", "HTTP://elsewhere.example/d"}) {
        server.replies = {
            {NetStatus::Ok, reply(302, std::string("Location: ") + downgrade + "\r\n", "")},
            {NetStatus::Ok, reply(200, "", "leaked")}};
        const std::size_t before = server.requests.size();
        r = client.post("https://h.example/a", "q=1");
        EXPECT_EQ(r.outcome, HttpOutcome::Failure) << downgrade;
        EXPECT_EQ(r.status, 302);
        EXPECT_EQ(r.location, downgrade);
        EXPECT_EQ(server.requests.size(), before + 1) << downgrade;
    }

    // Moving up from plain http is fine.
    server.replies = {{NetStatus::Ok, reply(302, "Location: https://h.example/s\r\n", "")},
                      {NetStatus::Ok, reply(200, "", "safe")}};
    const std::size_t handshakes = server.handshakes.size();
    r = client.get("http://h.example/");
    EXPECT_EQ(r.body, "safe");
    EXPECT_EQ(server.handshakes.size(), handshakes + 1);
}

// A body that does not match its Content-Length line is still a Success;
// callers tell a cut transfer from a whole one by these.
TEST(HttpClient, BodiesAgainstTheirAnnouncedLength) {
    struct Case {
        std::string headers;
        std::string body;
        bool complete;
        bool cut;
    };
    const std::vector<Case> cases = {
        {"Content-Length: 10\r\n", "only", false, true},
        {"Content-Length: 3\r\n", "three+", false, false},
        {"Content-Length: 4\r\n", "four", true, false},
        {"Content-Length: 0\r\n", "", true, false},
        {"", "no length said", true, false},
    };
    ScriptedServer server;
    HttpClient client(server);
    for (const Case& c : cases) {
        server.replies = {{NetStatus::Ok, reply(200, c.headers, c.body)}};
        const HttpResponse r = client.get("https://h/");
        EXPECT_EQ(r.outcome, HttpOutcome::Success) << c.headers << c.body;
        EXPECT_EQ(r.body, c.body);
        EXPECT_EQ(r.complete(), c.complete) << c.headers << c.body;
        EXPECT_EQ(r.cut(), c.cut) << c.headers << c.body;
    }
}
