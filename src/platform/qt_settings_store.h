#pragma once

#include <QSettings>

#include "core/platform/settings_store.h"

namespace tovalo::platform {

// The per-user store: organisation "Marvesta", application
// "Tovalo Vidod v2", every value a string under its plain key name.
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();

    std::optional<std::string> read(std::string_view key) const override;
    void write(std::string_view key, std::string_view value) override;
    void flush() override;

    // Where the values live, for diagnostics and for tests that must prove
    // they stay away from the user's real settings.
    [[nodiscard]] QString fileName() const { return settings_.fileName(); }

  private:
    mutable QSettings settings_;
};

}  // namespace tovalo::platform
