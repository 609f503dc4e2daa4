#include "platform/tls_client.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>

#include "platform/socket_wait.h"

namespace tovalo::platform {

namespace {

using Clock = std::chrono::steady_clock;

// OpenSSL writes to its socket with write(), which raises SIGPIPE when the
// server has gone away. The signal is held back on this thread while a call
// runs and dropped afterwards, rather than ignored for the whole process.
class QuietPipe {
  public:
    QuietPipe() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~QuietPipe() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{};
            sigtimedwait(&pipe_, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    QuietPipe(const QuietPipe&) = delete;
    QuietPipe& operator=(const QuietPipe&) = delete;

  private:
    sigset_t pipe_;
    sigset_t old_;
    bool wasPending_ = false;
};

// What to wait for before an SSL call that could not finish is tried again:
// POLLIN or POLLOUT, or 0 when the call failed for good.
short retryEvents(SSL* ssl, int result) {
    switch (SSL_get_error(ssl, result)) {
        case SSL_ERROR_WANT_READ:
            return POLLIN;
        case SSL_ERROR_WANT_WRITE:
            return POLLOUT;
        default:
            return 0;
    }
}

bool isAddressLiteral(const std::string& host) {
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), address) == 1 ||
           inet_pton(AF_INET6, host.c_str(), address) == 1;
}

class TlsConnection : public net::Connection {
  public:
    TlsConnection(SSL* ssl, int fd, std::chrono::milliseconds timeout)
        : ssl_(ssl), fd_(fd), timeout_(timeout) {}
    ~TlsConnection() override {
        {
            QuietPipe quiet;
            ERR_clear_error();
            // One try at saying goodbye; a server that does not read it
            // loses nothing. After a fatal error the session may not be
            // used again, not even for that.
            if (!failed_) {
                SSL_shutdown(ssl_);
            }
            ERR_clear_error();
        }
        SSL_free(ssl_);
        ::close(fd_);
    }
    TlsConnection(const TlsConnection&) = delete;
    TlsConnection& operator=(const TlsConnection&) = delete;

    net::NetStatus send(std::string_view bytes) override {
        QuietPipe quiet;
        while (!bytes.empty()) {
            ERR_clear_error();
            const int n = SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()));
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            const short events = retryEvents(ssl_, n);
            if (events == 0) {
                failed_ = true;
                return net::NetStatus::Broken;
            }
            const int ready = waitFor(fd_, events, timeout_);
            if (ready <= 0) {
                return ready == 0 ? net::NetStatus::TimedOut : net::NetStatus::Broken;
            }
        }
        return net::NetStatus::Ok;
    }

    net::NetStatus receive(char* buffer, std::size_t size, std::size_t& received) override {
        QuietPipe quiet;
        received = 0;
        while (true) {
            ERR_clear_error();
            const int n = SSL_read(ssl_, buffer, static_cast<int>(size));
            if (n > 0) {
                received = static_cast<std::size_t>(n);
                return net::NetStatus::Ok;
            }
            if (SSL_get_error(ssl_, n) == SSL_ERROR_ZERO_RETURN) {
                return net::NetStatus::Ok;
            }
            const short events = retryEvents(ssl_, n);
            if (events == 0) {
                failed_ = true;
                return net::NetStatus::Broken;
            }
            const int ready = waitFor(fd_, events, timeout_);
            if (ready == 0) {
                return net::NetStatus::TimedOut;
            }
            if (ready < 0) {
                return net::NetStatus::Broken;
            }
        }
    }

  private:
    SSL* ssl_;
    int fd_;
    std::chrono::milliseconds timeout_;
    bool failed_ = false;
};

}  // namespace

TlsClient::TlsClient(std::string extraCaFile) : extraCaFile_(std::move(extraCaFile)) {}

TlsClient::~TlsClient() {
    SSL_CTX_free(context_);
}

SSL_CTX* TlsClient::context() {
    std::lock_guard lock(mutex_);
    if (context_ != nullptr) {
        return context_;
    }
    SSL_CTX* made = SSL_CTX_new(TLS_client_method());
    if (made == nullptr) {
        return nullptr;
    }
    // Many servers end an HTTP/1.0 answer by closing without a TLS goodbye;
    // a body cut that way is caught by its Content-Length like a plain one.
    SSL_CTX_set_options(made, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_verify(made, SSL_VERIFY_PEER, nullptr);
    const bool ready = SSL_CTX_set_min_proto_version(made, TLS1_2_VERSION) == 1 &&
                       SSL_CTX_set_default_verify_paths(made) == 1 &&
                       (extraCaFile_.empty() ||
                        SSL_CTX_load_verify_locations(made, extraCaFile_.c_str(), nullptr) == 1);
    ERR_clear_error();
    if (!ready) {
        SSL_CTX_free(made);
        return nullptr;
    }
    context_ = made;
    return context_;
}

net::NetStatus TlsClient::handshake(int fd, const std::string& host,
                                    std::chrono::milliseconds timeout,
                                    std::unique_ptr<net::Connection>& connection) {
    connection.reset();
    SSL_CTX* ctx = context();
    SSL* ssl = ctx != nullptr ? SSL_new(ctx) : nullptr;
    if (ssl == nullptr) {
        ::close(fd);
        return net::NetStatus::ConnectionFailed;
    }
    bool named = SSL_set_fd(ssl, fd) == 1;
    if (isAddressLiteral(host)) {
        // An address is checked against the certificate's IP entries and is
        // never sent as a server name.
        named = named && X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
    } else {
        named = named && SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 &&
                SSL_set1_host(ssl, host.c_str()) == 1;
    }
    net::NetStatus status = named ? net::NetStatus::Ok : net::NetStatus::ConnectionFailed;
    const Clock::time_point deadline = Clock::now() + timeout;
    {
        QuietPipe quiet;
        while (status == net::NetStatus::Ok) {
            ERR_clear_error();
            const int r = SSL_connect(ssl);
            if (r == 1) {
                break;
            }
            // A refused certificate ends here too, as a failed connection.
            const short events = retryEvents(ssl, r);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (events == 0) {
                status = net::NetStatus::ConnectionFailed;
            } else if (left.count() <= 0 || waitFor(fd, events, left) <= 0) {
                status = net::NetStatus::TimedOut;
            }
        }
        ERR_clear_error();
    }
    if (status != net::NetStatus::Ok) {
        SSL_free(ssl);
        ::close(fd);
        return status;
    }
    connection = std::make_unique<TlsConnection>(ssl, fd, timeout);
    return net::NetStatus::Ok;
}

}  // namespace tovalo::platform
