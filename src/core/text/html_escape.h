#pragma once

#include <string>
#include <string_view>

namespace tovalo::text {

// Text from outside the question files (the learner's profile, server
// replies) made safe to place in a generated page: & < > " ' become
// character references.
std::string htmlEscaped(std::string_view s);

}  // namespace tovalo::text
