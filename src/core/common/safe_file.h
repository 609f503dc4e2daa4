#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

// Replaces the file at `path` with `bytes` so that a crash or a full disk at
// any moment leaves either the old file or the new one, whole: the bytes go
// to a temporary file in the same folder, every write and the flush are
// checked, the file is synced, renamed over the old one, and the folder is
// synced. On failure the old file is untouched and the error names `path`.
// Generated pages are rewritten on every question and rebuilt at will, so
// they skip the syncs and keep only the all-or-nothing rename.
enum class Durability { Synced, Replaceable };

Status saveFileAtomically(const std::string& path, std::string_view bytes,
                          Durability durability = Durability::Synced);

// Temporary files that saveFileAtomically leaves behind only when the
// process dies mid-save carry this marker in their name.
inline constexpr std::string_view kSaveTempMarker = ".tovalo-save-";

// Removes the temporary files a crashed save left in `dir`; returns how many.
int removeLeftoverSaveFiles(const std::string& dir);

// The points a save passes, for tests that stop it there.
enum class SaveStep { Created, Written, Synced, Closed, Renamed };

// What a test makes happen at a step: nothing, the process dying there
// (the save stops at once and cleans nothing up), or the disk refusing
// the bytes (the write fails with "no space left").
enum class SaveFault { None, Crash, DiskFull };

// Installs a hook asked at every step of every save; nullptr removes it.
void setSaveFaultHookForTesting(SaveFault (*hook)(SaveStep));

}  // namespace tovalo
