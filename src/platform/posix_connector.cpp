#include "platform/posix_connector.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/socket_wait.h"

namespace tovalo::platform {

namespace {

std::string caFileFromEnvironment() {
    const char* file = std::getenv(kExtraCaFileVariable);
    return file != nullptr ? file : "";
}

class SocketConnection : public net::Connection {
  public:
    SocketConnection(int fd, std::chrono::milliseconds timeout) : fd_(fd), timeout_(timeout) {}
    ~SocketConnection() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;

    net::NetStatus send(std::string_view bytes) override {
        while (!bytes.empty()) {
            if (waitFor(fd_, POLLOUT, timeout_) <= 0) {
                return net::NetStatus::TimedOut;
            }
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                    continue;
                }
                return net::NetStatus::Broken;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return net::NetStatus::Ok;
    }

    net::NetStatus receive(char* buffer, std::size_t size, std::size_t& received) override {
        received = 0;
        while (true) {
            const int ready = waitFor(fd_, POLLIN, timeout_);
            if (ready == 0) {
                return net::NetStatus::TimedOut;
            }
            if (ready < 0) {
                return net::NetStatus::Broken;
            }
            const ssize_t n = ::recv(fd_, buffer, size, 0);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                    continue;
                }
                return net::NetStatus::Broken;
            }
            received = static_cast<std::size_t>(n);
            return net::NetStatus::Ok;
        }
    }

    // Hands the socket to whoever wraps it (TLS); this connection is spent.
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
    std::chrono::milliseconds timeout_;
};

}  // namespace

PosixConnector::PosixConnector() : extraCaFile_(caFileFromEnvironment()) {}

PosixConnector::PosixConnector(std::string extraCaFile) : extraCaFile_(std::move(extraCaFile)) {}

net::NetStatus PosixConnector::secure(const std::string& host, std::chrono::milliseconds timeout,
                                      std::unique_ptr<net::Connection>& connection) {
    auto* socket = dynamic_cast<SocketConnection*>(connection.get());
    if (socket == nullptr) {
        connection.reset();
        return net::NetStatus::ConnectionFailed;
    }
    std::call_once(tlsMade_, [this] { tls_ = makeTlsHandshaker(extraCaFile_); });
    const int fd = socket->release();
    connection.reset();
    if (tls_ == nullptr) {
        ::close(fd);
        return net::NetStatus::ConnectionFailed;
    }
    return tls_->handshake(fd, host, timeout, connection);
}

net::NetStatus PosixConnector::connect(const std::string& host, int port,
                                       std::chrono::milliseconds timeout,
                                       std::unique_ptr<net::Connection>& connection) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 ||
        found == nullptr) {
        return net::NetStatus::InvalidHost;
    }
    net::NetStatus status = net::NetStatus::ConnectionFailed;
    for (addrinfo* a = found; a != nullptr && !connection; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        // Non-blocking, so that a server that never answers costs the
        // time-out and no more.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        bool connected = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        if (!connected && errno == EINPROGRESS && waitFor(fd, POLLOUT, timeout) > 0) {
            int error = 0;
            socklen_t length = sizeof error;
            connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        if (connected) {
            connection = std::make_unique<SocketConnection>(fd, timeout);
            status = net::NetStatus::Ok;
        } else {
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    return status;
}

}  // namespace tovalo::platform
