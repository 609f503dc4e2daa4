#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the server speaks on an accepted socket: plain TCP, unless a test
// wraps it (in TLS, say).
class LoopbackTransport {
  public:
    virtual ~LoopbackTransport() = default;
    // Starts a session on a fresh connection; false drops it unheard.
    virtual bool open(int /*fd*/) { return true; }
    virtual ssize_t read(int fd, char* buffer, std::size_t size) {
        return ::recv(fd, buffer, size, 0);
    }
    virtual ssize_t write(int fd, const char* bytes, std::size_t size) {
        return ::send(fd, bytes, size, MSG_NOSIGNAL);
    }
    // Ends the session; the server closes the socket after.
    virtual void close() {}
};

// A socket listening on 127.0.0.1 and a free port, which `serve` works on
// in its own thread until the listener is destroyed.
class LoopbackListener {
  public:
    explicit LoopbackListener(const std::function<void(int listener)>& serve) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 16);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([serve, fd = listener_] { serve(fd); });
    }
    ~LoopbackListener() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    [[nodiscard]] int port() const { return port_; }

  private:
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

// An HTTP server on 127.0.0.1 and a free port, on its own thread: it reads
// each request whole (head and announced body), keeps its raw bytes, sends
// what `handler` makes of it and closes the connection.
class LoopbackServer {
  public:
    explicit LoopbackServer(
        std::function<std::string(const std::string&)> handler,
        std::shared_ptr<LoopbackTransport> transport = std::make_shared<LoopbackTransport>())
        : handler_(std::move(handler)), transport_(std::move(transport)) {}
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    [[nodiscard]] int port() const { return listener_.port(); }
    [[nodiscard]] std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port()); }
    [[nodiscard]] std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void serve(int listener) {
        while (true) {
            const int c = ::accept(listener, nullptr, nullptr);
            if (c < 0) {
                return;
            }
            if (!transport_->open(c)) {
                ::close(c);
                continue;
            }
            std::string request;
            char buffer[8192];
            std::size_t wanted = std::string::npos;
            while (wanted == std::string::npos || request.size() < wanted) {
                const ssize_t n = transport_->read(c, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                request.append(buffer, static_cast<std::size_t>(n));
                const std::size_t end = request.find("\r\n\r\n");
                if (wanted == std::string::npos && end != std::string::npos) {
                    const std::size_t at = request.find("Content-Length: ");
                    wanted =
                        end + 4 +
                        (at != std::string::npos && at < end ? std::stoul(request.substr(at + 16))
                                                             : 0);
                }
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            const std::string answer = handler_(request);
            std::size_t sent = 0;
            while (sent < answer.size()) {
                const ssize_t n = transport_->write(c, answer.data() + sent, answer.size() - sent);
                if (n <= 0) {
                    break;
                }
                sent += static_cast<std::size_t>(n);
            }
            transport_->close();
            ::close(c);
        }
    }

    std::function<std::string(const std::string&)> handler_;
    std::shared_ptr<LoopbackTransport> transport_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    // Last, so that its thread stops before the members it uses go.
    LoopbackListener listener_{[this](int listener) { serve(listener); }};
};
