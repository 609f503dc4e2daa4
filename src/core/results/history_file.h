#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

inline constexpr std::size_t kHistoryFileSize = 1960;
inline constexpr std::size_t kHistoryPathField = 508;

// The bytes of a history file that holds no exam yet. `questionFilePath`
// (UTF-8) is recorded in CP932 for information only, cut at 508 bytes.
std::string emptyHistoryFile(std::string_view questionFilePath);

// Writes an empty history file at `path`, safely (see saveFileAtomically).
Status createEmptyHistoryFile(const std::string& path, std::string_view questionFilePath);

}  // namespace tovalo
