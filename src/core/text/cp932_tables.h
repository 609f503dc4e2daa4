#pragma once

// The decoding tables behind cp932.h, for the decoders in this folder that
// change bytes on the way in (scramble.h) and so cannot hand them to
// cp932ToUtf8 unchanged without copying them first.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace tovalo::text::cp932 {

// A decoded character as its UTF-8 bytes, first byte lowest, with their
// count in the top byte; a count of 0 means undefined.
using Utf8Char = std::uint32_t;
inline constexpr Utf8Char kUndefined = 0;
// In the table of first bytes: a lead byte, with its row's offset in `pairs`
// in the low bits.
inline constexpr Utf8Char kLead = 0xFFu << 24;

struct DecodeTables {
    std::array<Utf8Char, 256> first;  // a byte standing alone, or kLead + row offset
    std::vector<Utf8Char> pairs;      // rows of 256, by trail byte
    bool available = false;           // iconv knows CP932
};

// Filled from iconv at the first call in the process.
const DecodeTables& decodeTables();

// Writes `c` at `out`, and up to one byte past it that the next character
// overwrites; returns the end of the character.
inline char* putUtf8Char(char* out, Utf8Char c) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &c, 4);
    } else {
        out[0] = static_cast<char>(c);
        out[1] = static_cast<char>(c >> 8);
        out[2] = static_cast<char>(c >> 16);
    }
    return out + (c >> 24);
}

// Room for the UTF-8 of `n` CP932 bytes: none of them makes more than three
// bytes, and putUtf8Char writes one past the character. Short text, as most
// fields are, stays on the stack.
class DecodeBuffer {
  public:
    explicit DecodeBuffer(std::size_t n)
        : data_(n * 3 + 1 <= sizeof small_
                    ? small_
                    : (large_ = std::make_unique_for_overwrite<char[]>(n * 3 + 1)).get()) {}
    DecodeBuffer(const DecodeBuffer&) = delete;
    DecodeBuffer& operator=(const DecodeBuffer&) = delete;

    [[nodiscard]] char* data() const { return data_; }

  private:
    char small_[1024];
    std::unique_ptr<char[]> large_;
    char* data_;
};

}  // namespace tovalo::text::cp932
