#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/command_line.h"
#include "core/app/directories.h"
#include "core/app/profile.h"
#include "core/app/vendors.h"
#include "core/app/window_placement.h"
#include "core/catalog/catalog.h"
#include "core/exam/exam_session.h"
#include "core/net/connection.h"
#include "core/platform/bundle_loader.h"
#include "core/platform/clock.h"
#include "core/platform/drive_lister.h"
#include "core/platform/file_attributes.h"
#include "core/platform/message_boxes.h"
#include "core/platform/settings_store.h"
#include "core/platform/shell.h"
#include "core/platform/sound_player.h"

namespace tovalo::ui {

// The host facilities the screens use. The desktop ones in production,
// recording doubles in tests.
struct Services {
    platform::SettingsStore& settings;
    platform::MessageBoxes& messages;
    platform::SoundPlayer& sound;
    platform::Shell& shell;
    platform::Clock& clock;
    platform::DriveLister& drives;
    platform::FileAttributes& files;
    platform::BundleLoader& bundles;
    // Where the network requests go; null: the desktop's own sockets.
    net::Connector* connector = nullptr;
};

// What the screens share for the life of the program. The application owns
// it and hands it to every form; no screen keeps a second copy.
class Session {
  public:
    // `programDir` is the directory of the program file.
    Session(Services services, std::string programDir, app::CommandLine commandLine);

    Services services;
    const std::string programDir;
    const app::CommandLine commandLine;

    app::Directories directories;
    app::Profile profile;
    std::vector<app::Vendor> vendors;
    int currentVendor = 0;  // 1-based; 0 when no vendor is installed

    std::string cgiUrl;
    std::vector<std::string> cdromRoots;
    bool showQuestionNumbers = false;

    // Shared by the full-size screens when they hand over to each other.
    app::WindowState windowState = app::WindowState::Normal;
    app::Bounds courseMenuBounds;

    // Where the learner left the answer window unfolded, kept for the
    // program's life. A height of 0: none above the unfolded minimum saved.
    std::optional<app::Bounds> answerViewBounds;

    // The course catalog of the current vendor and the course being worked on.
    Catalog catalog;
    int CourseIndex = 0;  // 1-based catalog row; 0 until the first exam or sync is started

    // The exam, from the course the category screen opened to the exam the
    // result screen stores.
    ExamSession exam;
    // Every draw of questions and choices; tests replace it with a seeded one.
    RandomSource random = RandomSource::fromClock();

    // Ends the program; the application connects it to its event loop.
    std::function<void()> endProgram;
    // Set once the main window closes: the program is on its way out.
    bool ending = false;

    [[nodiscard]] const app::Vendor* vendor(int number) const;
    [[nodiscard]] std::vector<std::string> vendorFolders() const;
    // The catalog row CourseIndex names, or nullptr.
    [[nodiscard]] const CourseEntry* course() const;
};

}  // namespace tovalo::ui
