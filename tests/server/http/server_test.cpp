#include "server/http/server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_tree.h"
#include "common/tls_loopback_server.h"
#include "core/net/http_client.h"
#include "platform/posix_connector.h"

using namespace tovalo::server::http;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

Router testRoutes() {
    Router router;
    // What the request carried, so a test sees what the handler was given.
    const Handler echo = [](const Request& r) {
        Response response;
        response.body = r.method + " " + r.path + " " + r.query + " " + r.body;
        return response;
    };
    router.add("GET", "/echo", echo);
    router.add("POST", "/echo", echo);
    // A slowed-down answer, and a handler kept waiting by its store.
    router.add("GET", "/slow", [](const Request&) {
        Response response;
        response.body = "slow";
        response.notBefore = Clock::now() + 400ms;
        return response;
    });
    router.add("GET", "/busy", [](const Request&) {
        std::this_thread::sleep_for(400ms);
        Response response;
        response.body = "slow";
        return response;
    });
    router.add("GET", "/big", [](const Request&) {
        Response response;
        response.body.assign(32 << 20, 'x');
        return response;
    });
    // A handler that puts what it was sent into a header line.
    router.add("POST", "/name", [](const Request& r) {
        Response response;
        response.headers = {{"X-Name", r.body}, {"X-Kept", "yes"}};
        return response;
    });
    return router;
}

ServerOptions optionsWith(Limits limits) {
    ServerOptions options;
    options.port = 0;
    options.limits = limits;
    options.ioThreads = 1;
    options.workerThreads = 1;
    return options;
}

// A server on 127.0.0.1 and a free port, run on its own thread; its log
// lines are kept.
class Running {
  public:
    explicit Running(ServerOptions options, Router router = testRoutes())
        : server_(std::move(options), std::move(router), [this](std::string_view line) {
              std::lock_guard lock(mutex_);
              log_.emplace_back(line);
          }) {
        const tovalo::Status started = server_.start();
        EXPECT_TRUE(started.ok()) << (started.ok() ? "" : started.error().describe());
        thread_ = std::thread([this] { server_.run(); });
    }
    explicit Running(Limits limits = {}) : Running(optionsWith(limits)) {}
    ~Running() {
        const Clock::time_point asked = Clock::now();
        server_.stop();
        thread_.join();
        EXPECT_LT(Clock::now() - asked, 1s) << "stop() did not end run() promptly";
    }

