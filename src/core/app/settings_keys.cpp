#include "core/app/settings_keys.h"

namespace tovalo::app::settings {

std::string_view defaultFor(std::string_view key) {
    for (const KeyDefault& d : kDefaults) {
        if (d.key == key) {
            return d.value;
        }
    }
    return {};
}

std::string read(const platform::SettingsStore& store, std::string_view key) {
    return store.readString(key, defaultFor(key));
}

}  // namespace tovalo::app::settings
