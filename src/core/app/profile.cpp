#include "core/app/profile.h"

#include "core/app/settings_keys.h"
#include "core/text/trim.h"

namespace tovalo::app {

bool Profile::registered() const {
    return !text::trim(name).empty();
}

Profile readProfile(const platform::SettingsStore& store) {
    return Profile{settings::read(store, settings::kName), settings::read(store, settings::kOrg),
                   settings::read(store, settings::kEmail),
                   settings::read(store, settings::kSerial)};
}

Status validateRegistration(std::string_view name) {
    if (text::trim(name).empty()) {
        return Error{kNameRequired, {}, 0};
    }
    return Ok{};
}

void writeRegistration(platform::SettingsStore& store, std::string_view name, std::string_view org,
                       std::string_view email, std::string_view pathValue) {
    store.write(settings::kName, name);
    store.write(settings::kOrg, org);
    store.write(settings::kEmail, email);
    store.write(settings::kPath, pathValue);
}

ProfileCountdown::Tick ProfileCountdown::tick() {
    ++ticks_;
    return Tick{ticks_ % kBlinkTicks == 0, ticks_ > kHandOverTicks};
}

}  // namespace tovalo::app
