#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovalo::server::protocol {
class MetricsText;
}

// What the server counts of its connections and answers. Every I/O thread
// counts at once and /metrics reads meanwhile, so it is all relaxed atomics
// in tables sized once: no lock, and label values only from fixed sets
// (the router's patterns, a few methods, the statuses).
namespace tovalo::server::http {

class Traffic {
  public:
    // `routes`: the router's patterns; an answer counted under routes.size()
    // is shown as "other".
    explicit Traffic(std::vector<std::string> routes);

    void accepted() { accepted_.fetch_add(1, std::memory_order_relaxed); }
    // `took`: from the request's head (or the connection's start) to the
    // answer's last byte, as the log line says it.
    void answered(std::size_t route, std::string_view method, unsigned status,
                  std::chrono::nanoseconds took);

    void write(protocol::MetricsText& out, std::size_t openConnections) const;

  private:
    using Counter = std::atomic<std::uint64_t>;
    static constexpr std::size_t kMethods = 7;
    static constexpr unsigned kLowestStatus = 100;
    static constexpr std::size_t kStatuses = 500;
    static constexpr std::size_t kBounds = 13;
    static constexpr std::array<double, kBounds> kBoundSeconds = {
        0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};

    struct Timing {
        std::array<Counter, kBounds + 1> buckets{};  // the last: above every bound
        Counter nanoseconds{0};
    };

    [[nodiscard]] std::size_t answerSlot(std::size_t route, std::size_t method,
                                         std::size_t status) const {
        return (route * kMethods + method) * kStatuses + status;
    }

    std::vector<std::string> routes_;  // then "other"
    std::unique_ptr<Counter[]> answers_;
    std::unique_ptr<Timing[]> timings_;
    Counter accepted_{0};
};

}  // namespace tovalo::server::http
