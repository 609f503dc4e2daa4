#include "core/net/http_client.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tovalo::net {

namespace {

constexpr std::string_view kPlainScheme = "http://";
constexpr std::string_view kSecureScheme = "https://";

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// The scheme an address begins with, in any letter case.
std::optional<bool> secureScheme(std::string_view address) {
    const auto begins = [&](std::string_view scheme) {
        return address.size() >= scheme.size() &&
               upper(address.substr(0, scheme.size())) == upper(scheme);
    };
    if (begins(kPlainScheme)) {
        return false;
    }
    if (begins(kSecureScheme)) {
        return true;
    }
    return std::nullopt;
}

bool startsWithWord(std::string_view upperLine, std::string_view word) {
    return upperLine.substr(0, word.size()) == word &&
           (upperLine.size() == word.size() || upperLine[word.size()] == ' ' ||
            upperLine[word.size()] == '\t');
}

// What the header lines of one response say.
void readHeaderLine(std::string_view line, HttpResponse& response) {
    const std::string u = upper(line.substr(0, 16));
    if (startsWithWord(u, "SET-COOKIE:")) {
        response.cookie = std::string(line.size() > 12 ? line.substr(12) : std::string_view());
    } else if (startsWithWord(u, "LOCATION:")) {
        response.location = std::string(line.size() > 10 ? line.substr(10) : std::string_view());
    } else if (startsWithWord(u, "CONTENT-LENGTH:")) {
        std::size_t i = 15;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        std::size_t value = 0;
        bool digits = false;
        for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
            digits = true;
            value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(line[i] - '0'),
                                          kMaxBodyBytes + 1);
        }
        if (digits) {
            response.announcedLength = value;
        }
    }
}

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

HttpOutcome outcomeOf(NetStatus status) {
    switch (status) {
        case NetStatus::InvalidHost:
            return HttpOutcome::InvalidHost;
        default:
            return HttpOutcome::ConnectionFailed;
    }
}

// Reads until the blank line that ends a head. On success `bytes` holds
// the head and whatever came after it, and `end` is where the blank line
// starts.
HttpOutcome readHead(Connection& connection, const std::atomic<bool>* cancel, std::string& bytes,
                     std::size_t& end) {
    std::array<char, 16 * 1024> block{};
    while ((end = bytes.find("\r\n\r\n")) == std::string::npos) {
        if (cancelled(cancel)) {
            return HttpOutcome::Cancelled;
        }
        if (bytes.size() > kMaxHeadBytes) {
            return HttpOutcome::TooLarge;
        }
        std::size_t got = 0;
        // The server was reached and asked: an answer that stops before its
        // head is complete is a failed exchange, not a failed connection.
        if (connection.receive(block.data(), block.size(), got) != NetStatus::Ok || got == 0) {
            return HttpOutcome::ExchangeFailed;
        }
        bytes.append(block.data(), got);
    }
    return end + 2 > kMaxHeadBytes ? HttpOutcome::TooLarge : HttpOutcome::Success;
}

}  // namespace

std::optional<HttpAddress> parseHttpAddress(std::string_view address) {
    const std::optional<bool> secure = secureScheme(address);
    if (!secure) {
        return std::nullopt;
    }
    HttpAddress a;
    a.secure = *secure;
    a.port = a.secure ? 443 : 80;
    a.absolute = std::string(address);
    const std::string_view rest = address.substr((a.secure ? kSecureScheme : kPlainScheme).size());
    const std::size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    a.target = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
    a.origin = std::string(address.substr(0, address.size() - rest.size() + authority.size()));
    const std::size_t colon = authority.find(':');
    a.host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        int value = 0;
        if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c));
            })) {
            return std::nullopt;
        }
        for (char c : port) {
            value = value * 10 + (c - '0');
        }
        if (value < 1 || value > 65535) {
            return std::nullopt;
        }
        a.port = value;
    }
    if (a.host.empty()) {
        return std::nullopt;
    }
    return a;
}

std::string addressFromLine(std::string_view line) {
    return secureScheme(line) ? std::string(line) : std::string(kPlainScheme) + std::string(line);
}

