#include "server/console/security.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "core/text/trim.h"
#include "server/service/learner_keys.h"

namespace tovalo::server::console {

namespace {

using service::hexOf;
using service::hmacSha256Hex;

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::optional<std::int64_t> integer(std::string_view text) {
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() && n >= 0 ? std::optional(n)
                                                                           : std::nullopt;
}

std::vector<std::string_view> split(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    for (std::size_t next = text.find(by); next != std::string_view::npos;
         next = text.find(by, at)) {
        parts.push_back(text.substr(at, next - at));
        at = next + 1;
    }
    parts.push_back(text.substr(at));
    return parts;
}

}  // namespace

std::optional<std::string> cookieValue(std::string_view header, std::string_view name) {
    for (std::string_view pair : split(header, ';')) {
        pair = text::trim(pair);
        const std::size_t eq = pair.find('=');
        if (eq != std::string_view::npos && text::trim(pair.substr(0, eq)) == name) {
            std::string_view value = text::trim(pair.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
    }
    return std::nullopt;
}

Sessions::Sessions(std::string_view serverSecret, std::chrono::seconds idle)
    : key_(hmacSha256Hex(serverSecret, "tovalo console sessions")), idle_(idle) {}

Session Sessions::fresh(std::int64_t now) {
    std::array<unsigned char, 16> random{};
    if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1) {
        // Without randomness a session could be guessed: give one that
        // no cookie can ever match.
        return Session{0, 0, "", now};
    }
    return Session{0, 0, hexOf(random.data(), random.size()), now};
}

std::string Sessions::mac(std::string_view purpose, std::string_view text) const {
    return hmacSha256Hex(key_, std::string(purpose) + "\n" + std::string(text));
}

std::string Sessions::encode(const Session& s) const {
    const std::string payload = std::to_string(s.staffId) + "." + std::to_string(s.epoch) + "." +
                                s.nonce + "." + std::to_string(s.lastSeen);
    return payload + "." + mac("session", payload);
}

std::optional<Session> Sessions::decode(std::string_view value, std::int64_t now) const {
    const std::size_t cut = value.rfind('.');
    if (cut == std::string_view::npos || value.size() > 200) {
        return std::nullopt;
    }
    const std::string_view payload = value.substr(0, cut);
    if (!sameText(value.substr(cut + 1), mac("session", payload))) {
        return std::nullopt;
    }
    const std::vector<std::string_view> parts = split(payload, '.');
    if (parts.size() != 4 || parts[2].size() != 32) {
        return std::nullopt;
    }
    const auto staff = integer(parts[0]);
    const auto epoch = integer(parts[1]);
    const auto seen = integer(parts[3]);
    // A time ahead of ours by more than a clock's drift was not written by
    // a server of this group.
    if (!staff || !epoch || !seen || *seen > now + 60 || now - *seen > idle_.count()) {
        return std::nullopt;
    }
    return Session{*staff, *epoch, std::string(parts[2]), now};
}

std::string Sessions::csrfToken(const Session& session) const {
    return mac("form", session.nonce);
}

bool Sessions::csrfMatches(const Session& session, std::string_view token) const {
    return !session.nonce.empty() && sameText(token, csrfToken(session));
}

std::string Sessions::setCookie(const Session& session, bool secure) const {
    return std::string(kCookieName) + "=" + encode(session) +
           "; Path=/console/; HttpOnly; SameSite=Strict; Max-Age=" + std::to_string(idle_.count()) +
           (secure ? "; Secure" : "");
}

std::string Sessions::clearCookie(bool secure) {
    return std::string(kCookieName) + "=; Path=/console/; HttpOnly; SameSite=Strict; Max-Age=0" +
           (secure ? "; Secure" : "");
}

SignInThrottle::SignInThrottle()
    : throttle_(service::RefusalThrottle::Settings{5, std::chrono::milliseconds(6000),
                                                   std::chrono::milliseconds(60'000), 100'000}) {}

std::chrono::milliseconds SignInThrottle::owed(const std::string& address, const std::string& name,
                                               Clock::time_point now) {
    return std::max(throttle_.owed("address " + address, now),
                    throttle_.owed("account " + name, now));
}

void SignInThrottle::failed(const std::string& address, const std::string& name,
                            Clock::time_point now) {
    throttle_.refuse("address " + address, now);
    throttle_.refuse("account " + name, now);
}

}  // namespace tovalo::server::console
