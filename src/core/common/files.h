#pragma once

#include <optional>
#include <string>

#include "core/common/result.h"

namespace tovalo {

// The message the desktop runtime gives for a file that cannot be opened;
// screens show it unchanged.
inline constexpr const char* kFileNotFound = "ファイルが見つかりません";

// Reads a whole file into memory. Fails with kFileNotFound naming the file.
Result<std::string> readWholeFile(const std::string& path);

// Reads a file that may legitimately not exist yet: nullopt when there is no
// such file, its bytes when it can be read, and an error naming it for every
// other failure (no permission, an I/O error, a folder in its place). Files
// that hold the learner's data are read this way, because a file that
// exists but could not be read must never be taken for an empty one and
// then saved over.
Result<std::optional<std::string>> readFileIfPresent(const std::string& path);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);

}  // namespace tovalo