void HeaderList::set(std::string_view name, std::string_view value) {
    const auto it = std::find_if(lines_.begin(), lines_.end(),
                                 [&](const auto& line) { return line.first == name; });
    if (value.empty()) {
        if (it != lines_.end()) {
            lines_.erase(it);
        }
    } else if (it != lines_.end()) {
        it->second = std::string(value);
    } else {
        lines_.emplace_back(std::string(name), std::string(value));
    }
}

std::string requestHead(HttpMethod method, const HttpAddress& address, bool throughProxy,
                        const HeaderList& headers, std::size_t bodySize) {
    std::string head = method == HttpMethod::Post ? "POST " : "GET ";
    head += throughProxy ? address.absolute : address.target;
    head += " HTTP/1.0\r\n";
    if (throughProxy) {
        head += "Proxy-Connection: Keep-Alive\r\n";
    }
    head += "Host: " + address.host + "\r\n";
    head += "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n";
    head += "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
    head += "Content-type: application/x-www-form-urlencoded\r\n";
    if (method == HttpMethod::Post) {
        head += "Content-Length: " + std::to_string(bodySize) + "\r\n";
    }
    for (const auto& [name, value] : headers.lines()) {
        // A caller's header never gets a second Host line into the request.
        if (upper(name) == "HOST") {
            continue;
        }
        head += name + ": " + value + "\r\n";
    }
    return head + "\r\n";
}

void readResponseHead(std::string_view head, HttpResponse& response) {
    std::size_t start = 0;
    bool first = true;
    while (start < head.size()) {
        const std::size_t eol = std::min(head.find("\r\n", start), head.size());
        const std::string_view line = head.substr(start, eol - start);
        if (first) {
            response.status = statusOf(line);
            first = false;
        } else {
            readHeaderLine(line, response);
        }
        start = eol + 2;
    }
}

