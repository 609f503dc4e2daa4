#pragma once

#include <string>
#include <vector>

#include "server/service/learner_keys.h"
#include "server/store/store.h"

namespace tovalo::server::admin {

// `tovalo-server admin ...` after the options: the store and the hasher are
// the server's own. Returns the process's exit code; prints results on
// standard output and failures on standard error.
int run(const std::vector<std::string>& args, store::Store& store,
        const service::SerialHasher& hasher);

}  // namespace tovalo::server::admin
