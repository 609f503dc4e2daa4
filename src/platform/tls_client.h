#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "core/net/connection.h"

struct ssl_ctx_st;

namespace tovalo::platform {

// The environment variable naming one more CA certificate file to trust.
// The tests' own servers are trusted through it; nothing turns certificate
// checking off.
inline constexpr const char* kExtraCaFileVariable = "TOVALO_CA_FILE";

// The TLS side of a connector.
class TlsHandshaker {
  public:
    virtual ~TlsHandshaker() = default;

    // Takes over `fd`, a connected non-blocking socket, and completes the
    // handshake with `host` within `timeout`. On failure the socket is
    // closed and `connection` stays empty.
    virtual net::NetStatus handshake(int fd, const std::string& host,
                                     std::chrono::milliseconds timeout,
                                     std::unique_ptr<net::Connection>& connection) = 0;
};

// The handshaker that trusts `extraCaFile` besides the system's store. The
// tool links TlsClient itself (tls_direct.cpp); the program loads it from
// its TLS module on the first secure connection (qt_tls_module.cpp), since
// OpenSSL is a tenth of a start that most runs never use. nullptr, with the
// reason on standard error, when it cannot be had.
std::unique_ptr<TlsHandshaker> makeTlsHandshaker(const std::string& extraCaFile);

// TLS 1.2 and later over connected sockets, checking every server's
// certificate chain against the system's trust store (plus `extraCaFile`,
// when given) and its name against the host asked for.
class TlsClient : public TlsHandshaker {
  public:
    explicit TlsClient(std::string extraCaFile);
    ~TlsClient() override;
    TlsClient(const TlsClient&) = delete;
    TlsClient& operator=(const TlsClient&) = delete;

    net::NetStatus handshake(int fd, const std::string& host, std::chrono::milliseconds timeout,
                             std::unique_ptr<net::Connection>& connection) override;

  private:
    ssl_ctx_st* context();

    std::string extraCaFile_;
    std::mutex mutex_;
    ssl_ctx_st* context_ = nullptr;
};

}  // namespace tovalo::platform
