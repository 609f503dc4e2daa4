#include "core/questions/numbers.h"

#include <charconv>

#include "core/text/cp932.h"

namespace tovalo {

std::optional<int> detail::parseFileIntegerInFull(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (negative) {
        value = -value;
    }
    if (value < -2147483648LL || value > 2147483647LL) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::string notAnIntegerMessage(std::string_view text) {
    return "'" + text::cp932ToUtf8(text) + "' は整数ではありません";
}

}  // namespace tovalo
