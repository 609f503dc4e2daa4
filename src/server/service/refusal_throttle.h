#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tovalo::server::service {

// Slows down the answers to identifiers the server refuses, per client
// address, so that nobody can try identifiers fast: each address has a
// bucket of `burst` refusals that refills at one per `refill`; once it is
// empty each further refusal waits until a token would be there, up to
// `maxDelay`.
class RefusalThrottle {
  public:
    using Clock = std::chrono::steady_clock;

    struct Settings {
        int burst = 5;
        std::chrono::milliseconds refill{2000};
        std::chrono::milliseconds maxDelay{20'000};
        std::size_t maxAddresses = 100'000;
    };

    RefusalThrottle() = default;
    explicit RefusalThrottle(Settings settings) : settings_(settings) {}

    // Takes a token for one refusal from `address` at `now` and says how
    // long its answer must wait.
    std::chrono::milliseconds refuse(const std::string& address, Clock::time_point now);
    // How long until `address` has a token again, taking none: 0 while it
    // has one. Lets a caller hold back an attempt before doing its work.
    std::chrono::milliseconds owed(const std::string& address, Clock::time_point now);

  private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point updated;
    };

    Settings settings_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace tovalo::server::service
