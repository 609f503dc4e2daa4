#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "server/http/exchange.h"

namespace tovalo::server::protocol {
class MetricsText;
}

namespace tovalo::server::http {

struct Limits {
    std::size_t maxHeaderBytes = 64 * 1024;
    std::size_t maxBodyBytes = 16 * 1024 * 1024;
    // From accepting a connection (or finishing the previous answer on a
    // kept-alive one) to having the whole request.
    std::chrono::milliseconds readTimeout{30'000};
    // From accepting to the last byte of the answer.
    std::chrono::milliseconds exchangeTimeout{120'000};
    // Connections open at once; beyond it the server stops accepting and the
    // kernel's queue holds the rest until one closes.
    std::size_t maxConnections = 4096;
};

struct ServerOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 8080;  // 0: any free port
    Limits limits;
    int ioThreads = 0;  // 0: one per core
    // 0: two per core. Handlers wait on the store, so one per core would
    // leave cores idle during commits; more only add hand-overs between
    // threads, which cost queries a fifth of their rate.
    int workerThreads = 0;
    std::string tlsCertFile;  // both set: HTTPS
    std::string tlsKeyFile;
};

// One line per request: time, address, method, path, status, bytes, ms.
// Called from several of the server's threads at once.
using LogSink = std::function<void(std::string_view line)>;

class Router {
  public:
    // `fast`, when given, is tried first on the connection's loop.
    void add(std::string method, std::string path, Handler handler, FastHandler fast = {});
    // Every path below the folder `path` ("/img" takes "/img/a.bmp").
    void addFolder(std::string method, std::string path, Handler handler);
    // 404 for an unknown path, 405 for a known path with another method.
    [[nodiscard]] Response route(const Request& request) const;
    // The fast handler of the route that takes the request; nullptr when it
    // has none.
    [[nodiscard]] const FastHandler* fastRoute(const Request& request) const;

    // What the routes answer, each once: a path, or "/folder/*". Counting by
    // these rather than by the paths clients send keeps the counts few.
    [[nodiscard]] const std::vector<std::string>& patterns() const { return patterns_; }
    // The index in patterns() of the one that `path` falls under, whatever
    // the method; patterns().size() for a path no route knows.
    [[nodiscard]] std::size_t patternOf(std::string_view path) const;

  private:
    struct Route {
        std::string method;
        std::string path;
        Handler handler;
        bool folder = false;
        FastHandler fast;
        std::size_t pattern = 0;
    };
    void addRoute(Route route);
    [[nodiscard]] static bool takes(const Route& route, std::string_view path);

    std::vector<Route> routes_;
    std::vector<std::string> patterns_;
};

class Server {
  public:
    Server(ServerOptions options, Router router, LogSink log);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens; fails with a message naming the address or the
    // certificate files.
    Status start();
    // The bound port (useful with port 0).
    [[nodiscard]] std::uint16_t port() const;
    // The connections and answers counted so far, for /metrics; from any
    // thread, while serving, without holding anything the serving needs.
    void writeMetrics(protocol::MetricsText& out) const;
    // Serves until stop() (from any thread or a signal handler's thread).
    void run();
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tovalo::server::http
