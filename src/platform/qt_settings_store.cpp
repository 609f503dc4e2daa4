#include "platform/qt_settings_store.h"

namespace tovalo::platform {

namespace {

QString toQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Marvesta"),
                QStringLiteral("Tovalo Vidod v2")) {}

std::optional<std::string> QtSettingsStore::read(std::string_view key) const {
    QString k = toQString(key);
    if (!settings_.contains(k)) {
        return std::nullopt;
    }
    return settings_.value(k).toString().toStdString();
}

void QtSettingsStore::write(std::string_view key, std::string_view value) {
    settings_.setValue(toQString(key), toQString(value));
}

void QtSettingsStore::flush() {
    settings_.sync();
}

}  // namespace tovalo::platform
