#include <gtest/gtest.h>

#include "common/scripted_server.h"
#include "core/net/http_client.h"

using namespace tovalo::net;

// The request head is what the servers were written against, byte for byte.
TEST(HttpClient, RequestsOnTheWire) {
    ScriptedServer server;
    server.replies = {{NetStatus::Ok, reply(200, "", "ok")}, {NetStatus::Ok, reply(200, "", "")}};
    HttpClient client(server);
    HttpEvents events;
    events.aboutToSend = [](HeaderList& h) {
        h.set("Cookie", "id=7");
        h.set("User-Agent", "Mozilla/4.0+(compatible;+TovaloV2)");
        h.set("Cookie", "id=8");  // replaced where it stands
        h.set("Host", "evil");    // never a second Host line
    };
    HttpResponse r = client.get("http://his.example:8081/cgi/q.cgi?a=1", events);
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.body, "ok");
    EXPECT_EQ(server.hosts[0], "his.example:8081");
    EXPECT_EQ(server.requests[0],
              "GET /cgi/q.cgi?a=1 HTTP/1.0\r\n"
              "Host: his.example\r\n"
              "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
              "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
              "Content-type: application/x-www-form-urlencoded\r\n"
              "Cookie: id=8\r\n"
              "User-Agent: Mozilla/4.0+(compatible;+TovaloV2)\r\n"
              "\r\n");

    // Through a proxy: the whole address, the proxy line, an empty body.
    client.settings.proxyHost = "proxy.lan";
    client.settings.proxyPort = 3128;
    client.headers.set("Cookie", "");
    client.headers.set("User-Agent", "");
    r = client.post("http://his.example/up", "");
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(server.hosts[1], "proxy.lan:3128");
    EXPECT_EQ(server.requests[1],
              "POST http://his.example/up HTTP/1.0\r\n"
              "Proxy-Connection: Keep-Alive\r\n"
              "Host: his.example\r\n"
              "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
              "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
              "Content-type: application/x-www-form-urlencoded\r\n"
              "Content-Length: 0\r\n"
              "\r\n");
}

TEST(HttpClient, AddressesTheClientRefuses) {
    ScriptedServer server;
    HttpClient client(server);
    EXPECT_EQ(client.get("").outcome, HttpOutcome::EmptyAddress);
    for (const char* bad :
         {"ftp://x/", "http://", "http://:80/", "http://h:0/", "http://h:99999/", "http://h:8a/"}) {
        EXPECT_EQ(client.get(bad).outcome, HttpOutcome::BadAddress) << bad;
    }
    EXPECT_TRUE(server.hosts.empty());
    const std::optional<HttpAddress> bare = parseHttpAddress("HTTP://Host.example");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->target, "/");
    EXPECT_EQ(bare->port, 80);
}

// Header names in any letter case; the status from the second word.
TEST(HttpClient, ResponseHeadersAndStatuses) {
    ScriptedServer server;
    server.replies = {
        {NetStatus::Ok,
         reply(200, "set-COOKIE: sid=abc; path=/\r\ncontent-length: 5\r\n", "hello")},
        {NetStatus::Ok, reply(404, "", "gone")},
        {NetStatus::Ok, "HTTP/1.0 OK fine\r\n\r\nx"},
        {NetStatus::Ok, reply(299, "", "")},
        {NetStatus::Ok, reply(304, "", "")},
    };
    HttpClient client(server);
    std::vector<std::size_t> progress;
    HttpEvents events;
    events.packetReceived = [&](std::size_t got, std::optional<std::size_t> announced) {
        progress.push_back(got);
        EXPECT_EQ(announced, std::optional<std::size_t>(5));
    };
    HttpResponse r = client.get("http://h/", events);
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.cookie, "sid=abc; path=/");
    EXPECT_EQ(r.head, "HTTP/1.0 200 X\r\nset-COOKIE: sid=abc; path=/\r\ncontent-length: 5\r\n");
    EXPECT_EQ(r.received, 5u);
    EXPECT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 5u);

    r = client.get("http://h/");
    EXPECT_EQ(r.outcome, HttpOutcome::Failure);
    EXPECT_EQ(r.status, 404);
    r = client.get("http://h/");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.outcome, HttpOutcome::Failure);
    // 299 and 303-399 end the request: no second connection.
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::Failure);
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::Failure);
    EXPECT_EQ(server.hosts.size(), 5u);
}

