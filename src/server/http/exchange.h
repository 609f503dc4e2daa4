#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// A plain answer with the reason phrase as its body.
Response plainStatus(int status);

}  // namespace tovalo::server::http
