#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo::app {

// A system-wide installation keeps the programs in <prefix>/bin and a
// read-only sample installation (bin/, QDAT/, HIST/) in <prefix>/share/tovalo.
// Nobody may write there, yet the program writes its pages beside its program
// directory and its history under the root; so every user runs on a folder
// of their own, filled from the sample on first start.

// What the environment says about where a user's data belongs.
struct UserEnvironment {
    std::optional<std::string> xdgDataHome;
    std::optional<std::string> home;
};

// The sample installation of an installed program whose executable lives in
// `executableDir`; `relativeSharedDir` leads from there to it (for example
// "../share/tovalo"). nullopt for a program run from a build tree or from an
// installation of its own, which is its own program directory.
std::optional<std::string> installedSampleRoot(std::string_view executableDir,
                                               std::string_view relativeSharedDir);

// $XDG_DATA_HOME/tovalo/, or ~/.local/share/tovalo/ when XDG_DATA_HOME is
// unset, empty or relative (which the desktop conventions say to ignore).
// Fails when neither says where the home is.
Result<std::string> userFolderPath(const UserEnvironment& env);

// Creates the user's folder, or completes a partial one, from the sample:
// every file the user lacks is copied, every file the user has is kept as it
// is. Ends by proving that the program directory (<user>/bin/) takes new
// files, so that a folder the program cannot use fails here, with its name,
// and not on the learner's first stored exam.
Status prepareUserFolder(const std::string& sampleRoot, const std::string& userRoot);

// The program directory to run on: the executable's own folder when it is
// not installed, otherwise the user's bin/ folder, prepared on the way.
Result<std::string> chooseProgramDir(const std::string& executableDir,
                                     std::string_view relativeSharedDir,
                                     const UserEnvironment& env);

}  // namespace tovalo::app