TEST(HttpClient, RedirectionsFollowTheLocationFiveTimesAtMost) {
    ScriptedServer server;
    server.replies = {
        {NetStatus::Ok, reply(302, "LOCATION: http://other.example:81/b\r\n", "")},
        {NetStatus::Ok, reply(301, "Location: /c?x=1\r\n", "")},
        {NetStatus::Ok, reply(200, "", "done")},
    };
    HttpClient client(server);
    int sends = 0;
    HttpEvents events;
    events.aboutToSend = [&](HeaderList&) { ++sends; };
    HttpResponse r = client.post("http://h.example/a", "q=1", events);
    EXPECT_EQ(r.outcome, HttpOutcome::Success);
    EXPECT_EQ(r.body, "done");
    EXPECT_EQ(sends, 3);
    ASSERT_EQ(server.requests.size(), 3u);
    EXPECT_TRUE(server.requests[1].starts_with("POST /b HTTP/1.0\r\n"));
    EXPECT_EQ(server.hosts[2], "other.example:81");
    EXPECT_TRUE(server.requests[2].starts_with("POST /c?x=1 HTTP/1.0\r\n"));
    EXPECT_TRUE(server.requests[2].ends_with("\r\n\r\nq=1"));

    // A server sending the client round in circles is given up on.
    for (int i = 0; i < 10; ++i) {
        server.replies.push_back({NetStatus::Ok, reply(302, "Location: /again\r\n", "")});
    }
    const std::size_t before = server.requests.size();
    EXPECT_EQ(client.get("http://h.example/").outcome, HttpOutcome::Failure);
    EXPECT_EQ(server.requests.size() - before, std::size_t(kMaxRedirects + 1));
}

// A relative Location is resolved against the address as it was written:
// a port appears on the request line only where the address file had one.
TEST(HttpClient, RelativeRedirectionsKeepTheHostAsWritten) {
    struct Case {
        std::string address;
        std::string proxy;
        std::string second;  // the request line of the redirected request
        std::string host;    // where it went
    };
    const std::vector<Case> cases = {
        {"http://upd.invalid/update/qdf.cgi?QDFName=A-100.qdf", "proxy.lan",
         "GET http://upd.invalid/moved/A-100.qdf HTTP/1.0", "proxy.lan:3128"},
        {"http://upd.invalid:8081/update/qdf.cgi", "proxy.lan",
         "GET http://upd.invalid:8081/moved/A-100.qdf HTTP/1.0", "proxy.lan:3128"},
        {"HTTP://Upd.Invalid", "proxy.lan", "GET HTTP://Upd.Invalid/moved/A-100.qdf HTTP/1.0",
         "proxy.lan:3128"},
        {"http://upd.invalid/update/qdf.cgi", "", "GET /moved/A-100.qdf HTTP/1.0",
         "upd.invalid:80"},
        {"http://upd.invalid:8081/update/qdf.cgi", "", "GET /moved/A-100.qdf HTTP/1.0",
         "upd.invalid:8081"},
    };
    for (const Case& c : cases) {
        ScriptedServer server;
        server.replies = {{NetStatus::Ok, reply(302, "Location: /moved/A-100.qdf\r\n", "")},
                          {NetStatus::Ok, reply(200, "", "qdf")}};
        HttpClient client(server);
        client.settings.proxyHost = c.proxy;
        client.settings.proxyPort = 3128;
        EXPECT_EQ(client.get(c.address).body, "qdf") << c.address;
        ASSERT_EQ(server.requests.size(), 2u) << c.address;
        EXPECT_EQ(server.requests[1].substr(0, server.requests[1].find("\r\n")), c.second);
        EXPECT_EQ(server.hosts[1], c.host) << c.address;
    }
}

TEST(HttpClient, ConnectionsThatFailOrMisbehave) {
    ScriptedServer server;
    server.replies = {
        {NetStatus::InvalidHost, ""},
        {NetStatus::ConnectionFailed, ""},
        {NetStatus::Ok, "HTTP/1.0 200 OK\r\nContent-Len", NetStatus::TimedOut},
        {NetStatus::Ok, "HTTP/1.0 200 OK\r\n"},  // closed before the head ended
        {NetStatus::Ok, "HTTP/1.0 200 OK\r\nX: " + std::string(kMaxHeadBytes, 'x')},
        {NetStatus::Ok, reply(200, "", std::string(kMaxBodyBytes + 1, 'b'))},
    };
    server.block = 64 * 1024;
    HttpClient client(server);
    client.settings.timeout = std::chrono::milliseconds(1500);
    EXPECT_EQ(client.get("http://nowhere/").outcome, HttpOutcome::InvalidHost);
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::ConnectionFailed);
    // Connected and asked, but the answer stops inside its head.
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::ExchangeFailed);
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::ExchangeFailed);
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::TooLarge);
    EXPECT_EQ(client.get("http://h/").outcome, HttpOutcome::TooLarge);
    EXPECT_EQ(server.timeouts[0], std::chrono::milliseconds(1500));

    std::atomic<bool> cancel{true};
    server.replies = {{NetStatus::Ok, reply(200, "", "x")}};
    EXPECT_EQ(client.get("http://h/", {}, &cancel).outcome, HttpOutcome::Cancelled);
}
