#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tovalo::net {

// How an attempt to reach a server or read from it ended.
enum class NetStatus {
    Ok,
    InvalidHost,       // the name could not be resolved
    ConnectionFailed,  // refused, unreachable or not answered in time
    TimedOut,          // connected, but a read waited longer than the time-out
    Broken,            // the connection failed while sending or receiving
};

// One open connection to a server. Implementations honour the time-out
// they were opened with on every read.
class Connection {
  public:
    virtual ~Connection() = default;
    virtual NetStatus send(std::string_view bytes) = 0;
    // Reads what has arrived, at most `size` bytes, into `buffer`; `received`
    // is 0 when the server closed the connection.
    virtual NetStatus receive(char* buffer, std::size_t size, std::size_t& received) = 0;
};

// Opens connections: sockets on the desktop, scripted exchanges in tests.
class Connector {
  public:
    virtual ~Connector() = default;
    virtual NetStatus connect(const std::string& host, int port, std::chrono::milliseconds timeout,
                              std::unique_ptr<Connection>& connection) = 0;

    // Replaces an open connection by a TLS session over it, whose
    // certificate must be valid and issued to `host`. Any failure, an
    // untrusted certificate included, leaves `connection` empty before any
    // of the caller's bytes went out. A connector without TLS refuses every
    // request, so that https never quietly falls back to plain text.
    virtual NetStatus secure(const std::string& host, std::chrono::milliseconds timeout,
                             std::unique_ptr<Connection>& connection) {
        (void)host;
        (void)timeout;
        connection.reset();
        return NetStatus::ConnectionFailed;
    }
};

}  // namespace tovalo::net
