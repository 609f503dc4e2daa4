#pragma once

#include <memory>
#include <span>
#include <string>

#include "core/common/result.h"
#include "server/store/schema.h"
#include "server/store/store.h"

namespace tovalo::server::store {

// openSqliteStore with `steps` in place of this release's migrations: how
// tests play a release before or after this one against the same file.
Result<std::unique_ptr<Store>> openSqliteStore(const std::string& path,
                                               std::span<const Migration> steps);

}  // namespace tovalo::server::store
