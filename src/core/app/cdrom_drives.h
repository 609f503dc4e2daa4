#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovalo::app {

// The answer window looks for training documents on at most this many drives.
inline constexpr std::size_t kMaxCdromDrives = 25;

// Mount points of optical media (iso9660 and udf file systems) in a
// /proc/mounts listing, each ending with "/", in listing order.
std::vector<std::string> parseCdromMounts(std::string_view procMounts);

// The drive list kept for the session: the first kMaxCdromDrives roots.
std::vector<std::string> limitCdromDrives(std::vector<std::string> roots);

}  // namespace tovalo::app
