#pragma once

#include "core/net/connection.h"

namespace tovalo::platform {

// TCP connections over POSIX sockets. The name is resolved with the
// system's resolver; connecting and every read wait at most the time-out.
class PosixConnector : public net::Connector {
  public:
    net::NetStatus connect(const std::string& host, int port, std::chrono::milliseconds timeout,
                           std::unique_ptr<net::Connection>& connection) override;
};

}  // namespace tovalo::platform