int statusOf(std::string_view statusLine) {
    const std::size_t first = statusLine.find(' ');
    if (first == std::string_view::npos) {
        return 0;
    }
    std::string_view word = statusLine.substr(first + 1);
    word = word.substr(0, word.find(' '));
    if (word.empty() || word.size() > 4) {
        return 0;
    }
    int value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

HttpResponse HttpClient::get(std::string_view address, const HttpEvents& events,
                             const std::atomic<bool>* cancel) {
    return run(HttpMethod::Get, address, {}, events, cancel);
}

HttpResponse HttpClient::post(std::string_view address, std::string_view body,
                              const HttpEvents& events, const std::atomic<bool>* cancel) {
    return run(HttpMethod::Post, address, body, events, cancel);
}

HttpResponse HttpClient::run(HttpMethod method, std::string_view address, std::string_view body,
                             const HttpEvents& events, const std::atomic<bool>* cancel) {
    HttpResponse response;
    if (address.empty()) {
        response.outcome = HttpOutcome::EmptyAddress;
        return response;
    }
    std::optional<HttpAddress> target = parseHttpAddress(address);
    if (!target) {
        response.outcome = HttpOutcome::BadAddress;
        return response;
    }
    for (int hop = 0;; ++hop) {
        exchange(method, *target, body, events, cancel, response);
        if (response.outcome != HttpOutcome::Success || response.status < 300 ||
            response.status > 302) {
            return response;
        }
        // A redirection: the same request again, elsewhere.
        if (hop == kMaxRedirects) {
            response.outcome = HttpOutcome::Failure;
            return response;
        }
        std::optional<HttpAddress> next;
        if (secureScheme(response.location)) {
            next = parseHttpAddress(response.location);
        } else {
            // The host stays as the address file wrote it: a proxy is asked
            // for the same server, with no port that was never written.
            const std::string path =
                response.location.starts_with('/') ? response.location : "/" + response.location;
            next = parseHttpAddress(target->origin + path);
        }
        // The request is sent again as it was, cookie and personal data
        // included: once it went out encrypted, no server may call it back
        // into plain text, whichever host it names.
        if (!next || (target->secure && !next->secure)) {
            response.outcome = HttpOutcome::Failure;
            return response;
        }
        target = std::move(next);
    }
}

// A proxy cannot read an encrypted request, so it is asked for a bare
// connection to the server instead; the caller's header lines (the cookie)
// stay out of that request, which travels in plain text.
bool HttpClient::openTunnel(Connection& proxy, const HttpAddress& address,
                            const std::atomic<bool>* cancel, HttpResponse& response) {
    const std::string authority = address.host + ":" + std::to_string(address.port);
    if (proxy.send("CONNECT " + authority + " HTTP/1.0\r\nHost: " + authority + "\r\n\r\n") !=
        NetStatus::Ok) {
        response.outcome = HttpOutcome::ConnectionFailed;
        return false;
    }
    std::string head;
    std::size_t end = 0;
    if (const HttpOutcome read = readHead(proxy, cancel, head, end); read != HttpOutcome::Success) {
        // Without a tunnel the server was never reached.
        response.outcome =
            read == HttpOutcome::ExchangeFailed ? HttpOutcome::ConnectionFailed : read;
        return false;
    }
    const int status = statusOf(std::string_view(head).substr(0, head.find("\r\n")));
    if (status < 200 || status > 299) {
        // The proxy's refusal is the answer, as it is for a plain request.
        response.status = status;
        response.head = head.substr(0, end + 2);
        response.outcome = HttpOutcome::Failure;
        return false;
    }
    // Bytes after the head would belong to no TLS session this side began.
    if (end + 4 != head.size()) {
        response.outcome = HttpOutcome::ConnectionFailed;
        return false;
    }
    return true;
}

void HttpClient::exchange(HttpMethod method, const HttpAddress& address, std::string_view body,
                          const HttpEvents& events, const std::atomic<bool>* cancel,
                          HttpResponse& response) {
    const bool proxy = !settings.proxyHost.empty();
    if (events.aboutToSend) {
        events.aboutToSend(headers);
    }
    std::unique_ptr<Connection> connection;
    const NetStatus connected =
        connector_.connect(proxy ? settings.proxyHost : address.host,
                           proxy ? settings.proxyPort : address.port, settings.timeout, connection);
    if (connected != NetStatus::Ok || !connection) {
        response.outcome = outcomeOf(connected);
        return;
    }
    if (address.secure) {
        if (proxy && !openTunnel(*connection, address, cancel, response)) {
            return;
        }
        if (connector_.secure(address.host, settings.timeout, connection) != NetStatus::Ok ||
            !connection) {
            response.outcome = HttpOutcome::ConnectionFailed;
            return;
        }
    }
    // Inside a tunnel the proxy no longer reads the request: it goes as to
    // the server itself.
    std::string request =
        requestHead(method, address, proxy && !address.secure, headers, body.size());
    if (method == HttpMethod::Post) {
        request += body;
    }
    if (connection->send(request) != NetStatus::Ok) {
        response.outcome = HttpOutcome::ExchangeFailed;
        return;
    }

    response.status = 0;
    response.head.clear();
    response.body.clear();
    response.announcedLength.reset();
    response.received = 0;
    std::string buffered;
    std::size_t end = 0;
    if (const HttpOutcome read = readHead(*connection, cancel, buffered, end);
        read != HttpOutcome::Success) {
        response.outcome = read;
        return;
    }
    response.head = buffered.substr(0, end + 2);
    response.body = buffered.substr(end + 4);
    readResponseHead(response.head, response);
    std::array<char, 16 * 1024> block{};
    while (true) {
        if (response.body.size() > kMaxBodyBytes) {
            response.outcome = HttpOutcome::TooLarge;
            return;
        }
        response.received = response.body.size();
        if (events.packetReceived) {
            events.packetReceived(response.received, response.announcedLength);
        }
        if (cancelled(cancel)) {
            response.outcome = HttpOutcome::Cancelled;
            return;
        }
        std::size_t got = 0;
        if (connection->receive(block.data(), block.size(), got) != NetStatus::Ok) {
            response.outcome = HttpOutcome::ExchangeFailed;
            return;
        }
        if (got == 0) {
            break;
        }
        response.body.append(block.data(), got);
    }
    const int s = response.status;
    response.outcome = (s >= 200 && s <= 298) || (s >= 300 && s <= 302) ? HttpOutcome::Success
                                                                        : HttpOutcome::Failure;
}

}  // namespace tovalo::net
