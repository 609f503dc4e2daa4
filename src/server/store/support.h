#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "server/store/store.h"

// What every implementation of the store shares, so that callers see the
// same times and the same refusals whichever database is behind it.
namespace tovalo::server::store {

// `t` in UTC as "yyyy-mm-ddTHH:MM:SSZ".
std::string utcTimestamp(std::chrono::system_clock::time_point t);

// The refusals that refusedAsUnknownLearner and refusedAsDisabledLearner
// recognise.
Error unknownLearnerError();
Error disabledLearnerError();
// The refusal that refusedAsStalePublish recognises.
Error stalePublishError();

// Before a publish takes the write lock: every file must be kept under the
// hash of its own bytes, or the store would serve other content under a
// name that clients trust.
Status checkFileHashes(const std::vector<StoredFile>& files);

}  // namespace tovalo::server::store
