#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/net/connection.h"

// A server that answers each connection with the next scripted reply (or
// with what `handler` makes of the request), in blocks of `block` bytes, and
// keeps what each request sent. Safe to use from a worker thread while the
// test waits.
class ScriptedServer : public tovalo::net::Connector {
  public:
    using NetStatus = tovalo::net::NetStatus;
    struct Reply {
        NetStatus connect = NetStatus::Ok;
        std::string bytes;
        NetStatus midway = NetStatus::Ok;     // what the read after the last byte gives
        NetStatus handshake = NetStatus::Ok;  // what a TLS handshake on it gives
        // When set, `bytes` are a proxy's answer to CONNECT and these what the
        // server says inside the tunnel, once TLS is up.
        std::optional<std::string> tunnelled = std::nullopt;
    };
    // A TLS handshake the client asked for: the name it wants the certificate
    // to carry, and how many request bytes went out in plain text before.
    struct Handshake {
        std::string host;
        std::size_t plainBytes = 0;
    };

    NetStatus connect(const std::string& host, int port, std::chrono::milliseconds timeout,
                      std::unique_ptr<tovalo::net::Connection>& connection) override {
        std::lock_guard lock(mutex_);
        hosts.push_back(host + ":" + std::to_string(port));
        timeouts.push_back(timeout);
        Reply reply;
        if (!handler) {
            if (replies.empty()) {
                return NetStatus::ConnectionFailed;
            }
            reply = replies.front();
            replies.pop_front();
            if (reply.connect != NetStatus::Ok) {
                return reply.connect;
            }
        }
        requests.emplace_back();
        connection = std::make_unique<Exchange>(*this, requests.size() - 1, std::move(reply));
        return NetStatus::Ok;
    }

    NetStatus secure(const std::string& host, std::chrono::milliseconds,
                     std::unique_ptr<tovalo::net::Connection>& connection) override {
        auto* exchange = dynamic_cast<Exchange*>(connection.get());
        if (exchange == nullptr) {
            connection.reset();
            return NetStatus::ConnectionFailed;
        }
        std::lock_guard lock(mutex_);
        handshakes.push_back({host, requests[exchange->index_].size()});
        if (const NetStatus refused = exchange->reply_.handshake; refused != NetStatus::Ok) {
            connection.reset();  // the exchange goes with it
            return refused;
        }
        if (exchange->reply_.tunnelled) {
            exchange->reply_.bytes = *exchange->reply_.tunnelled;
            exchange->at_ = 0;
        }
        return NetStatus::Ok;
    }

    [[nodiscard]] std::vector<std::string> requestsSoFar() const {
        std::lock_guard lock(mutex_);
        return requests;
    }

    std::deque<Reply> replies;
    // When set, answers every request from the bytes it sent instead.
    std::function<std::string(const std::string& request)> handler;
    std::vector<std::string> requests;
    std::vector<std::string> hosts;
    std::vector<std::chrono::milliseconds> timeouts;
    std::vector<Handshake> handshakes;
    std::size_t block = 7;

  private:
    class Exchange : public tovalo::net::Connection {
      public:
        Exchange(ScriptedServer& server, std::size_t index, Reply reply)
            : server_(server), index_(index), reply_(std::move(reply)) {}
        NetStatus send(std::string_view bytes) override {
            std::lock_guard lock(server_.mutex_);
            server_.requests[index_] += bytes;
            return NetStatus::Ok;
        }
        NetStatus receive(char* buffer, std::size_t size, std::size_t& received) override {
            if (server_.handler && !answered_) {
                std::string request;
                {
                    std::lock_guard lock(server_.mutex_);
                    request = server_.requests[index_];
                }
                reply_.bytes = server_.handler(request);
                answered_ = true;
            }
            if (at_ == reply_.bytes.size() && reply_.midway != NetStatus::Ok) {
                return reply_.midway;
            }
            received = std::min({size, server_.block, reply_.bytes.size() - at_});
            reply_.bytes.copy(buffer, received, at_);
            at_ += received;
            return NetStatus::Ok;
        }

      private:
        friend class ScriptedServer;
        ScriptedServer& server_;
        std::size_t index_;
        Reply reply_;
        std::size_t at_ = 0;
        bool answered_ = false;
    };

    mutable std::mutex mutex_;
};

inline std::string reply(int status, const std::string& headers, const std::string& body) {
    return "HTTP/1.0 " + std::to_string(status) + " X\r\n" + headers + "\r\n" + body;
}
