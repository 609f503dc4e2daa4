#include "platform/qt_sound_player.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "platform/qt_modules.h"
#include "platform/sound_module.h"

namespace tovalo::platform {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

namespace {

constexpr QLatin1StringView kModule("tovalo_sound");

}  // namespace

void QtSoundPlayer::preload() {
    if (!tried_ && !loading_.valid()) {
        loading_ = std::async(std::launch::async, [] { loadModule(kModule); });
    }
}

SoundPlayer* QtSoundPlayer::player() {
    if (loading_.valid()) {
        loading_.get();
    }
    if (!tried_) {
        tried_ = true;
        QString reason;
        if (auto* factory = moduleInterface<SoundPlayerFactory>(kModule, &reason)) {
            player_.reset(factory->create());
        } else {
            std::fprintf(stderr, "tovalo: no sound: %s\n", qPrintable(reason));
        }
    }
    return player_.get();
}

void QtSoundPlayer::play(const std::string& path) {
    // With nothing playing yet, a stop or a file that is not there needs no module.
    if (player_ == nullptr &&
        (path.empty() || !QFileInfo(QDir::current(), QString::fromStdString(path)).exists())) {
        return;
    }
    if (SoundPlayer* p = player()) {
        p->play(path);
    }
}

}  // namespace tovalo::platform
