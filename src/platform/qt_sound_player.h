#pragma once

#include <future>
#include <memory>

#include "core/platform/sound_player.h"

namespace tovalo::platform {

// Plays through the sound module, loaded on a thread of its own by preload()
// once the first window is up, or else on the first sound. Without the
// module the program stays silent and says why once on standard error:
// sound is decoration.
class QtSoundPlayer : public SoundPlayer {
  public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void play(const std::string& path) override;
    void preload();

  private:
    SoundPlayer* player();

    // Its libraries take tens of milliseconds to load; the window stays live meanwhile.
    std::future<void> loading_;
    std::unique_ptr<SoundPlayer> player_;
    bool tried_ = false;
};

}  // namespace tovalo::platform
