#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

// Replaces the file at `path` with `bytes` so that a crash or a full disk at
// any moment leaves either the old file or the new one, whole: the bytes go
// to a temporary file in the same folder that takes the old file's
// permission bits (and, for root, its owner and group), every write and the
// flush are checked, the file is synced, renamed over the old one, and the
// folder is synced. On failure the error names `path`; a failure before the
// rename leaves the old file untouched. A folder that cannot be synced is
// reported too: the new file is in place, but a power cut could still undo it.
// Generated pages are rewritten on every question and rebuilt at will, so
// they skip the syncs and keep only the all-or-nothing rename.
enum class Durability { Synced, Replaceable };

// Runs on the written temporary file, named by its path, before it takes
// the place of the old one: what must be true of the file from the moment
// it appears under its name (its times, for one) is made true here. A
// failure ends the save like a failed write.
using BeforeRename = std::function<Status(const std::string& tempPath)>;

Status saveFileAtomically(const std::string& path, std::string_view bytes,
                          Durability durability = Durability::Synced,
                          const BeforeRename& beforeRename = {});

// True when a save failed because the disk had no room left, which the
// user can fix and is told so in words of its own.
bool failedForFullDisk(const Error& error);

// Gives the file at `from` the name `to` (replacing what had it) and syncs
// the folder, so that the new name survives a power cut. Both must be in
// the same folder. On failure the error names `to` and nothing moved.
Status renameDurably(const std::string& from, const std::string& to);

// Temporary files that saveFileAtomically leaves behind only when the
// process dies mid-save carry this marker in their name, followed by the
// saving process's id, "-" and a random number.
inline constexpr std::string_view kSaveTempMarker = ".tovalo-save-";

// Removes the temporary files crashed saves left in `dir` and in the
// folders below it down to `depth` levels (0: `dir` alone; links to
// folders are not followed); returns how many. A save still under way, in
// this process or in another running one, keeps its file.
int removeLeftoverSaveFiles(const std::string& dir, int depth = 0);
// The same for `dir` and every folder below it.
int removeLeftoverSaveFilesUnder(const std::string& dir);

// The points a save passes, for tests that stop it there.
enum class SaveStep { Created, Written, Synced, Closed, Renamed, FolderSynced };

// What a test makes happen at a step: nothing, the process dying there
// (the save stops at once and cleans nothing up), the disk refusing the
// bytes (the write fails with "no space left"), or the device failing the
// folder sync (an input/output error).
enum class SaveFault { None, Crash, DiskFull, IoError };

// Installs a hook asked at every step of every save; nullptr removes it.
void setSaveFaultHookForTesting(SaveFault (*hook)(SaveStep));

}  // namespace tovalo
