#pragma once

// Stand-ins for the host facilities, for tests and for running screens
// without a desktop. Each records what the program asked of it.

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/platform/bundle_loader.h"
#include "core/platform/clock.h"
#include "core/platform/drive_lister.h"
#include "core/platform/file_attributes.h"
#include "core/platform/message_boxes.h"
#include "core/platform/settings_store.h"
#include "core/platform/shell.h"
#include "core/platform/sound_player.h"

namespace tovalo::platform {

class MemorySettingsStore : public SettingsStore {
  public:
    std::optional<std::string> read(std::string_view key) const override;
    void write(std::string_view key, std::string_view value) override;
    void flush() override { ++flushes; }

    std::map<std::string, std::string, std::less<>> values;
    int flushes = 0;
};

class RecordingMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        std::string caption;
        std::string text;
    };

    // Each box is recorded, then `whileShown` runs as if the box were still
    // open, before it is answered.
    void showError(const std::string& text) override;
    // Takes the next queued answer; No when none is queued.
    bool askYesNo(const std::string& text) override;
    void showNotice(const std::string& caption, const std::string& text) override;

    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::function<void()> whileShown;
};

class RecordingSoundPlayer : public SoundPlayer {
  public:
    void play(const std::string& path) override { played.push_back(path); }

    // Every request in order; an empty entry is a stop.
    std::vector<std::string> played;
};

class RecordingShell : public Shell {
  public:
    // Applies the same missing-file check as the desktop shell, then records.
    Status open(const std::string& target) override;

    std::vector<std::string> opened;
    std::vector<std::string> refused;
};

class ManualClock : public Clock {
  public:
    std::chrono::system_clock::time_point now() const override { return time; }
    void advance(std::chrono::seconds by) { time += by; }

    std::chrono::system_clock::time_point time{};
};

class FixedDriveLister : public DriveLister {
  public:
    std::vector<std::string> cdromRoots() const override { return roots; }

    std::vector<std::string> roots;
};

// Keeps attributes in memory; a path that was never touched reads as a
// plain file with no time. There are no files to rename, so the times set
// on a file about to be renamed go straight to the name it will have.
class MemoryFileAttributes : public FileAttributes {
  public:
    struct Attributes {
        bool readOnly = false;
        bool hidden = false;
        std::chrono::system_clock::time_point time{};
    };

    Status setReadOnly(const std::string& path, bool readOnly) override;
    Status setHidden(const std::string& path, bool hidden) override;
    Result<std::chrono::system_clock::time_point> lastWriteTime(
        const std::string& path) const override;
    Status setFileTimes(const std::string& path,
                        std::chrono::system_clock::time_point time) override;
    Status setFileTimesBeforeRename(const std::string& temp, const std::string& path,
                                    std::chrono::system_clock::time_point time) override;

    std::map<std::string, Attributes> files;
};

// Bundles are entries of `bundles` (file name -> string table); any other
// file fails to load.
class FakeBundleLoader : public BundleLoader {
  public:
    Result<std::string> load(const std::string& file, int slot) override;
    void unload(int slot) override;

    std::map<std::string, std::string> bundles;
    std::map<int, std::string> loaded;  // slot -> file
    std::vector<std::string> attempts;
    std::vector<int> unloaded;
};

}  // namespace tovalo::platform
