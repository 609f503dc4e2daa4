#pragma once

#include <string_view>
#include <vector>

namespace tovalo {

// A black-and-white picture for the printed charts. The report has to come
// out the same from the program and from tovalo-tool, which has no
// graphics library, so the few shapes the charts need are drawn here.
// Every shape is clipped to the picture; coordinates are inclusive.
class MonoCanvas {
  public:
    // All white.
    MonoCanvas(int width, int height);

    [[nodiscard]] int width() const { return width_; }
    [[nodiscard]] int height() const { return height_; }
    [[nodiscard]] bool ink(int x, int y) const;

    void set(int x, int y, bool ink = true);
    void line(int x0, int y0, int x1, int y1);
    // Two pixels on, two off, counted from x0, so that a guide line reads
    // as a guide and not as part of the plot.
    void dottedLine(int y, int x0, int x1);
    void rectangle(int left, int top, int right, int bottom);
    // The ellipse inside the box, outlined in black and filled white, so
    // that it covers the lines it sits on.
    void ellipse(int left, int top, int right, int bottom);
    // Text in the built-in font, its cell cleared to white first; returns
    // the width drawn. The font holds what chart labels need: digits, "/",
    // ":", "%" and "分". Other characters advance without ink.
    int text(int x, int y, std::string_view utf8);

  private:
    int width_;
    int height_;
    std::vector<unsigned char> pixels_;  // 1 = ink, row by row
};

// The width `text` takes in the built-in font.
int monoTextWidth(std::string_view utf8);
// The height of a text cell of the built-in font.
inline constexpr int kMonoTextHeight = 12;

}  // namespace tovalo
