#pragma once

// TLS for the loopback test server: a certificate authority made afresh for
// each test (nothing secret is kept in the repository), server certificates
// it signs for any names, and a tunnelling proxy.

#include <netdb.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <signal.h>
#include <sys/time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/loopback_server.h"

namespace tls_test {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

inline void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test certificate: ") + what);
    }
}

inline void addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    require(ext != nullptr && X509_add_ext(cert, ext, -1) == 1, "extension");
    X509_EXTENSION_free(ext);
}

// A certificate for `key` named `commonName`, signed by `issuer` (itself
// when null). `altNames` as in "DNS:localhost,IP:127.0.0.1".
inline Certificate makeCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer,
                                   EVP_PKEY* issuerKey, const std::string& altNames, long serial) {
    Certificate cert(X509_new(), X509_free);
    X509* c = cert.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 7L * 24 * 3600);
    X509_set_pubkey(c, key);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(c), "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    X509* signer = issuer != nullptr ? issuer : c;
    X509_set_issuer_name(c, X509_get_subject_name(signer));
    addExtension(c, signer, NID_subject_key_identifier, "hash");
    if (issuer == nullptr) {
        addExtension(c, signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(c, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(c, signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(c, signer, NID_authority_key_identifier, "keyid");
        addExtension(c, signer, NID_ext_key_usage, "serverAuth");
        addExtension(c, signer, NID_subject_alt_name, altNames);
    }
    require(X509_sign(c, issuerKey != nullptr ? issuerKey : key, EVP_sha256()) > 0, "sign");
    return cert;
}

// A test CA whose certificate is written to `caFile` for the client to trust.
class Authority {
  public:
    explicit Authority(const std::string& caFile)
        : key_(EVP_EC_gen("P-256"), EVP_PKEY_free),
          cert_(makeCertificate(key_.get(), "Tovalo test CA", nullptr, nullptr, "", 1)) {
        FILE* f = std::fopen(caFile.c_str(), "w");
        require(f != nullptr && PEM_write_X509(f, cert_.get()) == 1, "CA file");
        std::fclose(f);
    }

    // A server context presenting a certificate for `altNames`.
    [[nodiscard]] std::shared_ptr<SSL_CTX> serverContext(const std::string& altNames) {
        Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
        Certificate cert = makeCertificate(key.get(), "Tovalo test server", cert_.get(), key_.get(),
                                           altNames, ++serial_);
        std::shared_ptr<SSL_CTX> ctx(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
        require(SSL_CTX_use_certificate(ctx.get(), cert.get()) == 1 &&
                    SSL_CTX_use_PrivateKey(ctx.get(), key.get()) == 1,
                "server context");
        return ctx;
    }

    // A server certificate and its key as PEM files, for a server that
    // reads them itself.
    void writeServerFiles(const std::string& altNames, const std::string& certFile,
                          const std::string& keyFile) {
        Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
        Certificate cert = makeCertificate(key.get(), "Tovalo test server", cert_.get(), key_.get(),
                                           altNames, ++serial_);
        FILE* c = std::fopen(certFile.c_str(), "w");
        require(c != nullptr && PEM_write_X509(c, cert.get()) == 1, "certificate file");
        std::fclose(c);
        FILE* k = std::fopen(keyFile.c_str(), "w");
        require(k != nullptr &&
                    PEM_write_PrivateKey(k, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
                "key file");
        std::fclose(k);
    }

  private:
    Key key_;
    Certificate cert_;
    long serial_ = 1;
};

// A sending thread must not die of SIGPIPE when a client has hung up.
inline void quietPipeOnThisThread() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

// The server's side of TLS, one connection at a time. It counts the
// handshakes that failed, so a test sees that a client gave up.
class TlsTransport : public LoopbackTransport {
  public:
    explicit TlsTransport(std::shared_ptr<SSL_CTX> context) : context_(std::move(context)) {}

    bool open(int fd) override {
        quietPipeOnThisThread();
        // A client that stops halfway never holds the test up for long.
        timeval wait{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        ssl_ = SSL_new(context_.get());
        SSL_set_fd(ssl_, fd);
        if (SSL_accept(ssl_) != 1) {
            ERR_clear_error();
            close();
            ++failedHandshakes;
            return false;
        }
        return true;
    }
    ssize_t read(int, char* buffer, std::size_t size) override {
        return SSL_read(ssl_, buffer, static_cast<int>(size));
    }
    ssize_t write(int, const char* bytes, std::size_t size) override {
        return SSL_write(ssl_, bytes, static_cast<int>(size));
    }
    void close() override {
        if (ssl_ != nullptr) {
            SSL_shutdown(ssl_);
            SSL_free(ssl_);
            ssl_ = nullptr;
        }
        ERR_clear_error();
    }

    std::atomic<int> failedHandshakes{0};

  private:
    std::shared_ptr<SSL_CTX> context_;
    SSL* ssl_ = nullptr;
};

// Takes the connection and says nothing until the client leaves.
class SilentTransport : public LoopbackTransport {
  public:
    bool open(int fd) override {
        char buffer[512];
        while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
        return false;
    }
};

// A proxy on 127.0.0.1 that answers CONNECT by relaying to 127.0.0.1 on the
// port asked for, and keeps each CONNECT request's head.
class TunnelProxy {
  public:
    TunnelProxy() = default;
    TunnelProxy(const TunnelProxy&) = delete;
    TunnelProxy& operator=(const TunnelProxy&) = delete;

    [[nodiscard]] int port() const { return listener_.port(); }
    [[nodiscard]] std::vector<std::string> heads() const {
        std::lock_guard lock(mutex_);
        return heads_;
    }

  private:
    void serve(int listener) {
        quietPipeOnThisThread();
        while (true) {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            // Byte by byte, so that nothing of the tunnel is read as head.
            std::string head;
            char c;
            while (!head.ends_with("\r\n\r\n") && ::recv(client, &c, 1, 0) == 1) {
                head += c;
            }
            {
                std::lock_guard lock(mutex_);
                heads_.push_back(head);
            }
            const std::size_t colon = head.find(':');
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<uint16_t>(
                colon != std::string::npos ? std::atoi(head.c_str() + colon + 1) : 0));
            if (head.starts_with("CONNECT ") &&
                ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                const std::string open = "HTTP/1.0 200 Connection established\r\n\r\n";
                ::send(client, open.data(), open.size(), MSG_NOSIGNAL);
                relay(client, server);
            } else {
                const std::string refused = "HTTP/1.0 502 Bad Gateway\r\n\r\n";
                ::send(client, refused.data(), refused.size(), MSG_NOSIGNAL);
            }
            ::close(server);
            ::close(client);
        }
    }

    static void relay(int a, int b) {
        pollfd both[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
        char buffer[16 * 1024];
        while (::poll(both, 2, 5000) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (both[i].revents == 0) {
                    continue;
                }
                const ssize_t n = ::recv(both[i].fd, buffer, sizeof buffer, 0);
                if (n <= 0 || ::send(both[1 - i].fd, buffer, static_cast<std::size_t>(n),
                                     MSG_NOSIGNAL) != n) {
                    return;
                }
            }
        }
    }

    mutable std::mutex mutex_;
    std::vector<std::string> heads_;
    LoopbackListener listener_{[this](int listener) { serve(listener); }};
};

}  // namespace tls_test
