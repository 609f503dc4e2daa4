#include "core/results/mono_canvas.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace tovalo {

namespace {

// One character of the chart font: rows from the top of the text cell,
// '#' for ink. Digits are 5 × 9 below a two-row gap, like the figures of
// a 12-pixel screen face, so that labels line up with the screen chart's.
struct Glyph {
    char32_t code;
    int advance;
    int top;
    std::array<const char*, 11> rows;
};

// clang-format off
constexpr std::array<Glyph, 15> kGlyphs{{
    {U'0', 6, 2, {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {U'1', 6, 2, {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {U'2', 6, 2, {".###.", "#...#", "....#", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {U'3', 6, 2, {".###.", "#...#", "....#", "....#", "..##.", "....#", "....#", "#...#", ".###."}},
    {U'4', 6, 2, {"...#.", "..##.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#.", "...#."}},
    {U'5', 6, 2, {"#####", "#....", "#....", "####.", "....#", "....#", "....#", "#...#", ".###."}},
    {U'6', 6, 2, {"..##.", ".#...", "#....", "####.", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {U'7', 6, 2, {"#####", "....#", "....#", "...#.", "...#.", "..#..", "..#..", "..#..", "..#.."}},
    {U'8', 6, 2, {".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {U'9', 6, 2, {".###.", "#...#", "#...#", "#...#", ".####", "....#", "....#", "...#.", ".##.."}},
    {U'/', 6, 2, {"....#", "....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#....", "#...."}},
    {U':', 3, 2, {".", ".", "#", "#", ".", ".", "#", "#", "."}},
    {U'%', 8, 2, {".#....#", "#.#..#.", ".#..#..", "....#..", "...#...", "..#....", "..#..#.", ".#..#.#", "#....#."}},
    {U'分', 12, 0, {"....#.#....", "...#...#...", "..#.....#..", ".#.......#.", "#.#######.#",
                   "....#...#..", "....#...#..", "...#....#..", "..#.....#..", ".#......#..",
                   "#.....###.."}},
    {U' ', 4, 0, {}},
}};
// clang-format on

constexpr int kUnknownAdvance = 6;

// The code points of a UTF-8 text; broken bytes count as one character each.
template <typename Visit>
void forEachCodePoint(std::string_view s, Visit visit) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        std::size_t k = 1;
        for (; k <= static_cast<std::size_t>(extra) && i + k < s.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        visit(c);
        i += k;
    }
}

const Glyph* glyphOf(char32_t c) {
    for (const Glyph& g : kGlyphs) {
        if (g.code == c) {
            return &g;
        }
    }
    return nullptr;
}

}  // namespace

MonoCanvas::MonoCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

bool MonoCanvas::ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return false;
    }
    return pixels_[static_cast<std::size_t>(y) * width_ + x] != 0;
}

void MonoCanvas::set(int x, int y, bool ink) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<std::size_t>(y) * width_ + x] = ink ? 1 : 0;
}

void MonoCanvas::line(int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        set(x0, y0);
        if (x0 == x1 && y0 == y1) {
            return;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void MonoCanvas::dottedLine(int y, int x0, int x1) {
    for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) {
        if ((x - x0) % 4 < 2) {
            set(x, y);
        }
    }
}

void MonoCanvas::rectangle(int left, int top, int right, int bottom) {
    line(left, top, right, top);
    line(left, bottom, right, bottom);
    line(left, top, left, bottom);
    line(right, top, right, bottom);
}

void MonoCanvas::ellipse(int left, int top, int right, int bottom) {
    const double cx = (left + right) / 2.0;
    const double cy = (bottom + top) / 2.0;
    // Radii grown by half a pixel and measured to pixel centres, so that a
    // five-pixel box gives a round dot and not a diamond.
    const double rx = (right - left) / 2.0 + 0.5;
    const double ry = (bottom - top) / 2.0 + 0.5;
    const auto inside = [&](int x, int y) {
        const double a = (x - cx) / rx;
        const double b = (y - cy) / ry;
        return a * a + b * b <= 1.0;
    };
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (!inside(x, y)) {
                continue;
            }
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            set(x, y, edge);
        }
    }
}

int MonoCanvas::text(int x, int y, std::string_view utf8) {
    int pen = x;
    forEachCodePoint(utf8, [&](char32_t c) {
        const Glyph* g = glyphOf(c);
        const int advance = g != nullptr ? g->advance : kUnknownAdvance;
        for (int row = 0; row < kMonoTextHeight; ++row) {
            for (int col = 0; col < advance; ++col) {
                set(pen + col, y + row, false);
            }
        }
        if (g != nullptr) {
            for (int row = 0; row < static_cast<int>(g->rows.size()); ++row) {
                const char* bits = g->rows[static_cast<std::size_t>(row)];
                for (int col = 0; bits != nullptr && bits[col] != '\0'; ++col) {
                    if (bits[col] == '#') {
                        set(pen + col, y + g->top + row);
                    }
                }
            }
        }
        pen += advance;
    });
    return pen - x;
}

int monoTextWidth(std::string_view utf8) {
    int width = 0;
    forEachCodePoint(utf8, [&](char32_t c) {
        const Glyph* g = glyphOf(c);
        width += g != nullptr ? g->advance : kUnknownAdvance;
    });
    return width;
}

}  // namespace tovalo
