#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/results/bitmap_files.h"
#include "core/results/history_chart.h"
#include "core/results/mono_canvas.h"
#include "core/results/printed_chart.h"

using namespace tovalo;

namespace {

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Ink anywhere in the box, edges included.
bool anyInk(const MonoCanvas& c, int left, int top, int right, int bottom) {
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (c.ink(x, y)) {
                return true;
            }
        }
    }
    return false;
}

HistoryChart chartOf(int rateNow, int minutesNow, int limit) {
    HistoryFile h;
    h.exams[0].Month = 7;
    h.exams[0].Day = 30;
    h.exams[0].Rate = 50;
    h.exams[0].Minutes = 30;
    return historyChart(h, {rateNow, minutesNow, {2026, 7, 31, 9, 5}}, limit);
}

}  // namespace

// Eight pixels an item, the leftmost in bit 0, 76 items a row, CR LF after
// every line and a comma after the very last item too.
TEST(BitmapFiles, XbmRowsItemsAndBitOrder) {
    MonoCanvas c(608, 140);
    c.set(0, 0);
    for (int x = 0; x < 8; ++x) {
        c.set(x, 1);
    }
    c.set(9, 2);
    c.set(607, 139);
    const std::string xbm = xbmBytes(c);
    ASSERT_EQ(xbm.substr(xbm.size() - 4), "};\r\n");
    const std::vector<std::string> lines = crlfLines(xbm);
    ASSERT_EQ(lines.size(), 3u + 140u + 1u);
    EXPECT_EQ(lines[0], "#define TEST_width 608");
    EXPECT_EQ(lines[1], "#define TEST_height 140");
    EXPECT_EQ(lines[2], "static char TEST_bits[] = {");
    EXPECT_EQ(lines[3].substr(0, 10), "0x01,0x00,");
    EXPECT_EQ(lines[4].substr(0, 10), "0xFF,0x00,");
    EXPECT_EQ(lines[5].substr(0, 10), "0x00,0x02,");
    for (std::size_t y = 3; y < 3 + 140; ++y) {
        ASSERT_EQ(lines[y].size(), 76u * 5u) << y;
    }
    EXPECT_EQ(lines[6], [] {
        std::string blank;
        for (int j = 0; j < 76; ++j) {
            blank += "0x00,";
        }
        return blank;
    }());
    EXPECT_EQ(lines[142].substr(lines[142].size() - 5), "0x80,");
    EXPECT_EQ(lines[143], "};");
}

// The checksums against their published check values.
TEST(BitmapFiles, Checksums) {
    EXPECT_EQ(crc32("123456789"), 0xCBF43926U);
    EXPECT_EQ(crc32(""), 0U);
    EXPECT_EQ(adler32("Wikipedia"), 0x11E60398U);
    EXPECT_EQ(adler32(""), 1U);
    // Long enough for both sums to wrap their modulus many times (the value
    // from another implementation, Python's zlib).
    EXPECT_EQ(adler32(std::string(100000, '\xFF')), 0x149A302CU);
}

// A dot covers the line it sits on with white and keeps a round outline;
// the text cell is cleared before the glyph is drawn.
TEST(MonoCanvas, EllipsesAndTextCoverWhatIsUnder) {
    MonoCanvas c(40, 30);
    c.line(0, 10, 39, 10);
    c.ellipse(8, 8, 12, 12);
    EXPECT_FALSE(c.ink(10, 10));  // centre
    EXPECT_FALSE(c.ink(9, 10));
    EXPECT_TRUE(c.ink(8, 10));
    EXPECT_TRUE(c.ink(12, 10));
    EXPECT_TRUE(c.ink(10, 8));
    EXPECT_TRUE(c.ink(10, 12));
    EXPECT_FALSE(c.ink(8, 8));  // corners stay out: a dot, not a square
    EXPECT_FALSE(c.ink(12, 12));
    EXPECT_TRUE(c.ink(7, 10));
    EXPECT_TRUE(c.ink(13, 10));

    c.line(20, 0, 20, 29);
    const int w = c.text(18, 2, "0%");
    EXPECT_EQ(w, monoTextWidth("0%"));
    EXPECT_TRUE(anyInk(c, 18, 2, 18 + w - 1, 13));
    // The line through the "0" is gone inside its cell, and stays below it.
    EXPECT_FALSE(c.ink(20, 5));
    EXPECT_TRUE(c.ink(20, 14));
    // Out of the picture is clipped, not wrapped to the next row.
    c.set(40, 0);
    c.set(-1, 1);
    EXPECT_FALSE(c.ink(0, 1));
    EXPECT_FALSE(c.ink(39, 0));
}

