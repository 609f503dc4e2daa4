#pragma once

#include <string>

namespace tovalo::text {

// "m' s", minutes and seconds with integer division toward zero, as the
// clock and the result screen show times ("-1' -5" past a missing limit).
std::string minutesSeconds(int seconds);

}  // namespace tovalo::text
