#pragma once

#include <string>

#include "core/common/result.h"

namespace tovalo {

// The message the desktop runtime gives for a file that cannot be opened;
// screens show it unchanged.
inline constexpr const char* kFileNotFound = "ファイルが見つかりません";

// Reads a whole file into memory. Fails with kFileNotFound naming the file.
Result<std::string> readWholeFile(const std::string& path);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);

}  // namespace tovalo
