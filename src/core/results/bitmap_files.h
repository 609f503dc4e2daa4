#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/results/mono_canvas.h"

namespace tovalo {

// The X bitmap text of a picture, lines ending CR LF: one line of
// "0xHH," items per pixel row, eight pixels an item, the leftmost pixel in
// the least significant bit, a set bit for ink.
std::string xbmBytes(const MonoCanvas& picture);

// The same picture as a 1-bit greyscale PNG (white 1, ink 0). The image
// data is a zlib stream of stored deflate blocks: the pictures are a few
// kilobytes, and a browser reads them as readily as compressed ones.
std::string pngBytes(const MonoCanvas& picture);

// The checksums the PNG format asks for, exposed for their tests.
std::uint32_t crc32(std::string_view bytes);
std::uint32_t adler32(std::string_view bytes);

}  // namespace tovalo
