#include "core/results/bitmap_files.h"

#include <algorithm>
#include <array>

namespace tovalo {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
// The largest block of raw bytes one stored deflate block can carry.
constexpr std::size_t kStoredBlockMax = 65535;

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

void putBigEndian(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((v >> shift) & 0xFF);
    }
}

void putLittleEndian16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void putChunk(std::string& out, std::string_view type, std::string_view data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::string typed(type);
    typed += data;
    out += typed;
    putBigEndian(out, crc32(typed));
}

}  // namespace

std::uint32_t crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t c = 0xFFFFFFFFU;
    for (char b : bytes) {
        c = table[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFU;
}

std::uint32_t adler32(std::string_view bytes) {
    constexpr std::uint32_t kMod = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (char c : bytes) {
        a = (a + static_cast<unsigned char>(c)) % kMod;
        b = (b + a) % kMod;
    }
    return (b << 16) | a;
}

std::string xbmBytes(const MonoCanvas& picture) {
    const int items = (picture.width() + 7) / 8;
    std::string out = "#define TEST_width " + std::to_string(picture.width()) + "\r\n" +
                      "#define TEST_height " + std::to_string(picture.height()) + "\r\n" +
                      "static char TEST_bits[] = {\r\n";
    out.reserve(out.size() + static_cast<std::size_t>(picture.height()) * (items * 5 + 2) + 4);
    for (int y = 0; y < picture.height(); ++y) {
        for (int j = 0; j < items; ++j) {
            unsigned byte = 0;
            for (int k = 0; k < 8; ++k) {
                if (picture.ink(8 * j + k, y)) {
                    byte |= 1U << k;
                }
            }
            out += "0x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
            out += ',';
        }
        out += "\r\n";
    }
    out += "};\r\n";
    return out;
}

std::string pngBytes(const MonoCanvas& picture) {
    const int rowBytes = (picture.width() + 7) / 8;
    std::string raw;
    raw.reserve(static_cast<std::size_t>(picture.height()) * (rowBytes + 1));
    for (int y = 0; y < picture.height(); ++y) {
        raw += '\0';  // filter: none
        for (int j = 0; j < rowBytes; ++j) {
            unsigned byte = 0;
            for (int k = 0; k < 8; ++k) {
                const int x = 8 * j + k;
                if (x < picture.width() && !picture.ink(x, y)) {
                    byte |= 0x80U >> k;
                }
            }
            raw += static_cast<char>(byte);
        }
    }

    std::string zlib = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(kStoredBlockMax, raw.size() - at);
        const bool last = at + n == raw.size();
        zlib += static_cast<char>(last ? 1 : 0);
        putLittleEndian16(zlib, static_cast<std::uint32_t>(n));
        putLittleEndian16(zlib, static_cast<std::uint32_t>(~n & 0xFFFF));
        zlib.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    putBigEndian(zlib, adler32(raw));

    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(picture.width()));
    putBigEndian(header, static_cast<std::uint32_t>(picture.height()));
    header += '\x01';  // bit depth
    header += '\x00';  // greyscale
    header += '\x00';  // deflate
    header += '\x00';  // adaptive filtering, every row "none"
    header += '\x00';  // not interlaced

    std::string out = "\x89PNG\r\n\x1a\n";
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace tovalo