    [[nodiscard]] int port() const { return server_.port(); }
    // The log once it has `count` lines, or as it is after two seconds.
    std::vector<std::string> log(std::size_t count) {
        for (const Clock::time_point end = Clock::now() + 2s; Clock::now() < end;
             std::this_thread::sleep_for(5ms)) {
            std::lock_guard lock(mutex_);
            if (log_.size() >= count) {
                break;
            }
        }
        std::lock_guard lock(mutex_);
        return log_;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> log_;
    Server server_;
    std::thread thread_;
};

// A raw TCP client, to send exactly the bytes a test needs.
class Client {
  public:
    explicit Client(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    [[nodiscard]] bool connected() const { return connected_; }
    void send(const std::string& bytes) const {
        ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    // Reads until one whole answer (head and Content-Length body) is in,
    // the server closes, or `wait` passes. Keeps what follows for the next.
    std::string answer(std::chrono::milliseconds wait = 2s) {
        const Clock::time_point end = Clock::now() + wait;
        while (true) {
            const std::size_t head = pending_.find("\r\n\r\n");
            if (head != std::string::npos) {
                const std::size_t total = head + 4 + contentLength(pending_.substr(0, head));
                if (pending_.size() >= total) {
                    std::string one = pending_.substr(0, total);
                    pending_.erase(0, total);
                    return one;
                }
            }
            if (!readSome(end)) {
                return std::exchange(pending_, {});
            }
        }
    }
    // Whether the server closes the connection within `wait`.
    bool closes(std::chrono::milliseconds wait = 2s) {
        const Clock::time_point end = Clock::now() + wait;
        while (readSome(end)) {
        }
        return closed_;
    }

    static std::size_t contentLength(const std::string& head) {
        const std::size_t at = head.find("\r\nContent-Length: ");
        return at == std::string::npos ? 0 : std::stoul(head.substr(at + 18));
    }

  private:
    bool readSome(Clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (closed_ || left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buffer[8192];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_;
    bool connected_ = false;
    bool closed_ = false;
    std::string pending_;
};

std::string bodyOf(const std::string& answer) {
    const std::size_t head = answer.find("\r\n\r\n");
    return head == std::string::npos ? "" : answer.substr(head + 4);
}

// `text` has a digit wherever `mask` has '0' and the same byte elsewhere.
bool looksLike(const std::string& text, const std::string& mask) {
    return text.size() == mask.size() &&
           std::equal(text.begin(), text.end(), mask.begin(), [](char t, char m) {
               return m == '0' ? std::isdigit(static_cast<unsigned char>(t)) != 0 : t == m;
           });
}

Limits smallLimits() {
    Limits limits;
    limits.maxHeaderBytes = 1024;
    limits.maxBodyBytes = 1024;
    limits.readTimeout = 5s;
    return limits;
}

const std::string kForm = "Content-type: application/x-www-form-urlencoded\r\n";

}  // namespace

TEST(HttpServer, AnswersWithALengthAndClosesWhenItShould) {
    struct Case {
        const char* name;
        std::string request;
        std::string statusLine;
        std::string body;  // "" when only the status matters
        bool closes;
        std::string absent = {};   // must not appear in the answer
        std::string present = {};  // must
    };
    const std::vector<Case> cases = {
        {"1.0 GET as the desktop sends it",
         "GET /echo?a=1 HTTP/1.0\r\nHost: h\r\n" + kForm + "\r\n", "HTTP/1.0 200 OK",
         "GET /echo a=1 ", true},
        {"1.0 POST", "POST /echo HTTP/1.0\r\n" + kForm + "Content-Length: 3\r\n\r\nx=1",
         "HTTP/1.0 200 OK", "POST /echo  x=1", true},
        {"absolute address", "GET http://h:8080/echo?b=2 HTTP/1.0\r\n\r\n", "HTTP/1.0 200 OK",
         "GET /echo b=2 ", true},
        {"1.1 chunked POST",
         "POST /echo HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: "
         "chunked\r\n\r\n3\r\nx=1\r\n0\r\n\r\n",
         "HTTP/1.1 200 OK", "POST /echo  x=1", false},
        {"header value with a line break",
         "POST /name HTTP/1.0\r\nContent-Length: 15\r\n\r\na\r\nSet-Cookie: b", "HTTP/1.0 200 OK",
         "", true, "Set-Cookie", "\r\nX-Kept: yes\r\n"},
        {"1.1 asking to close", "GET /echo HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n",
         "HTTP/1.1 200 OK", "GET /echo  ", true},
        {"head over the limit",
         "GET /echo HTTP/1.0\r\nX-Pad: " + std::string(2000, 'a') + "\r\n\r\n", "HTTP/1.0 431 ", "",
         true},
        {"announced body over the limit, body never sent",
         "POST /echo HTTP/1.1\r\nHost: h\r\nContent-Length: 5000\r\n\r\n", "HTTP/1.1 413 ", "",
         true},
        {"chunked body over the limit",
         "POST /echo HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n800\r\n" +
             std::string(0x800, 'b') + "\r\n0\r\n\r\n",
         "HTTP/1.1 413 ", "", true},
        {"POST without a length", "POST /echo HTTP/1.0\r\n" + kForm + "\r\nx=1", "HTTP/1.0 411 ",
         "", true},
        {"broken header line", "GET /echo HTTP/1.1\r\nHost h\r\n\r\n", "HTTP/1.1 400 ", "", true},
        {"not HTTP at all", "HELLO\r\n\r\n", "HTTP/1.1 400 ", "", true},
    };
    Running server(smallLimits());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Client client(server.port());
        client.send(c.request);
        const std::string answer = client.answer();
        EXPECT_TRUE(answer.starts_with(c.statusLine)) << answer;
        const std::string head = answer.substr(0, answer.find("\r\n\r\n") + 2);
        ASSERT_NE(head.find("\r\nContent-Length: "), std::string::npos) << answer;
        EXPECT_EQ(Client::contentLength(head), bodyOf(answer).size());
        if (!c.body.empty()) {
            EXPECT_EQ(bodyOf(answer), c.body);
        }
        if (!c.absent.empty()) {
            EXPECT_EQ(answer.find(c.absent), std::string::npos) << answer;
            EXPECT_NE(answer.find(c.present), std::string::npos) << answer;
        }
        EXPECT_EQ(client.closes(c.closes ? 2000ms : 300ms), c.closes);
    }
}

TEST(HttpServer, KeepsA11ConnectionForTheNextRequest) {
    Running server;
    Client client(server.port());
    client.send("GET /echo?n=1 HTTP/1.1\r\nHost: h\r\n\r\n");
    EXPECT_EQ(bodyOf(client.answer()), "GET /echo n=1 ");
    // A client that waits to be asked for its body before sending it.
    client.send(
        "POST /echo HTTP/1.1\r\nHost: h\r\nExpect: 100-continue\r\n"
        "Content-Length: 3\r\n\r\n");
    EXPECT_TRUE(client.answer().starts_with("HTTP/1.1 100 Continue\r\n"));
    client.send("x=2");
    EXPECT_EQ(bodyOf(client.answer()), "POST /echo  x=2");
}

TEST(HttpServer, CutsAnAnswerTheClientDoesNotTakeInTime) {
    Limits limits;
    limits.exchangeTimeout = 300ms;
    Running server(limits);
    Client client(server.port());
    client.send("GET /big HTTP/1.0\r\n\r\n");
    std::this_thread::sleep_for(600ms);
    EXPECT_TRUE(client.closes());
    const std::vector<std::string> log = server.log(1);
    ASSERT_EQ(log.size(), 1u);
    const std::size_t bytes = std::stoul(log[0].substr(log[0].find(" 200 ") + 5));
    EXPECT_LT(bytes, std::size_t{32} << 20) << log[0];
}

TEST(HttpServer, ClosesAConnectionThatDoesNotFinishItsRequestInTime) {
    Limits limits;
    limits.readTimeout = 200ms;
    Running server(limits);
    Client client(server.port());
    const Clock::time_point sent = Clock::now();
    client.send("GET /echo?Serial=1 HTTP/1.0\r\nHost: h");
    EXPECT_TRUE(client.closes(2000ms));
    EXPECT_GE(Clock::now() - sent, 180ms);
    const std::vector<std::string> log = server.log(1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(" GET /echo 408 0 "), std::string::npos) << log[0];
}

TEST(HttpServer, HoldsClientsBeyondTheBoundUntilOneLeaves) {
    Limits limits;
    limits.maxConnections = 2;
    Running server(limits);
    // Two kept-alive clients that have been answered are certainly accepted.
    auto first = std::make_unique<Client>(server.port());
    Client second(server.port());
    for (Client* c : {first.get(), &second}) {
        c->send("GET /echo HTTP/1.1\r\nHost: h\r\n\r\n");
        ASSERT_TRUE(c->answer().starts_with("HTTP/1.1 200")) << "an early client was not served";
    }
    Client third(server.port());
    ASSERT_TRUE(third.connected()) << "the third client was refused";
    third.send("GET /echo HTTP/1.0\r\n\r\n");
    EXPECT_EQ(third.answer(300ms), "") << "served beyond the bound";
    first.reset();
    EXPECT_TRUE(third.answer().starts_with("HTTP/1.0 200 OK"));
}

TEST(HttpServer, IdleConnectionsDoNotDelayANewClient) {
    Running server;
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 200; ++i) {
        idle.push_back(std::make_unique<Client>(server.port()));
        ASSERT_TRUE(idle.back()->connected());
    }
    const Clock::time_point asked = Clock::now();
    Client client(server.port());
    client.send("GET /echo HTTP/1.0\r\n\r\n");
    const std::string answer = client.answer();
    const auto took = Clock::now() - asked;
    EXPECT_TRUE(answer.starts_with("HTTP/1.0 200 OK")) << answer;
    EXPECT_LT(took, 50ms) << std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
}

// One I/O thread: a slowed-down answer waits on a timer (even with a single
// worker), and a handler waiting on its store keeps only a worker busy.
TEST(HttpServer, SlowAnswersDoNotHoldUpOthers) {
    struct Case {
        const char* path;
        int workers;
    };
    for (const Case& c : {Case{"/slow", 1}, Case{"/busy", 2}}) {
        SCOPED_TRACE(c.path);
        ServerOptions options = optionsWith({});
        options.workerThreads = c.workers;
        Running server(options);
        Client slow(server.port());
        Client quick(server.port());
        const Clock::time_point asked = Clock::now();
        slow.send(std::string("GET ") + c.path + " HTTP/1.0\r\n\r\n");
        std::this_thread::sleep_for(20ms);
        quick.send("GET /echo HTTP/1.0\r\n\r\n");
        EXPECT_TRUE(quick.answer().starts_with("HTTP/1.0 200 OK"));
        EXPECT_LT(Clock::now() - asked, 250ms);
        EXPECT_EQ(bodyOf(slow.answer()), "slow");
        EXPECT_GE(Clock::now() - asked, 400ms);
    }
}

// A fast handler answers on the loop, later from any thread, or after a
// wait on a descriptor; or it leaves the request to the plain handler. One
// kept-alive connection takes them all, so an answer that went to the
// wrong request, or a second one, shows in the row after it.
TEST(HttpServer, FastHandlersAnswerOnceOrHandOver) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    std::mutex mutex;
    std::optional<Reply> held;  // answered by the test's thread
    const auto text = [](std::string body) {
        Response r;
        r.body = std::move(body);
        return r;
    };
    Router router;
    router.add(
        "GET", "/quick", [&](const Request&) { return text("plain"); },
        [&](const Request& r, tovalo::server::EventLoop& loop, Reply reply) {
            if (r.query == "decline") {
                return false;
            }
            if (r.query == "handover") {
                reply.handOver();
            } else if (r.query == "twice") {
                reply.answer(text("first"));
                reply.answer(text("second"));
            } else if (r.query == "readable") {
                return loop.whenReadable(pipeEnds[0], [&, reply] {
                    char byte = 0;
                    EXPECT_EQ(::read(pipeEnds[0], &byte, 1), 1);
                    reply.answer(text("readable"));
                });
            } else {
                std::lock_guard lock(mutex);
                held = reply;
            }
            return true;
        });
    {
        Running server(optionsWith({}), std::move(router));
        Client client(server.port());
        const std::pair<const char*, const char*> cases[] = {
            {"decline", "plain"}, {"handover", "plain"},    {"twice", "first"},
            {"late", "late"},     {"readable", "readable"}, {"decline", "plain"},
        };
        for (const auto& [query, expected] : cases) {
            SCOPED_TRACE(query);
            client.send(std::string("GET /quick?") + query + " HTTP/1.1\r\nHost: x\r\n\r\n");
            if (std::string_view(query) == "late") {
                EXPECT_EQ(client.answer(100ms), "") << "answered before the reply";
                std::lock_guard lock(mutex);
                ASSERT_TRUE(held);
                std::thread([&] { held->answer(text("late")); }).join();
                held->answer(text("again"));
            } else if (std::string_view(query) == "readable") {
                EXPECT_EQ(client.answer(100ms), "") << "answered before the descriptor was ready";
                ASSERT_EQ(::write(pipeEnds[1], "x", 1), 1);
            }
            EXPECT_EQ(bodyOf(client.answer()), expected);
        }
        held.reset();
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

TEST(HttpServer, LogsEveryRequestWithoutItsQuery) {
    struct Case {
        std::string request;
        std::string methodPathStatus;
    };
    const std::vector<Case> cases = {
        {"GET /echo?Name=Taro&Serial=123 HTTP/1.0\r\n\r\n", "GET /echo 200"},
        {"POST /echo?Email=t@example.jp HTTP/1.1\r\nContent-Length: 5000\r\n\r\n",
         "POST /echo 413"},
        {"GET /echo?Name=Taro HTTP/1.0\r\nX-Pad: " + std::string(2000, 'a') + "\r\n\r\n",
         "GET /echo 431"},
        {"GET /" + std::string(2000, 'a') + " HTTP/1.0\r\n\r\n", "- - 431"},
        {"GET /nowhere?Name=Taro HTTP/1.0\r\n\r\n", "GET /nowhere 404"},
    };
    Running server(smallLimits());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].request.substr(0, 40));
        Client client(server.port());
        client.send(cases[i].request);
        const std::string answer = client.answer();
        const std::vector<std::string> log = server.log(i + 1);
        ASSERT_EQ(log.size(), i + 1);
        // Time, peer, method, path, status, body bytes, milliseconds.
        std::vector<std::string> fields;
        std::istringstream words(log[i]);
        for (std::string word; words >> word;) {
            fields.push_back(word);
        }
        ASSERT_EQ(fields.size(), 7u) << log[i];
        EXPECT_TRUE(looksLike(fields[0], "0000-00-00T00:00:00.000Z")) << log[i];
        EXPECT_EQ(fields[1], "127.0.0.1");
        EXPECT_EQ(fields[2] + " " + fields[3] + " " + fields[4], cases[i].methodPathStatus);
        EXPECT_EQ(fields[5], std::to_string(bodyOf(answer).size()));
        EXPECT_TRUE(looksLike(fields[6], std::string(fields[6].size(), '0'))) << log[i];
    }
}

