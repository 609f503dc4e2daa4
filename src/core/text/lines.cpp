#include "core/text/lines.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tovalo::text {

std::vector<std::string_view> splitLines(std::string_view contents) {
    // A question file has tens of thousands of short lines, so finding the
    // line ends is most of the work: sixteen bytes at a time where the
    // processor allows. The list is sized for lines of eight bytes on
    // average, once; it lives only while the file is read.
    std::vector<std::string_view> lines;
    lines.reserve(contents.size() / 8 + 1);
    const char* const data = contents.data();
    const std::size_t n = contents.size();
    std::size_t start = 0;
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        for (auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))); m != 0;
             m &= m - 1) {
            const std::size_t end = i + static_cast<std::size_t>(std::countr_zero(m));
            const std::size_t cut = end != start && data[end - 1] == '\r' ? end - 1 : end;
            lines.emplace_back(data + start, cut - start);
            start = end + 1;
        }
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == '\n') {
            const std::size_t cut = i != start && data[i - 1] == '\r' ? i - 1 : i;
            lines.emplace_back(data + start, cut - start);
            start = i + 1;
        }
    }
    if (start < n) {
        lines.emplace_back(data + start, n - start);
    }
    return lines;
}

}  // namespace tovalo::text
