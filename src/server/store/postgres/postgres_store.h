#pragma once

#include <memory>
#include <span>
#include <string>

#include "core/common/result.h"
#include "server/store/schema.h"
#include "server/store/store.h"

namespace tovalo::server::store {

// openPostgresStore with `steps` in place of this release's migrations: how
// tests play a release before or after this one against the same database.
Result<std::unique_ptr<Store>> openPostgresStore(const std::string& url,
                                                 std::span<const Migration> steps);

}  // namespace tovalo::server::store
