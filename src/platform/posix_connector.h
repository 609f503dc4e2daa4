#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "core/net/connection.h"
#include "platform/tls_client.h"

namespace tovalo::platform {

// TCP connections over POSIX sockets, and TLS over them. The name is
// resolved with the system's resolver; connecting, the handshake and every
// read wait at most the time-out.
class PosixConnector : public net::Connector {
  public:
    // Trusts the system's certificates and the file TOVALO_CA_FILE names.
    PosixConnector();
    // Trusts the system's certificates and `extraCaFile` ("" for none).
    explicit PosixConnector(std::string extraCaFile);

    net::NetStatus connect(const std::string& host, int port, std::chrono::milliseconds timeout,
                           std::unique_ptr<net::Connection>& connection) override;
    net::NetStatus secure(const std::string& host, std::chrono::milliseconds timeout,
                          std::unique_ptr<net::Connection>& connection) override;

  private:
    std::string extraCaFile_;
    // Made on the first secure connection; several threads may ask at once.
    std::once_flag tlsMade_;
    std::unique_ptr<TlsHandshaker> tls_;
};

}  // namespace tovalo::platform
