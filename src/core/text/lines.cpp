#include "core/text/lines.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tovalo::text {

std::vector<std::string_view> splitLines(std::string_view contents) {
    // The list is sized for lines of eight bytes on average, once; it lives
    // only while the file is read.
    std::vector<std::string_view> lines;
    lines.reserve(contents.size() / 8 + 1);
    for (LineCursor c(contents); !c.atEnd(); c.next()) {
        lines.push_back(c.line());
    }
    return lines;
}

// A question file has tens of thousands of short lines, so finding the line
// ends is much of the work of reading one: sixty-four bytes are looked at
// together, sixteen at a time where the processor allows, and the lines in
// them are then taken from the bits without looking at the bytes again.
std::uint64_t LineCursor::lineEndsIn(const char* data, std::size_t size, std::size_t base) {
    const char* const p = data + base;
    std::uint64_t ends = 0;
    if (base + 64 <= size) {
#ifdef __SSE2__
        const __m128i lf = _mm_set1_epi8('\n');
        for (int i = 0; i < 4; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            const auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
            ends |= static_cast<std::uint64_t>(m) << (16 * i);
        }
        return ends;
#endif
    }
    const std::size_t n = base < size ? std::min<std::size_t>(64, size - base) : 0;
    for (std::size_t i = 0; i < n; ++i) {
        ends |= static_cast<std::uint64_t>(p[i] == '\n') << i;
    }
    return ends;
}

}  // namespace tovalo::text
