#include "server/protocol/metrics_text.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace tovalo::server::protocol {

namespace {

void appendNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
    } else if (std::isinf(value)) {
        out += value > 0 ? "+Inf" : "-Inf";
    } else {
        // The shortest text that reads back as the same double: counts stay
        // whole numbers, bounds stay as written ("0.005", not 0.00500000000000000010).
        char text[32];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
        out.append(text, ec == std::errc() ? end : text);
    }
}

// A help text may hold anything but must stay on its line; a label value
// must also not end its quotes.
void appendEscaped(std::string& out, std::string_view text, bool quoted) {
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' && quoted) {
            out += "\\\"";
        } else {
            out += c;
        }
    }
}

const char* typeName(MetricType type) {
    switch (type) {
        case MetricType::Counter:
            return "counter";
        case MetricType::Gauge:
            return "gauge";
        case MetricType::Histogram:
            return "histogram";
    }
    return "untyped";
}

}  // namespace

void MetricsText::family(std::string_view name, MetricType type, std::string_view help) {
    out_.append("# HELP ").append(name).append(" ");
    appendEscaped(out_, help, false);
    out_.append("\n# TYPE ").append(name).append(" ").append(typeName(type)).append("\n");
}

void MetricsText::sample(std::string_view name, MetricLabels labels, double value) {
    line(name, {labels.begin(), labels.size()}, value);
}

void MetricsText::histogram(std::string_view name, MetricLabels labels,
                            std::span<const double> bounds, std::span<const std::uint64_t> counts,
                            double sum) {
    const std::string bucket = std::string(name) + "_bucket";
    std::vector<MetricLabel> withBound(labels);
    withBound.push_back({"le", {}});
    std::string bound;
    std::uint64_t below = 0;
    // Always ends in +Inf, whatever the caller's counts hold.
    for (std::size_t i = 0; i <= bounds.size(); ++i) {
        below += i < counts.size() ? counts[i] : 0;
        bound.clear();
        appendNumber(bound, i < bounds.size() ? bounds[i] : INFINITY);
        withBound.back().value = bound;
        line(bucket, withBound, static_cast<double>(below));
    }
    line(std::string(name) + "_sum", {labels.begin(), labels.size()}, sum);
    line(std::string(name) + "_count", {labels.begin(), labels.size()}, static_cast<double>(below));
}

void MetricsText::line(std::string_view name, std::span<const MetricLabel> labels, double value) {
    out_.append(name);
    if (!labels.empty()) {
        out_ += '{';
        for (const MetricLabel& label : labels) {
            if (&label != labels.data()) {
                out_ += ',';
            }
            out_.append(label.name).append("=\"");
            appendEscaped(out_, label.value, true);
            out_ += '"';
        }
        out_ += '}';
    }
    out_ += ' ';
    appendNumber(out_, value);
    out_ += '\n';
}

}  // namespace tovalo::server::protocol
