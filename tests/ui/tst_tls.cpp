#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "common/tls_loopback_server.h"
#include "core/net/http_client.h"
#include "platform/posix_connector.h"

using tovalo::net::HttpClient;
using tovalo::net::HttpOutcome;
using tovalo::net::HttpResponse;
using tovalo::platform::PosixConnector;

namespace {

const char* kLoopbackNames = "DNS:localhost,IP:127.0.0.1";

std::string echo(const std::string& request) {
    const std::string body = "you sent " + std::to_string(request.size()) + " bytes";
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

// The platform connector's TLS against loopback servers whose certificates
// a CA made for the test signed.
class TestTls : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::string caFile_;
    std::unique_ptr<tls_test::Authority> ca_;

    std::shared_ptr<tls_test::TlsTransport> tls(const std::string& names) {
        return std::make_shared<tls_test::TlsTransport>(ca_->serverContext(names));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        caFile_ = dir_.filePath(QStringLiteral("ca.pem")).toStdString();
        ca_ = std::make_unique<tls_test::Authority>(caFile_);
    }

    // GET and POST arrive as the same bytes a plain server receives, checked
    // by name and by address, and long answers come through whole.
    void requestsOverTls() {
        const std::string big(300 * 1024, 'z');
        const auto answer = [&](const std::string& request) {
            return request.starts_with("GET /big")
                       ? "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(big.size()) +
                             "\r\n\r\n" + big
                       : echo(request);
        };
        LoopbackServer secure(answer, tls(kLoopbackNames));
        LoopbackServer plain(answer);
        PosixConnector connector(caFile_);
        HttpClient client(connector);
        client.headers.set("Cookie", "sid=4");
        const std::string port = std::to_string(secure.port());
        const std::string plainPort = std::to_string(plain.port());

        HttpResponse r = client.get("https://localhost:" + port + "/q.cgi?a=1");
        QCOMPARE(r.outcome, HttpOutcome::Success);
        QCOMPARE(r.status, 200);
        QVERIFY(r.complete());
        const std::string body = "Name=Taro%20Yamada&Email=t@example.jp";
        r = client.post("https://127.0.0.1:" + port + "/up.cgi", body);
        QCOMPARE(r.outcome, HttpOutcome::Success);
        QVERIFY(client.get("http://localhost:" + plainPort + "/q.cgi?a=1").outcome ==
                HttpOutcome::Success);
        QVERIFY(client.post("http://127.0.0.1:" + plainPort + "/up.cgi", body).outcome ==
                HttpOutcome::Success);

        const std::vector<std::string> got = secure.requests();
        QCOMPARE(got.size(), std::size_t(2));
        QCOMPARE(got, plain.requests());
        QVERIFY(got[1].ends_with("\r\n\r\n" + body));
        QCOMPARE(r.body, "you sent " + std::to_string(got[1].size()) + " bytes");

        std::size_t packets = 0;
        tovalo::net::HttpEvents events;
        events.packetReceived = [&](std::size_t, std::optional<std::size_t>) { ++packets; };
        r = client.get("https://localhost:" + port + "/big", events);
        QCOMPARE(r.outcome, HttpOutcome::Success);
        QVERIFY(r.body == big);
        QVERIFY(r.complete());
        QVERIFY(packets > 1);
    }

    // A certificate the client cannot trust, or one for another name, ends
    // the attempt before a byte of the request leaves.
    void certificatesThatDoNotPass() {
        auto strangerSide = tls(kLoopbackNames);
        LoopbackServer stranger(echo, strangerSide);
        auto elsewhereSide = tls("DNS:his.example,IP:192.0.2.7");
        LoopbackServer elsewhere(echo, elsewhereSide);
        PosixConnector systemOnly{std::string()};
        PosixConnector trusting(caFile_);

        HttpClient untrusted(systemOnly);
        QCOMPARE(
            untrusted.post("https://localhost:" + std::to_string(stranger.port()) + "/", "secret=1")
                .outcome,
            HttpOutcome::ConnectionFailed);
        HttpClient client(trusting);
        for (const char* host : {"localhost", "127.0.0.1"}) {
            QCOMPARE(client
                         .post(std::string("https://") + host + ":" +
                                   std::to_string(elsewhere.port()) + "/",
                               "secret=1")
                         .outcome,
                     HttpOutcome::ConnectionFailed);
        }

        // The servers take connections one at a time: once the trusted one
        // is answered, the refused ones are over.
        QCOMPARE(client.get("https://localhost:" + std::to_string(stranger.port()) + "/").outcome,
                 HttpOutcome::Success);
        QCOMPARE(stranger.requests().size(), std::size_t(1));
        QVERIFY(stranger.requests()[0].starts_with("GET / HTTP/1.0\r\n"));
        QCOMPARE(strangerSide->failedHandshakes.load(), 1);
        QVERIFY(elsewhere.requests().empty());
        QTRY_COMPARE(elsewhereSide->failedHandshakes.load(), 2);
    }

    // The extra CA comes from the environment when nobody names one.
    void caFileFromTheEnvironment() {
        LoopbackServer server(echo, tls(kLoopbackNames));
        const std::string address = "https://localhost:" + std::to_string(server.port()) + "/";
        qputenv(tovalo::platform::kExtraCaFileVariable, QByteArray::fromStdString(caFile_));
        PosixConnector fromEnvironment;
        qunsetenv(tovalo::platform::kExtraCaFileVariable);
        PosixConnector withoutIt;
        QCOMPARE(HttpClient(fromEnvironment).get(address).outcome, HttpOutcome::Success);
        QCOMPARE(HttpClient(withoutIt).get(address).outcome, HttpOutcome::ConnectionFailed);
    }

    // A server that accepts and never answers the handshake costs the
    // time-out and no more.
    void stalledHandshakeTimesOut() {
        LoopbackServer silent(echo, std::make_shared<tls_test::SilentTransport>());
        PosixConnector connector(caFile_);
        HttpClient client(connector);
        client.settings.timeout = std::chrono::milliseconds(300);
        QElapsedTimer clock;
        clock.start();
        const HttpResponse r = client.get("https://127.0.0.1:" + std::to_string(silent.port()));
        QCOMPARE(r.outcome, HttpOutcome::ConnectionFailed);
        QVERIFY2(clock.elapsed() >= 250 && clock.elapsed() < 3000,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(silent.requests().empty());
    }

    // Through a proxy: CONNECT to the server, then TLS inside the tunnel,
    // carrying the request as the server itself would get it.
    void tunnelThroughAProxy() {
        LoopbackServer server(echo, tls(kLoopbackNames));
        LoopbackServer plain(echo);
        tls_test::TunnelProxy proxy;
        PosixConnector connector(caFile_);
        HttpClient client(connector);
        client.headers.set("Cookie", "sid=4");
        QCOMPARE(client.get("http://localhost:" + std::to_string(plain.port()) + "/q.cgi").outcome,
                 HttpOutcome::Success);
        client.settings.proxyHost = "127.0.0.1";
        client.settings.proxyPort = proxy.port();

        const std::string authority = "localhost:" + std::to_string(server.port());
        const HttpResponse r = client.get("https://" + authority + "/q.cgi");
        QCOMPARE(r.outcome, HttpOutcome::Success);
        QCOMPARE(proxy.heads(),
                 std::vector<std::string>(
                     {"CONNECT " + authority + " HTTP/1.0\r\nHost: " + authority + "\r\n\r\n"}));
        QCOMPARE(server.requests(), plain.requests());
    }
};

QTEST_MAIN(TestTls)
#include "tst_tls.moc"