// The widest labels fit between their neighbours, and every character a
// label uses has a glyph of its own.
TEST(MonoCanvas, LabelsFitTheirColumns) {
    EXPECT_LE(monoTextWidth("12/31"), 48);
    EXPECT_LE(monoTextWidth("23:59"), 48);
    // A glyph for every character a label uses, each one different.
    std::set<std::string> shapes;
    for (const char* ch : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "/", ":", "%", "分"}) {
        MonoCanvas c(12, kMonoTextHeight);
        c.text(0, 0, ch);
        std::ostringstream shape;
        for (int y = 0; y < kMonoTextHeight; ++y) {
            for (int x = 0; x < 12; ++x) {
                shape << (c.ink(x, y) ? '#' : '.');
            }
        }
        EXPECT_TRUE(anyInk(c, 0, 0, 11, kMonoTextHeight - 1)) << ch;
        EXPECT_TRUE(shapes.insert(shape.str()).second) << ch;
    }
}

// The printed rate chart: border, frame, dotted guides, zeros for the
// empty slots, dots outlined and filled white, the new exam as a ring
// around a dot, the scale on the left.
TEST(PrintedChart, RateChartShapes) {
    const MonoCanvas c = printedChart(chartOf(80, 20, 60), PrintedSeries::Rate);
    ASSERT_EQ(c.width(), 608);
    ASSERT_EQ(c.height(), 140);
    EXPECT_TRUE(c.ink(0, 0) && c.ink(607, 0) && c.ink(0, 139) && c.ink(607, 139));
    EXPECT_FALSE(c.ink(1, 1));
    EXPECT_TRUE(c.ink(300, 10) && c.ink(300, 110) && c.ink(560, 60));
    // Dotted: two on, two off from the frame.
    EXPECT_TRUE(c.ink(298, 50));
    EXPECT_TRUE(c.ink(299, 50));
    EXPECT_FALSE(c.ink(300, 50));
    EXPECT_FALSE(c.ink(301, 50));
    EXPECT_TRUE(c.ink(302, 50));

    // Point 1 is an empty slot: a dot on the zero line, white inside.
    EXPECT_TRUE(c.ink(63, 110) && c.ink(67, 110) && c.ink(65, 108) && c.ink(65, 112));
    EXPECT_FALSE(c.ink(65, 110));
    // Point 9 holds 50; the line rises to it from the zero before.
    EXPECT_TRUE(c.ink(463, 60) && c.ink(467, 60));
    EXPECT_FALSE(c.ink(465, 60));
    EXPECT_TRUE(c.ink(440, 85));
    // The new exam at 80: ring of radius 4, white gap, dot of radius 2.
    EXPECT_TRUE(c.ink(511, 30) && c.ink(519, 30) && c.ink(515, 26) && c.ink(515, 34));
    EXPECT_FALSE(c.ink(512, 30));
    EXPECT_TRUE(c.ink(513, 30) && c.ink(517, 30));
    EXPECT_FALSE(c.ink(515, 30));

    // Scale texts left of the frame, labels under every point.
    EXPECT_TRUE(anyInk(c, 24, 12, 29, 21));
    EXPECT_TRUE(anyInk(c, 24, 100, 29, 111));
    for (int i = 1; i <= 10; ++i) {
        const int x = i < 10 ? 50 * i : 500;
        EXPECT_TRUE(anyInk(c, x, 112, x + 20, 123)) << i;
        EXPECT_TRUE(anyInk(c, x, 126, x + 20, 137)) << i;
    }
}

// Same frame and labels; the time series on its own scale; a course
// without a time limit gets the frame and labels only.
TEST(PrintedChart, TimeChartAndNoTimeLimit) {
    const MonoCanvas timed = printedChart(chartOf(80, 45, 60), PrintedSeries::Time);
    EXPECT_TRUE(timed.ink(511, 72) && timed.ink(519, 72));  // ring at 45 of 60 minutes
    EXPECT_FALSE(timed.ink(515, 72));
    EXPECT_TRUE(timed.ink(463, 85) && timed.ink(467, 85));  // 30 minutes
    EXPECT_FALSE(timed.ink(515, 26));                       // no rate ring here

    const MonoCanvas untimed = printedChart(chartOf(80, 45, 0), PrintedSeries::Time);
    EXPECT_TRUE(untimed.ink(300, 10) && untimed.ink(300, 110));
    EXPECT_TRUE(anyInk(untimed, 500, 112, 520, 123));
    EXPECT_FALSE(anyInk(untimed, 505, 100, 525, 109));
    EXPECT_FALSE(anyInk(untimed, 60, 104, 70, 109));  // nor the zeros of empty slots
    EXPECT_FALSE(anyInk(untimed, 24, 12, 29, 21));    // no scale text
}
