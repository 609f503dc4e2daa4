#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/service/refusal_throttle.h"

// Who is signed in to the console, and whether a form came from a page we
// gave them. A session lives in a cookie signed with a key drawn from the
// server's secret, which every server behind a balancer shares, so any of
// them reads it without asking the others; the store only keeps each
// account's session epoch, which signing out raises to end the account's
// sessions everywhere.
namespace tovalo::server::console {

inline constexpr std::string_view kCookieName = "tovalo_console";

// The value of cookie `name` in a Cookie header; nothing when absent.
std::optional<std::string> cookieValue(std::string_view header, std::string_view name);

struct Session {
    std::int64_t staffId = 0;  // 0 before signing in: the sign-in form's own session
    std::int64_t epoch = 0;
    std::string nonce;          // 32 hex digits, new at every sign-in
    std::int64_t lastSeen = 0;  // seconds since the epoch
};

class Sessions {
  public:
    Sessions(std::string_view serverSecret, std::chrono::seconds idle);

    // A session without an account, with a fresh nonce.
    [[nodiscard]] static Session fresh(std::int64_t now);

    [[nodiscard]] std::string encode(const Session& session) const;
    // The session a cookie value holds when its signature is ours and it was
    // last used no longer than the idle time before `now`.
    [[nodiscard]] std::optional<Session> decode(std::string_view value, std::int64_t now) const;

    // The token every form of the session carries; another session's token
    // does not match.
    [[nodiscard]] std::string csrfToken(const Session& session) const;
    // Compared in constant time.
    [[nodiscard]] bool csrfMatches(const Session& session, std::string_view token) const;

    // Set-Cookie values: the session, or one that removes it.
    [[nodiscard]] std::string setCookie(const Session& session, bool secure) const;
    [[nodiscard]] static std::string clearCookie(bool secure);

    [[nodiscard]] std::chrono::seconds idle() const { return idle_; }

  private:
    [[nodiscard]] std::string mac(std::string_view purpose, std::string_view text) const;

    std::string key_;
    std::chrono::seconds idle_;
};

// Failed sign-ins, per address and per account name: five go through at
// once, then each later attempt waits for a token, and while one is owed
// no password is even checked.
class SignInThrottle {
  public:
    using Clock = service::RefusalThrottle::Clock;

    SignInThrottle();
    // How long an attempt now must wait; 0 when it may be checked.
    std::chrono::milliseconds owed(const std::string& address, const std::string& name,
                                   Clock::time_point now);
    void failed(const std::string& address, const std::string& name, Clock::time_point now);

  private:
    service::RefusalThrottle throttle_;
};

}  // namespace tovalo::server::console
