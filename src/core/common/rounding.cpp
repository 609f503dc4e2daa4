#include "core/common/rounding.h"

namespace tovalo {

long long roundHalfEven(long long numerator, long long denominator) {
    long long q = numerator / denominator;
    long long r = numerator % denominator;
    // Division truncates toward zero; make the remainder non-negative so
    // that q is the floor.
    if (r < 0) {
        r += denominator;
        q -= 1;
    }
    const long long twice = 2 * r;
    if (twice > denominator || (twice == denominator && q % 2 != 0)) {
        q += 1;
    }
    return q;
}

}  // namespace tovalo
