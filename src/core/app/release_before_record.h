#pragma once

#include <optional>
#include <string_view>

namespace tovalo::app {

// The program files of the one release that filled users' folders without
// keeping a record of them (see user_folder.h): for a file of such a folder,
// the SHA-256 it has when the user has not changed it. An empty hash means
// the release shipped the file but its bytes differed from build to build
// (the vendor bundles store their sources' times), so no user's copy can be
// told from the release's and it is taken as unchanged. nullopt for a file
// that release did not ship.
std::optional<std::string_view> shippedBeforeRecord(std::string_view relativePath);

}  // namespace tovalo::app