TEST(HttpServer, ServesHttpsToTheDesktopClient) {
    TempTree tree;
    tls_test::Key caKey(EVP_EC_gen("P-256"), EVP_PKEY_free);
    tls_test::Certificate ca =
        tls_test::makeCertificate(caKey.get(), "Test CA", nullptr, nullptr, "", 1);
    tls_test::Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    tls_test::Certificate cert = tls_test::makeCertificate(key.get(), "Test server", ca.get(),
                                                           caKey.get(), "IP:127.0.0.1", 2);
    const auto pem = [&](const std::string& name, auto write) {
        const std::string path = tree.path(name);
        FILE* f = std::fopen(path.c_str(), "w");
        EXPECT_TRUE(f != nullptr && write(f) == 1) << name;
        std::fclose(f);
        return path;
    };
    const std::string caFile = pem("ca.pem", [&](FILE* f) { return PEM_write_X509(f, ca.get()); });
    ServerOptions options = optionsWith({});
    options.tlsCertFile = pem("cert.pem", [&](FILE* f) { return PEM_write_X509(f, cert.get()); });
    options.tlsKeyFile = pem("key.pem", [&](FILE* f) {
        return PEM_write_PrivateKey(f, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
    Running server(options);

    tovalo::platform::PosixConnector connector(caFile);
    tovalo::net::HttpClient client(connector);
    const std::string base = "https://127.0.0.1:" + std::to_string(server.port()) + "/echo";
    const tovalo::net::HttpResponse got = client.get(base + "?q=1");
    EXPECT_EQ(got.outcome, tovalo::net::HttpOutcome::Success);
    EXPECT_EQ(got.body, "GET /echo q=1 ");
    EXPECT_TRUE(got.complete());
    const tovalo::net::HttpResponse posted = client.post(base, "x=%20");
    EXPECT_EQ(posted.body, "POST /echo  x=%20");

    // Plain text to the TLS port gets no answer in clear.
    Client plain(server.port());
    plain.send("GET /echo HTTP/1.0\r\n\r\n");
    EXPECT_FALSE(plain.answer().starts_with("HTTP/"));
}

TEST(HttpServer, StartNamesWhatItCouldNotUse) {
    TempTree tree;
    const std::string junk = tree.write("junk.pem", "not a certificate\n");
    const std::string missing = tree.path("missing.pem");
    Running occupied;
    struct Case {
        const char* name;
        std::string cert;
        std::string key;
        int port;
        std::string named;  // must appear in the message
    };
    const std::vector<Case> cases = {
        {"missing certificate", missing, junk, 0, missing},
        {"unreadable certificate", junk, junk, 0, junk},
        {"key without certificate", "", missing, 0, missing},
        {"port taken", "", "", occupied.port(), "127.0.0.1:" + std::to_string(occupied.port())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerOptions options = optionsWith({});
        options.tlsCertFile = c.cert;
        options.tlsKeyFile = c.key;
        options.port = static_cast<std::uint16_t>(c.port);
        Server server(options, Router{}, nullptr);
        const tovalo::Status started = server.start();
        ASSERT_FALSE(started.ok());
        EXPECT_NE(started.error().describe().find(c.named), std::string::npos)
            << started.error().describe();
    }
}
