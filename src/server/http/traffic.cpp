#include "server/http/traffic.h"

#include <algorithm>

#include "server/protocol/metrics_text.h"

namespace tovalo::server::http {

namespace {

// Clients may send any token as a method; the rest count as "other".
constexpr std::string_view kMethodNames[] = {"GET",    "HEAD",    "POST", "PUT",
                                             "DELETE", "OPTIONS", "other"};

std::size_t methodIndex(std::string_view method) {
    const auto* found = std::find(std::begin(kMethodNames), std::end(kMethodNames) - 1, method);
    return static_cast<std::size_t>(found - std::begin(kMethodNames));
}

}  // namespace

Traffic::Traffic(std::vector<std::string> routes) : routes_(std::move(routes)) {
    static_assert(std::size(kMethodNames) == kMethods);
    routes_.emplace_back("other");
    answers_ = std::make_unique<Counter[]>(routes_.size() * kMethods * kStatuses);
    timings_ = std::make_unique<Timing[]>(routes_.size());
}

void Traffic::answered(std::size_t route, std::string_view method, unsigned status,
                       std::chrono::nanoseconds took) {
    route = std::min(route, routes_.size() - 1);
    // The server writes no other status (see toMessage); a stray one is
    // not worth a series of its own.
    if (status >= kLowestStatus && status - kLowestStatus < kStatuses) {
        answers_[answerSlot(route, methodIndex(method), status - kLowestStatus)].fetch_add(
            1, std::memory_order_relaxed);
    }
    Timing& timing = timings_[route];
    const double seconds = std::chrono::duration<double>(took).count();
    const auto bucket = std::lower_bound(kBoundSeconds.begin(), kBoundSeconds.end(), seconds) -
                        kBoundSeconds.begin();
    timing.buckets[static_cast<std::size_t>(bucket)].fetch_add(1, std::memory_order_relaxed);
    timing.nanoseconds.fetch_add(
        static_cast<std::uint64_t>(std::max<std::int64_t>(took.count(), 0)),
        std::memory_order_relaxed);
}

void Traffic::write(protocol::MetricsText& out, std::size_t openConnections) const {
    using protocol::MetricType;
    out.family("tovalo_http_requests_total", MetricType::Counter,
               "Requests answered, by the route that took them (\"other\": none), method and "
               "status.");
    for (std::size_t route = 0; route < routes_.size(); ++route) {
        for (std::size_t method = 0; method < kMethods; ++method) {
            for (std::size_t status = 0; status < kStatuses; ++status) {
                const std::uint64_t n =
                    answers_[answerSlot(route, method, status)].load(std::memory_order_relaxed);
                if (n != 0) {
                    out.sample("tovalo_http_requests_total",
                               {{"route", routes_[route]},
                                {"method", kMethodNames[method]},
                                {"status", std::to_string(status + kLowestStatus)}},
                               static_cast<double>(n));
                }
            }
        }
    }

    out.family("tovalo_http_request_duration_seconds", MetricType::Histogram,
               "Time from a request's head to its answer's last byte, by route.");
    std::array<std::uint64_t, kBounds + 1> counts{};
    for (std::size_t route = 0; route < routes_.size(); ++route) {
        const Timing& timing = timings_[route];
        for (std::size_t i = 0; i < counts.size(); ++i) {
            counts[i] = timing.buckets[i].load(std::memory_order_relaxed);
        }
        out.histogram(
            "tovalo_http_request_duration_seconds", {{"route", routes_[route]}}, kBoundSeconds,
            counts, static_cast<double>(timing.nanoseconds.load(std::memory_order_relaxed)) / 1e9);
    }

    out.family("tovalo_http_connections_open", MetricType::Gauge, "Connections open now.");
    out.sample("tovalo_http_connections_open", {}, static_cast<double>(openConnections));
    out.family("tovalo_http_connections_accepted_total", MetricType::Counter,
               "Connections accepted since the start.");
    out.sample("tovalo_http_connections_accepted_total", {},
               static_cast<double>(accepted_.load(std::memory_order_relaxed)));
}

}  // namespace tovalo::server::http
