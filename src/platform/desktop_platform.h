#pragma once

#include "platform/posix_connector.h"
#include "platform/posix_file_attributes.h"
#include "platform/proc_mounts_drive_lister.h"
#include "platform/qt_bundle_loader.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_shell.h"
#include "platform/qt_sound_player.h"
#include "platform/system_clock.h"

namespace tovalo::platform {

// Every host facility as the desktop provides it. Needs a QApplication.
struct DesktopPlatform {
    QtSettingsStore settings;
    QtMessageBoxes messages;
    QtSoundPlayer sound;
    QtShell shell;
    SystemClock clock;
    ProcMountsDriveLister drives;
    PosixFileAttributes files;
    QtBundleLoader bundles;
    PosixConnector net;
};

}  // namespace tovalo::platform
