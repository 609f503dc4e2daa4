#pragma once

#include <memory>

#include "core/platform/sound_player.h"

class QSoundEffect;

namespace tovalo::platform {

class QtSoundPlayer : public SoundPlayer {
  public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void play(const std::string& path) override;

  private:
    // Made on the first sound: bringing up the audio back end takes longer
    // than the rest of start-up together.
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace tovalo::platform
