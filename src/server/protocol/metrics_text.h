#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// The text a monitoring system scrapes from /metrics (the Prometheus text
// exposition format, version 0.0.4): every family announced by its help and
// type lines, then its samples, one per line.
namespace tovalo::server::protocol {

inline constexpr std::string_view kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

struct MetricLabel {
    std::string_view name;
    std::string_view value;  // any bytes; escaped as the format wants
};

using MetricLabels = std::initializer_list<MetricLabel>;

enum class MetricType { Counter, Gauge, Histogram };

class MetricsText {
  public:
    // Starts a family; its samples follow before the next family starts.
    void family(std::string_view name, MetricType type, std::string_view help);
    void sample(std::string_view name, MetricLabels labels, double value);
    // One series of a histogram family: counts[i] observations fell in
    // (bounds[i-1], bounds[i]], and the last of counts (one more than
    // bounds) above every bound. Written as cumulative buckets ending in
    // +Inf, then the sum and the count.
    void histogram(std::string_view name, MetricLabels labels, std::span<const double> bounds,
                   std::span<const std::uint64_t> counts, double sum);

    [[nodiscard]] const std::string& text() const { return out_; }

  private:
    void line(std::string_view name, std::span<const MetricLabel> labels, double value);

    std::string out_;
};

}  // namespace tovalo::server::protocol
