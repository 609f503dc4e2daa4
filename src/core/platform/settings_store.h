#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovalo::platform {

// The per-user settings store. Every value is a string; numbers are kept as
// decimal text so that a value written by one version reads back in any other.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // std::nullopt when the key has never been written.
    [[nodiscard]] virtual std::optional<std::string> read(std::string_view key) const = 0;
    virtual void write(std::string_view key, std::string_view value) = 0;
    // Makes the written values durable; the store may otherwise defer writing.
    virtual void flush() {}

    [[nodiscard]] std::string readString(std::string_view key,
                                         std::string_view defaultValue = {}) const;
    // Absent and non-numeric values both give `defaultValue`: a hand-edited
    // store must never stop the program.
    [[nodiscard]] int readInteger(std::string_view key, int defaultValue) const;
    void writeInteger(std::string_view key, int value);
};

}  // namespace tovalo::platform
