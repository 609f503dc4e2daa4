#pragma once

#include <QtPlugin>

#include "core/platform/sound_player.h"

namespace tovalo::platform {

// What the sound module (tovalo_sound) offers: the player that brings up
// the desktop's audio. Its libraries are more than a tenth of a start, so
// the program loads the module only once its first window is up.
class SoundPlayerFactory {
  public:
    virtual ~SoundPlayerFactory() = default;
    virtual SoundPlayer* create() = 0;
};

}  // namespace tovalo::platform

#define TovaloSoundPlayerFactory_iid "jp.tovalo.SoundPlayerFactory/1"
Q_DECLARE_INTERFACE(tovalo::platform::SoundPlayerFactory, TovaloSoundPlayerFactory_iid)
