#include "server/http/server.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/ssl.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>
#include <cstdio>
#include <ctime>
#include <exception>
#include <limits>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "core/common/files.h"
#include "core/net/http_client.h"
#include "server/http/traffic.h"

namespace tovalo::server::http {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace wire = boost::beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using boost::system::error_code;

// A closing connection waits this long at most for the client to hang up
// after the answer, so that unread bytes of its request cannot turn the
// close into a reset that destroys the answer on the way.
constexpr std::chrono::milliseconds kLinger{1000};
constexpr int kListenBacklog = 4096;

// 1,000 clients at once need more descriptors than a login shell's default.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

std::string utcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm t{};
    ::gmtime_r(&seconds, &t);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(millis));
    return text;
}

// IPv4 clients of a dual-stack listener are shown as IPv4.
std::string addressText(const tcp::endpoint& peer) {
    asio::ip::address address = peer.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped()) {
        address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    }
    return address.to_string();
}

// The path and the query of a request target. A client talking to a proxy
// sends the absolute address; the routes match its path all the same.
std::pair<std::string, std::string> pathAndQuery(std::string_view target) {
    std::optional<net::HttpAddress> absolute;
    if (!target.starts_with('/') && (absolute = net::parseHttpAddress(target))) {
        target = absolute->target;
    }
    const std::size_t mark = target.find('?');
    if (mark == std::string_view::npos) {
        return {std::string(target), ""};
    }
    return {std::string(target.substr(0, mark)), std::string(target.substr(mark + 1))};
}

