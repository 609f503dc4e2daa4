#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

namespace tovalo::app {

// A system-wide installation keeps the programs in <prefix>/bin and a
// read-only sample installation (bin/, QDAT/, HIST/) in
// <prefix>/share/tovalo/sample. Nobody may write there, yet the program
// writes its pages beside its program directory and its history under the
// root; so every user runs on a folder of their own, filled from the sample
// on first start. For a per-user prefix (~/.local) that folder,
// ~/.local/share/tovalo, holds the sample's folder beside its own bin/,
// QDAT/ and HIST/, which is why the sample sits one level down.

// In the sample: the release it belongs to, one line.
inline constexpr const char* kSampleReleaseFile = "VERSION";
// In the user's folder: the release its program files were last brought to
// and the SHA-256 of every file of the sample's bin/ as copied then, one
// "<hash>  bin/<name>" line each (sha256sum's layout, so that
// `sha256sum -c` run in the folder lists what the user has changed).
inline constexpr const char* kProgramFilesRecord = ".tovalo-program-files";
// A new release's copy of a program file the user has changed goes beside
// it under the file's name with this ending.
inline constexpr const char* kNewReleaseSuffix = ".tovalo-new";

// What the environment says about where a user's data belongs.
struct UserEnvironment {
    std::optional<std::string> xdgDataHome;
    std::optional<std::string> home;
};

// The sample installation of an installed program whose executable lives in
// `executableDir`; `relativeSharedDir` leads from there to it (for example
// "../share/tovalo/sample"). nullopt for a program run from a build tree or
// from an installation of its own, which is its own program directory.
std::optional<std::string> installedSampleRoot(std::string_view executableDir,
                                               std::string_view relativeSharedDir);

// $XDG_DATA_HOME/tovalo/, or ~/.local/share/tovalo/ when XDG_DATA_HOME is
// unset, empty or relative (which the desktop conventions say to ignore).
// Fails when neither says where the home is.
Result<std::string> userFolderPath(const UserEnvironment& env);

// Creates the user's folder, or completes a partial one, from the sample:
// every file the user lacks is copied. When the sample's release differs
// from the one the folder's record names (or there is no record yet), the
// program files (the sample's bin/) are brought to the new release the
// way Debian treats configuration files: a file still as the earlier
// release shipped it is replaced; one the user has changed is kept and the
// new release's copy written beside it (kNewReleaseSuffix). Question files
// and history are the user's: they are only ever added, never replaced.
// Ends by proving that the program directory (<user>/bin/) takes new
// files, so that a folder the program cannot use fails here, with its name,
// and not on the learner's first stored exam.
// Gives one line for every file kept with the new copy beside it.
Result<std::vector<std::string>> prepareUserFolder(const std::string& sampleRoot,
                                                   const std::string& userRoot);

struct ProgramDirChoice {
    std::string programDir;
    // What prepareUserFolder had to tell; start-up prints it on stderr.
    std::vector<std::string> notices;
};

// The program directory to run on: the executable's own folder when it is
// not installed, otherwise the user's bin/ folder, prepared on the way.
Result<ProgramDirChoice> chooseProgramDir(const std::string& executableDir,
                                          std::string_view relativeSharedDir,
                                          const UserEnvironment& env);

}  // namespace tovalo::app
