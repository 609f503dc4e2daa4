#pragma once

namespace tovalo {

// numerator / denominator rounded half to even, as the count and time rules
// and the history chart round, exactly: 15 × 11 / 22 is 7.5 and gives 8,
// where the same sum in floating point lands a hair below the half and
// gives 7. The denominator is positive.
long long roundHalfEven(long long numerator, long long denominator);

}  // namespace tovalo
