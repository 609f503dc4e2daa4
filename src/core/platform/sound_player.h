#pragma once

#include <string>

namespace tovalo::platform {

// Plays a wave file without waiting for it to end. A new sound replaces the
// one playing; an empty path only stops. A missing file stays silent: sound
// is decoration and never interrupts the user.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    virtual void play(const std::string& path) = 0;
    void stop() { play({}); }
};

}  // namespace tovalo::platform
