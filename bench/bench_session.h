#pragma once

// The session a window needs, over recording doubles for every host
// facility, for benchmarks that open windows without a desktop.

#include <string>

#include "core/platform/doubles.h"
#include "ui/session/session.h"

namespace tovalo::bench {

struct BenchSession {
    explicit BenchSession(const std::string& programDir)
        : session({settings, messages, sound, shell, clock, drives, files, bundles}, programDir,
                  {}) {}

    platform::MemorySettingsStore settings;
    platform::RecordingMessageBoxes messages;
    platform::RecordingSoundPlayer sound;
    platform::RecordingShell shell;
    platform::ManualClock clock;
    platform::FixedDriveLister drives;
    platform::MemoryFileAttributes files;
    platform::FakeBundleLoader bundles;
    ui::Session session;
};

}  // namespace tovalo::bench
