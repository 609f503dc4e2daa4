#include "server/protocol/metrics_text.h"

#include <gtest/gtest.h>

#include <functional>

namespace tovalo::server::protocol {
namespace {

// What a scraper parses: exact lines, so that a value, an escape or a
// bucket out of place shows.
TEST(MetricsText, WritesFamiliesSamplesAndHistograms) {
    const double bounds[] = {0.005, 1};
    const std::uint64_t counts[] = {2, 0, 3};
    const struct {
        const char* what;
        std::function<void(MetricsText&)> write;
        std::string expected;
    } cases[] = {
        {"counter, help kept on its line",
         [](MetricsText& m) {
             m.family("a_total", MetricType::Counter, "back\\slash\nnext \"quoted\"");
             m.sample("a_total", {}, 12345);
         },
         "# HELP a_total back\\\\slash\\nnext \"quoted\"\n# TYPE a_total counter\na_total 12345\n"},
        {"labels in order, values escaped",
         [](MetricsText& m) {
             m.sample("g", {{"route", "/x"}, {"path", "a\\b\"c\nd"}}, 0.25);
         },
         "g{route=\"/x\",path=\"a\\\\b\\\"c\\nd\"} 0.25\n"},
        {"histogram: cumulative buckets ending in +Inf, then sum and count",
         [&](MetricsText& m) {
             m.family("d_seconds", MetricType::Histogram, "d");
             m.histogram("d_seconds", {{"route", "other"}}, bounds, counts, 4.5);
         },
         "# HELP d_seconds d\n# TYPE d_seconds histogram\n"
         "d_seconds_bucket{route=\"other\",le=\"0.005\"} 2\n"
         "d_seconds_bucket{route=\"other\",le=\"1\"} 2\n"
         "d_seconds_bucket{route=\"other\",le=\"+Inf\"} 5\n"
         "d_seconds_sum{route=\"other\"} 4.5\n"
         "d_seconds_count{route=\"other\"} 5\n"},
        {"histogram given too few counts still ends in +Inf",
         [&](MetricsText& m) { m.histogram("h", {}, bounds, std::span(counts, 1), 0); },
         "h_bucket{le=\"0.005\"} 2\nh_bucket{le=\"1\"} 2\nh_bucket{le=\"+Inf\"} 2\nh_sum 0\n"
         "h_count 2\n"},
    };
    for (const auto& c : cases) {
        MetricsText m;
        c.write(m);
        EXPECT_EQ(m.text(), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace tovalo::server::protocol
