#pragma once

#include <array>
#include <string>

namespace tovalo {

// What the result screen shows and where, decided without a window. All
// places are pixels in the window's client area.

inline constexpr int kResultDesignWidth = 760;
inline constexpr int kResultDesignHeight = 569;
inline constexpr int kResultMinWidth = 760;
inline constexpr int kResultMinHeight = 562;
// The result sound waits until the screen has been drawn.
inline constexpr int kResultSoundDelayMs = 300;

inline constexpr int kResultSideWidth = 150;
inline constexpr int kResultBarHeight = 48;
inline constexpr int kResultGridLeft = 158;
inline constexpr int kResultGridTop = 30;
inline constexpr std::array<int, 4> kResultGridColumns{36, 65, 64, 38};
inline constexpr int kResultGridRowHeight = 17;
// The columns, the frame and room for the vertical scroll bar, which a
// long exam needs and a short one should not shift the pane for.
inline constexpr int kResultGridWidth = 36 + 65 + 64 + 38 + 2 + 16;
inline constexpr int kResultChartWidth = 601;
inline constexpr int kResultChartHeight = 140;

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

struct ResultLayout {
    ScreenRect grid;
    ScreenRect pane;     // the white review pane right of the grid
    ScreenRect memo;     // in the pane, text courses
    ScreenRect browser;  // in the pane, HTML courses
    ScreenRect chart;
    int chartTitleTop = 0;
    ScreenRect bar;  // bottom bar, right of the side column
    int buttonTop = 0;
    int backLeft = 0;   // Button3
    int exitLeft = 0;   // Button1
    int printLeft = 0;  // Button8
    // The lower strip picture of the side column sits on the bottom edge.
    int lowerStripTop = 0;
};

// The places for a client area of `width` × `height`, with the back and
// exit buttons as wide as their pictures.
ResultLayout resultLayout(int width, int height, int backWidth, int exitWidth,
                          int lowerStripHeight);

// A press this close below the grid's top edge lands on its heading row,
// which asks for the verdict again.
bool inGridHeadingBand(int pixelsBelowGridTop);

// The verdict text for a rate, from the course's five level texts.
const std::string& verdictText(const std::array<std::string, 5>& levelTexts, int examRate);

inline constexpr const char* kResultInstruction =
    "下の表をクリックすると、該当問題の解説が右側に表示されます。";
// The labels over the grid's heading row, and the row's own cells under them.
inline constexpr std::array<const char*, 4> kResultGridHeadings{"No", "解答", "正解", "正誤"};
inline constexpr std::array<const char*, 4> kResultGridRow0{"No.", "解答", "正解", "正誤"};
inline constexpr const char* kResultPageName = "result.htm";

}  // namespace tovalo
