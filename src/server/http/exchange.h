#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/event_loop.h"

// What a route sees of a request and gives back. Plain data, so that the
// services and their tests need nothing of the network library.
namespace tovalo::server::http {

struct Request {
    std::string method;  // "GET", "POST", ...
    std::string target;  // as sent: path and query
    std::string path;    // the target up to '?'
    std::string query;   // after '?', without it; "" when none
    int version = 10;    // 10 or 11
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string remoteAddress;  // the peer's IP address, no port

    // The first header of that name, in any letter case.
    [[nodiscard]] std::optional<std::string_view> header(std::string_view name) const;
};

struct Response {
    int status = 200;
    std::string contentType = "text/plain";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The answer is not written before this moment (a slowed-down refusal);
    // the connection waits on a timer, not on a thread.
    std::optional<std::chrono::steady_clock::time_point> notBefore;
};

// Runs on the server's worker threads, never on the threads that do the
// network I/O, so a handler may block on the store.
using Handler = std::function<Response(const Request&)>;

// How a fast handler answers a request it took: once, from any thread,
// with the answer, or by handing the request over to the route's plain
// handler on a worker after all (when it turns out to need a write, say).
class Reply {
  public:
    using Send = std::function<void(std::optional<Response>)>;
    explicit Reply(Send send) : send_(std::move(send)) {}

    void answer(Response response) const { send_(std::move(response)); }
    void handOver() const { send_(std::nullopt); }

  private:
    Send send_;
};

// Runs on the connection's own loop thread, before any hand-over to a
// worker, and must not block: it waits through `loop`. False declines (the
// plain handler runs on a worker, and `reply` is never used); true takes the
// request, which then stays as it is until `reply` is used.
using FastHandler = std::function<bool(const Request&, EventLoop& loop, Reply reply)>;

// A plain answer with the reason phrase as its body.
Response plainStatus(int status);

}  // namespace tovalo::server::http
