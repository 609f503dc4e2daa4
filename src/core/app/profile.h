#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"
#include "core/platform/settings_store.h"

namespace tovalo::app {

inline constexpr const char* kRegisterPrompt = "氏名、所属、E-mailアドレスを登録してください。";
inline constexpr const char* kNameRequired = "名前を入力してください。";

// The user's data that reports, synchronisation and update requests carry.
struct Profile {
    std::string name;
    std::string org;
    std::string email;
    std::string serial;

    // A name of blanks only is no name: the user is asked to register.
    [[nodiscard]] bool registered() const;
};

Profile readProfile(const platform::SettingsStore& store);

// Fails with kNameRequired when the name is empty or blank.
Status validateRegistration(std::string_view name);

// Stores a registration together with the installation root ("Path").
// Call validateRegistration first.
void writeRegistration(platform::SettingsStore& store, std::string_view name, std::string_view org,
                       std::string_view email, std::string_view pathValue);

inline constexpr int kProfileTimerIntervalMs = 100;

// The profile screen's countdown: after it has ticked more than kHandOverTicks
// times (about five seconds) the screen moves on by itself, and every
// kBlinkTicks ticks the link label changes colour.
class ProfileCountdown {
  public:
    static constexpr int kHandOverTicks = 50;
    static constexpr int kBlinkTicks = 5;

    struct Tick {
        bool toggleLink = false;
        bool handOver = false;
    };

    Tick tick();
    void reset() { ticks_ = 0; }
    [[nodiscard]] int ticks() const { return ticks_; }

  private:
    int ticks_ = 0;
};

}  // namespace tovalo::app
