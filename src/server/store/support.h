#pragma once

#include <chrono>
#include <string>

#include "core/common/result.h"

// What every implementation of the store shares, so that callers see the
// same times and the same refusals whichever database is behind it.
namespace tovalo::server::store {

// `t` in UTC as "yyyy-mm-ddTHH:MM:SSZ".
std::string utcTimestamp(std::chrono::system_clock::time_point t);

// The refusals that refusedAsUnknownLearner and refusedAsDisabledLearner
// recognise.
Error unknownLearnerError();
Error disabledLearnerError();

}  // namespace tovalo::server::store
