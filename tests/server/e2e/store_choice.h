#pragma once

// The store the end-to-end tests run on. TOVALO_TEST_DB=postgresql gives
// every data folder a fresh database of the executable's throwaway cluster;
// otherwise each folder keeps its own SQLite file, as a lone server does.

#include <memory>
#include <string>

#include "core/common/result.h"
#include "server/store/store.h"

namespace e2e {

[[nodiscard]] bool onPostgres();

// The store the servers of `dataDir` use, opened by the test itself.
tovalo::Result<std::unique_ptr<tovalo::server::store::Store>> openStoreOf(
    const std::string& dataDir);

// Makes `backup` (what `admin backup` wrote) the store of the empty folder
// `dataDir`, as the staff would restore it; false when that failed.
[[nodiscard]] bool restoreBackup(const std::string& backup, const std::string& dataDir);

}  // namespace e2e
