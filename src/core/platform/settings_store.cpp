#include "core/platform/settings_store.h"

#include <charconv>

#include "core/text/trim.h"

namespace tovalo::platform {

std::string SettingsStore::readString(std::string_view key, std::string_view defaultValue) const {
    std::optional<std::string> value = read(key);
    return value ? *value : std::string(defaultValue);
}

int SettingsStore::readInteger(std::string_view key, int defaultValue) const {
    std::optional<std::string> value = read(key);
    if (!value) {
        return defaultValue;
    }
    std::string_view digits = text::trim(*value);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    int number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
        return defaultValue;
    }
    return number;
}

void SettingsStore::writeInteger(std::string_view key, int value) {
    write(key, std::to_string(value));
}

}  // namespace tovalo::platform
