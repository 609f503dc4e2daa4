// The sound module: wave files played through Qt Multimedia.
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

#include "platform/sound_module.h"

namespace tovalo::platform {

namespace {

class SoundEffectPlayer : public SoundPlayer {
  public:
    void play(const std::string& path) override {
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
        // Made on the first sound: bringing up the audio back end takes
        // longer than the rest of start-up together.
        if (!effect_) {
            effect_ = std::make_unique<QSoundEffect>();
        }
        effect_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        effect_->play();
    }

  private:
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace

class SoundModule : public QObject, public SoundPlayerFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TovaloSoundPlayerFactory_iid)
    Q_INTERFACES(tovalo::platform::SoundPlayerFactory)

  public:
    SoundPlayer* create() override { return new SoundEffectPlayer; }
};

}  // namespace tovalo::platform

#include "sound_effect_module.moc"
