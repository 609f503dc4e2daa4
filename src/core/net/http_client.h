#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/net/connection.h"

namespace tovalo::net {

// An address the client can reach: "http://" or "https://", then host
// [":" port] "/" target.
struct HttpAddress {
    bool secure = false;  // https: the request travels inside TLS
    std::string host;
    int port = 80;
    std::string target;    // from the slash after the host on; "/" when there is none
    std::string absolute;  // the whole address, as a proxy is asked for it
    std::string origin;    // scheme, host and port as written, before the target
};

// Nothing, when the address is not "http[s]://host[:port][/...]".
std::optional<HttpAddress> parseHttpAddress(std::string_view address);

// A server line from an address file as an address: a line that names its
// scheme is taken as it is, a bare "host/path" is plain http.
std::string addressFromLine(std::string_view line);

// The caller's own header lines, in the order they were set.
class HeaderList {
  public:
    // Replaces a line of the same name where it stands, or adds one at the
    // end; an empty value removes the line.
    void set(std::string_view name, std::string_view value);
    [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& lines() const {
        return lines_;
    }

  private:
    std::vector<std::pair<std::string, std::string>> lines_;
};

// Where the client connects and how long it waits.
struct HttpSettings {
    std::string proxyHost;  // empty: straight to the server
    int proxyPort = 8080;
    std::chrono::milliseconds timeout{30000};
};

enum class HttpMethod { Get, Post };

// The bytes of a request's head, up to and including the empty line.
std::string requestHead(HttpMethod method, const HttpAddress& address, bool throughProxy,
                        const HeaderList& headers, std::size_t bodySize);

// How a request ended.
enum class HttpOutcome {
    Success,           // status 200-298
    Failure,           // status 400 and above, 299, 303-399, too many redirections, a
                       // redirection from https to http, or a proxy refusing a tunnel
    InvalidHost,       // the server's (or proxy's) name could not be resolved
    ConnectionFailed,  // no connection: refused, unreachable, not answered in time, or no
                       // tunnel or TLS session through which the request could go
    ExchangeFailed,    // connected, but the request or its answer broke off or stalled
    TooLarge,          // a header block or body over its limit
    Cancelled,         // the caller gave up
    EmptyAddress,      // "Empty URL"
    BadAddress,        // not an http or https address
};

inline constexpr const char* kEmptyUrl = "Empty URL";
// A server answering more than this is not one of ours.
inline constexpr std::size_t kMaxHeadBytes = 64 * 1024;
inline constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;
inline constexpr int kMaxRedirects = 5;

struct HttpResponse {
    HttpOutcome outcome = HttpOutcome::ConnectionFailed;
    int status = 0;    // of the last response; 0 when none was read or it was not a number
    std::string head;  // the status line and header lines, each ending CR LF
    std::string body;
    std::string cookie;    // text of the last Set-Cookie line received
    std::string location;  // the last redirect address
    std::optional<std::size_t> announcedLength;
    std::size_t received = 0;  // body bytes of the last response

    // A Success can still carry a body that is not what the server meant to
    // send: these say whether it matches the Content-Length line.
    // Exactly the announced length arrived, or no length was announced.
    [[nodiscard]] bool complete() const { return !announcedLength || received == *announcedLength; }
    // The connection closed before the announced length arrived.
    [[nodiscard]] bool cut() const { return announcedLength && received < *announcedLength; }
};

// What the client tells its caller while a request runs.
struct HttpEvents {
    // Just before each request goes out (redirections included): the caller
    // sets its header lines (the cookie it holds, its agent name).
    std::function<void(HeaderList&)> aboutToSend;
    // After each block of the body: bytes so far and the length announced.
    std::function<void(std::size_t, std::optional<std::size_t>)> packetReceived;
};

// A small HTTP/1.0 client. It blocks until the answer is complete, so it
// runs on a worker thread; `cancel` is looked at between reads.
class HttpClient {
  public:
    explicit HttpClient(Connector& connector) : connector_(connector) {}

    HttpSettings settings;
    HeaderList headers;

    HttpResponse get(std::string_view address, const HttpEvents& events = {},
                     const std::atomic<bool>* cancel = nullptr);
    HttpResponse post(std::string_view address, std::string_view body,
                      const HttpEvents& events = {}, const std::atomic<bool>* cancel = nullptr);

  private:
    HttpResponse run(HttpMethod method, std::string_view address, std::string_view body,
                     const HttpEvents& events, const std::atomic<bool>* cancel);
    void exchange(HttpMethod method, const HttpAddress& address, std::string_view body,
                  const HttpEvents& events, const std::atomic<bool>* cancel,
                  HttpResponse& response);
    bool openTunnel(Connection& proxy, const HttpAddress& address, const std::atomic<bool>* cancel,
                    HttpResponse& response);

    Connector& connector_;
};

// The status line's second word, or 0 when it is not a number.
int statusOf(std::string_view statusLine);

// What a response's status line and header lines say (status, cookie,
// redirect address, announced length), read into `response`.
void readResponseHead(std::string_view head, HttpResponse& response);

}  // namespace tovalo::net
