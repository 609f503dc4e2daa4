#include "platform/qt_sound_player.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace tovalo::platform {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const std::string& path) {
    if (effect_) {
        effect_->stop();
    }
    if (path.empty()) {
        return;
    }
    // Relative names ("wav/test.wav") are meant relative to the working
    // directory, which start-up sets to the program directory.
    QFileInfo file(QDir::current(), QString::fromStdString(path));
    if (!file.exists()) {
        return;
    }
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
    }
    effect_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    effect_->play();
}

}  // namespace tovalo::platform