// Bytes that would end the header line and start another are never sent on.
bool safeFieldValue(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool ownedByTheServer(std::string_view name) {
    return beast::iequals(name, "Content-Length") || beast::iequals(name, "Transfer-Encoding") ||
           beast::iequals(name, "Connection") || beast::iequals(name, "Server");
}

wire::response<wire::string_body> toMessage(Response response, int version, bool keepAlive) {
    // Statuses that may not carry a body or its length are not ours to send,
    // except "not modified", which says the copy the client holds is current.
    if (response.status < 200 || response.status > 599 || response.status == 204 ||
        (response.status == 304 && !response.body.empty())) {
        response = plainStatus(500);
    }
    wire::response<wire::string_body> message(static_cast<wire::status>(response.status),
                                              version == 10 ? 10 : 11);
    message.set(wire::field::server, "tovalo-server");
    if (safeFieldValue(response.contentType)) {
        message.set(wire::field::content_type, response.contentType);
    }
    for (const auto& [name, value] : response.headers) {
        if (!name.empty() && !ownedByTheServer(name) && safeFieldValue(name) &&
            safeFieldValue(value)) {
            message.insert(name, value);
        }
    }
    message.body() = std::move(response.body);
    message.keep_alive(keepAlive);
    message.prepare_payload();
    return message;
}

// A loop's waits for the sockets of clients that must not block it, and
// their state. Each descriptor is watched through a copy of its own, which
// only this closes: the owner may close the original whenever it likes
// (libpq does on a lost connection) while the number is reused at once
// under load, and the watch must then neither take another socket's
// registration away nor stay on a socket nobody reads.
class LoopWatch final : public EventLoop {
  public:
    explicit LoopWatch(asio::io_context& loop) : loop_(loop) {}
    // The state goes first: its sessions forget their descriptors on the way.
    ~LoopWatch() override {
        state_.reset();
        watched_.clear();
    }
    LoopWatch(const LoopWatch&) = delete;
    LoopWatch& operator=(const LoopWatch&) = delete;

    bool whenReadable(int fd, std::function<void()> ready) override {
        return wait(fd, asio::posix::descriptor_base::wait_read, std::move(ready));
    }
    bool whenWritable(int fd, std::function<void()> ready) override {
        return wait(fd, asio::posix::descriptor_base::wait_write, std::move(ready));
    }
    // Closing the copy cancels its waits; their handlers then find
    // operation_aborted and drop `ready` uncalled.
    void forget(int fd) override { watched_.erase(fd); }
    std::unique_ptr<State>& state() override { return state_; }

  private:
    bool wait(int fd, asio::posix::descriptor_base::wait_type type, std::function<void()> ready) {
        auto found = watched_.find(fd);
        if (found == watched_.end()) {
            const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            if (copy < 0) {
                return false;
            }
            found =
                watched_.emplace(fd, std::make_unique<asio::posix::stream_descriptor>(loop_, copy))
                    .first;
        }
        found->second->async_wait(type, [ready = std::move(ready)](const error_code& ec) {
            if (ec != asio::error::operation_aborted) {
                ready();
            }
        });
        return true;
    }

    asio::io_context& loop_;
    std::unordered_map<int, std::unique_ptr<asio::posix::stream_descriptor>> watched_;
    std::unique_ptr<State> state_;
};

// What every connection shares with the server that accepted it.
struct Shared {
    Shared(const ServerOptions& options, Router r, LogSink l)
        : limits(options.limits),
          router(std::move(r)),
          traffic(router.patterns()),
          log(std::move(l)),
          workers(static_cast<std::size_t>(
              options.workerThreads > 0 ? options.workerThreads
                                        : 2 * std::max(1U, std::thread::hardware_concurrency()))) {}
    virtual ~Shared() = default;

    // A connection has gone; accepting may resume.
    virtual void released() = 0;

    Response handle(const Request& request) const {
        try {
            return router.route(request);
        } catch (...) {
            return plainStatus(500);
        }
    }

    Limits limits;
    Router router;
    Traffic traffic;
    LogSink log;
    asio::thread_pool workers;
};

// One client's connection, plain or TLS. Everything but the handler runs on
// the connection's loop.
template <class Stream>
class Connection : public std::enable_shared_from_this<Connection<Stream>> {
    static constexpr bool kTls = !std::is_same_v<Stream, beast::tcp_stream>;

  public:
    template <class... StreamArgs>
    Connection(Shared& server, EventLoop& loop, std::string peer, StreamArgs&&... streamArgs)
        : server_(server),
          loop_(loop),
          peer_(std::move(peer)),
          stream_(std::forward<StreamArgs>(streamArgs)...),
          timer_(stream_.get_executor()) {}
    ~Connection() { server_.released(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() {
        asio::dispatch(stream_.get_executor(), [self = this->shared_from_this()] {
            self->beginExchange();
            if constexpr (kTls) {
                self->arm(self->readDeadline_);
                self->stream_.async_handshake(asio::ssl::stream_base::server,
                                              [self](const error_code& ec) {
                                                  if (!ec) {
                                                      self->readHead();
                                                  }
                                              });
            } else {
                self->readHead();
            }
        });
    }

  private:
    void arm(Clock::time_point deadline) { beast::get_lowest_layer(stream_).expires_at(deadline); }

    // An exchange runs from the connection's start, or from the end of the
    // previous answer, to the last byte of its own answer.
    void beginExchange() {
        const Clock::time_point now = Clock::now();
        exchangeDeadline_ = now + server_.limits.exchangeTimeout;
        readDeadline_ = std::min(now + server_.limits.readTimeout, exchangeDeadline_);
        startedAt_ = now;
        headAt_.reset();
        method_ = "-";
        path_ = "-";
        version_ = 11;
        keepAlive_ = false;
        readWhole_ = false;
    }

    void readHead() {
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(std::min<std::size_t>(
            server_.limits.maxHeaderBytes, std::numeric_limits<std::uint32_t>::max())));
        parser_->body_limit(server_.limits.maxBodyBytes);
        arm(readDeadline_);
        wire::async_read_header(stream_, buffer_, *parser_,
                                [self = this->shared_from_this()](
                                    const error_code& ec, std::size_t) { self->onHead(ec); });
    }

    void onHead(const error_code& ec) {
        if (ec) {
            return onReadFailed(ec);
        }
        headAt_ = Clock::now();
        noteRequestLine();
        const auto& head = parser_->get();
        if (head.method() == wire::verb::post && !parser_->content_length() &&
            !parser_->chunked()) {
            return refuse(411);
        }
        keepAlive_ = version_ == 11 && head.keep_alive();
        if (parser_->is_done()) {
            return dispatch();
        }
        if (version_ == 11 && beast::iequals(head[wire::field::expect], "100-continue")) {
            continue_.emplace(wire::status::continue_, 11);
            wire::async_write(stream_, *continue_,
                              [self = this->shared_from_this()](const error_code& ec, std::size_t) {
                                  if (!ec) {
                                      self->readBody();
                                  }
                              });
            return;
        }
        readBody();
    }

    void readBody() {
        wire::async_read(stream_, buffer_, *parser_,
                         [self = this->shared_from_this()](const error_code& ec, std::size_t) {
                             if (ec) {
                                 return self->onReadFailed(ec);
                             }
                             self->dispatch();
                         });
    }

    // What the log and the answer need of the request line, once it is read
    // (a refused head may still have one).
    void noteRequestLine() {
        const auto& head = parser_->get();
        if (head.method_string().empty()) {
            return;
        }
        method_ = std::string(head.method_string());
        path_ = pathAndQuery(head.target()).first;
        version_ = head.version();
    }

    void onReadFailed(const error_code& ec) {
        noteRequestLine();
        if (ec == wire::error::header_limit) {
            return refuse(431);
        }
        if (ec == wire::error::body_limit) {
            return refuse(413);
        }
        if (ec == beast::error::timeout) {
            // The stream has closed the socket. A connection idle between
            // requests simply ends; a request cut short by the clock is noted.
            if (headAt_ || buffer_.size() > 0) {
                finished(408, 0);
            }
            return;
        }
        if (ec == wire::error::end_of_stream) {
            return;
        }
        if (ec.category() == wire::make_error_code(wire::error::bad_method).category()) {
            return refuse(400);
        }
        // The connection broke: there is no one to answer.
    }

    void refuse(int status) {
        keepAlive_ = false;
        answer(plainStatus(status));
    }

    void dispatch() {
        Request& request = request_;
        request = Request{};
        auto message = parser_->release();
        request.method = std::string(message.method_string());
        request.target = std::string(message.target());
        std::tie(request.path, request.query) = pathAndQuery(request.target);
        request.version = version_;
        for (const auto& field : message) {
            request.headers.emplace_back(std::string(field.name_string()),
                                         std::string(field.value()));
        }
        request.body = std::move(message.body());
        request.remoteAddress = peer_;
        parser_.reset();
        readWhole_ = true;

        ++exchange_;
        if (const FastHandler* fast = server_.router.fastRoute(request_)) {
            awaiting_ = true;
            bool taken = false;
            try {
                taken = (*fast)(request_, loop_, replyFor(exchange_));
            } catch (...) {
                // Taken as declined, unless it has replied already.
            }
            if (taken || !awaiting_) {
                return;
            }
            awaiting_ = false;
        }
        handOver();
    }

    // Callable from any thread; only the first use for the exchange counts,
    // so a late or second one can never answer a later request.
    Reply replyFor(std::uint64_t exchange) {
        return Reply([self = this->shared_from_this(), exchange](std::optional<Response> r) {
            const auto executor = self->stream_.get_executor();
            asio::dispatch(executor, [self, exchange, r = std::move(r)]() mutable {
                if (!self->awaiting_ || self->exchange_ != exchange) {
                    return;
                }
                self->awaiting_ = false;
                if (r) {
                    self->request_ = Request{};
                    self->answer(std::move(*r));
                } else {
                    self->handOver();
                }
            });
        });
    }

    // The route's plain handler, on a worker, which may block.
    void handOver() {
        asio::post(server_.workers,
                   [self = this->shared_from_this(), request = std::move(request_)]() mutable {
                       Response response = self->server_.handle(request);
                       const auto executor = self->stream_.get_executor();
                       asio::post(executor, [self = std::move(self),
                                             response = std::move(response)]() mutable {
                           self->answer(std::move(response));
                       });
                   });
    }

    void answer(Response response) {
        const std::optional<Clock::time_point> notBefore = response.notBefore;
        response_.emplace(toMessage(std::move(response), version_, keepAlive_));
        if (notBefore && *notBefore > Clock::now()) {
            timer_.expires_at(*notBefore);
            timer_.async_wait(
                [self = this->shared_from_this()](const error_code&) { self->write(); });
            return;
        }
        write();
    }

    void write() {
        arm(exchangeDeadline_);
        wire::async_write(
            stream_, *response_,
            [self = this->shared_from_this()](const error_code& ec, std::size_t sent) {
                self->onWritten(ec, sent);
            });
    }

    void onWritten(const error_code& ec, std::size_t sent) {
        finished(response_->result_int(), ec ? bodyBytesOf(sent) : response_->body().size());
        response_.reset();
        if (ec) {
            return;
        }
        if (!keepAlive_) {
            return closeGracefully();
        }
        beginExchange();
        readHead();
    }

    // How much of the body went out of `sent` bytes of a broken answer.
    std::size_t bodyBytesOf(std::size_t sent) const {
        std::ostringstream head;
        head << response_->base();
        const std::size_t headBytes = head.str().size();
        return sent > headBytes ? sent - headBytes : 0;
    }

    void closeGracefully() {
        if constexpr (!kTls) {
            // Nothing of the client's is left unread, so closing cannot turn
            // into a reset: the answer goes out with the FIN, and waiting for
            // the client to hang up first would only cost a read.
            if (readWhole_ && buffer_.size() == 0) {
                return;
            }
        }
        arm(Clock::now() + std::min<Clock::duration>(kLinger, server_.limits.readTimeout));
        if constexpr (kTls) {
            stream_.async_shutdown([self = this->shared_from_this()](const error_code&) {});
        } else {
            error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
            drain();
        }
    }

    void drain() {
        buffer_.clear();
        stream_.async_read_some(buffer_.prepare(4096), [self = this->shared_from_this()](
                                                           const error_code& ec, std::size_t) {
            if (!ec) {
                self->drain();
            }
        });
    }

    // Every request that gets a line in the log is counted, and only those.
    void finished(unsigned status, std::size_t bodyBytes) {
        const Clock::duration took = Clock::now() - headAt_.value_or(startedAt_);
        server_.traffic.answered(server_.router.patternOf(path_), method_, status, took);
        if (!server_.log) {
            return;
        }
        const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
        std::string line = utcNow();
        line.append(" ").append(peer_);
        line.append(" ").append(method_);
        line.append(" ").append(path_);
        line.append(" ").append(std::to_string(status));
        line.append(" ").append(std::to_string(bodyBytes));
        line.append(" ").append(std::to_string(millis));
        server_.log(line);
    }

    Shared& server_;
    EventLoop& loop_;
    const std::string peer_;
    Stream stream_;
    asio::steady_timer timer_;
    beast::flat_buffer buffer_;
    std::optional<wire::request_parser<wire::string_body>> parser_;
    std::optional<wire::response<wire::empty_body>> continue_;
    std::optional<wire::response<wire::string_body>> response_;

    Clock::time_point startedAt_;
    Clock::time_point readDeadline_;
    Clock::time_point exchangeDeadline_;
    std::optional<Clock::time_point> headAt_;  // the request's head has arrived
    // For the log line; "-" until the request line is known.
    std::string method_;
    std::string path_;
    unsigned version_ = 11;
    bool keepAlive_ = false;
    bool readWhole_ = false;  // the request was read to its end
    // The request a fast handler took, kept until it replies.
    Request request_;
    std::uint64_t exchange_ = 0;  // requests dispatched so far
    bool awaiting_ = false;       // on the fast handler's reply to exchange_
};

using PlainConnection = Connection<beast::tcp_stream>;
using TlsConnection = Connection<beast::ssl_stream<beast::tcp_stream>>;

int ioThreadCount(const ServerOptions& options) {
    return options.ioThreads > 0
               ? options.ioThreads
               : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

}  // namespace

struct Server::Impl final : Shared {
    Impl(ServerOptions o, Router r, LogSink l)
        : Shared(o, std::move(r), std::move(l)), options(std::move(o)) {
        // A loop per thread, each connection on one of them: a connection's
        // steps never wait for another thread's lock, and need no strand.
        for (int i = ioThreadCount(options); i > 0; --i) {
            loops.push_back(std::make_unique<asio::io_context>(1));
            watches.push_back(std::make_unique<LoopWatch>(*loops.back()));
        }
    }

    ~Impl() override {
        for (auto& loop : loops) {
            loop->stop();
        }
        workers.join();
        // The connections still queued in the loops die with them; by then
        // nothing may start accepting again.
        closing = true;
        keepRunning.clear();
        retry.reset();
        acceptor.reset();
        // What clients keep on a loop goes before the loop: their waits and
        // the requests they hold.
        watches.clear();
        loops.clear();
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // The acceptor and what pauses it live on the first loop.
    asio::io_context& acceptLoop() { return *loops.front(); }

    Status start() {
        raiseOpenFileLimit();
        if (!options.tlsCertFile.empty() || !options.tlsKeyFile.empty()) {
            Status made = makeTls();
            if (!made) {
                return made;
            }
        }
        const std::string where = options.host + ":" + std::to_string(options.port);
        error_code ec;
        tcp::endpoint endpoint;
        const asio::ip::address address = asio::ip::make_address(options.host, ec);
        if (!ec) {
            endpoint = tcp::endpoint(address, options.port);
        } else {
            tcp::resolver resolver(acceptLoop());
            const auto found = resolver.resolve(options.host, std::to_string(options.port), ec);
            if (ec || found.empty()) {
                return Error{
                    "待ち受けるアドレス " + where + " が見つかりません (" + ec.message() + ")", "",
                    0};
            }
            endpoint = found.begin()->endpoint();
        }
        acceptor.emplace(acceptLoop());
        acceptor->open(endpoint.protocol(), ec);
        if (!ec) {
            acceptor->set_option(asio::socket_base::reuse_address(true), ec);
        }
        if (!ec) {
            acceptor->bind(endpoint, ec);
        }
        if (!ec) {
            acceptor->listen(kListenBacklog, ec);
        }
        if (ec) {
            acceptor.reset();
            return Error{where + " で待ち受けできません (" + ec.message() + ")", "", 0};
        }
        boundPort = acceptor->local_endpoint(ec).port();
        for (auto& loop : loops) {
            keepRunning.emplace_back(loop->get_executor());
        }
        retry.emplace(acceptLoop());
        asio::post(acceptLoop(), [this] { accept(); });
        return Ok{};
    }

    Status makeTls() {
        if (options.tlsCertFile.empty() || options.tlsKeyFile.empty()) {
            // Half a configuration must not quietly serve plain text.
            return Error{"TLS には証明書と秘密鍵の両方が要ります",
                         options.tlsCertFile.empty() ? options.tlsKeyFile : options.tlsCertFile, 0};
        }
        Result<std::string> cert = readWholeFile(options.tlsCertFile);
        if (!cert) {
            return Error{"TLS 証明書を読み込めません: " + cert.error().message, options.tlsCertFile,
                         0};
        }
        Result<std::string> key = readWholeFile(options.tlsKeyFile);
        if (!key) {
            return Error{"TLS の秘密鍵を読み込めません: " + key.error().message, options.tlsKeyFile,
                         0};
        }
        asio::ssl::context context(asio::ssl::context::tls_server);
        context.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                            asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                            asio::ssl::context::no_tlsv1_1 | asio::ssl::context::single_dh_use);
        SSL_CTX_set_min_proto_version(context.native_handle(), TLS1_2_VERSION);
        error_code ec;
        context.use_certificate_chain(asio::buffer(*cert), ec);
        if (ec) {
            OPENSSL_cleanse(key->data(), key->size());
            return Error{"TLS 証明書を読み込めません (" + ec.message() + ")", options.tlsCertFile,
                         0};
        }
        context.use_private_key(asio::buffer(*key), asio::ssl::context::pem, ec);
        OPENSSL_cleanse(key->data(), key->size());
        if (ec || SSL_CTX_check_private_key(context.native_handle()) != 1) {
            return Error{"TLS の秘密鍵を読み込めないか、証明書と合いません" +
                             (ec ? " (" + ec.message() + ")" : std::string()),
                         options.tlsKeyFile, 0};
        }
        tls.emplace(std::move(context));
        return Ok{};
    }

    // On the accepting loop.
    void accept() {
        if (!acceptor || !acceptor->is_open()) {
            return;
        }
        const std::size_t index = nextLoop;
        nextLoop = (nextLoop + 1) % loops.size();
        acceptor->async_accept(*loops[index], peer,
                               [this, index](const error_code& ec, tcp::socket socket) {
                                   onAccepted(ec, *watches[index], std::move(socket));
                               });
    }

    void onAccepted(const error_code& ec, EventLoop& loop, tcp::socket socket) {
        if (ec == asio::error::operation_aborted || closing) {
            return;
        }
        if (ec) {
            // Out of descriptors or memory for a moment: try again shortly
            // rather than spin.
            retry->expires_after(std::chrono::milliseconds(50));
            retry->async_wait([this](const error_code& waited) {
                if (!waited) {
                    accept();
                }
            });
            return;
        }
        ++open;
        traffic.accepted();
        std::string from = addressText(peer);
        if (tls) {
            std::make_shared<TlsConnection>(*this, loop, std::move(from), std::move(socket), *tls)
                ->start();
        } else {
            std::make_shared<PlainConnection>(*this, loop, std::move(from), std::move(socket))
                ->start();
        }
        if (open < limits.maxConnections) {
            accept();
        } else {
            paused = true;
        }
    }

    void released() override {
        --open;
        if (closing) {
            return;
        }
        asio::post(acceptLoop(), [this] {
            if (paused && open < limits.maxConnections) {
                paused = false;
                accept();
            }
        });
    }

    void run() {
        std::vector<std::thread> more;
        for (std::size_t i = 1; i < loops.size(); ++i) {
            more.emplace_back([this, i] { serve(*loops[i]); });
        }
        serve(acceptLoop());
        for (std::thread& t : more) {
            t.join();
        }
    }

    static void serve(asio::io_context& loop) {
        while (true) {
            try {
                loop.run();
                return;
            } catch (const std::exception&) {
                // One connection's failure ends that connection only.
            }
        }
    }

    ServerOptions options;
    // Declared before the loop: the connections the loop still holds use it
    // until they go with the loop.
    std::optional<asio::ssl::context> tls;
    std::vector<std::unique_ptr<asio::io_context>> loops;
    std::vector<std::unique_ptr<LoopWatch>> watches;  // one for each loop
    std::optional<tcp::acceptor> acceptor;
    std::optional<asio::steady_timer> retry;
    std::vector<asio::executor_work_guard<asio::io_context::executor_type>> keepRunning;
    std::atomic<std::size_t> open{0};
    std::atomic<bool> closing{false};
    // On the accepting loop.
    bool paused = false;
    std::size_t nextLoop = 0;
    tcp::endpoint peer;  // of the connection being accepted
    std::uint16_t boundPort = 0;
};

Server::Server(ServerOptions options, Router router, LogSink log)
    : impl_(std::make_unique<Impl>(std::move(options), std::move(router), std::move(log))) {}

Server::~Server() = default;

Status Server::start() {
    return impl_->start();
}

std::uint16_t Server::port() const {
    return impl_->boundPort;
}

void Server::writeMetrics(protocol::MetricsText& out) const {
    impl_->traffic.write(out, impl_->open.load());
}

void Server::run() {
    impl_->run();
}

void Server::stop() {
    for (auto& loop : impl_->loops) {
        loop->stop();
    }
}

}  // namespace tovalo::server::http
