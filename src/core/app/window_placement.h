#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/settings_store.h"

namespace tovalo::app {

inline constexpr int kCourseMenuMinWidth = 760;
inline constexpr int kCourseMenuMinHeight = 562;
// What an absent position reads as, so that a stored 0 stays a real 0.
inline constexpr int kAbsentPosition = -999;

// The window-state byte the full-size screens pass to one another, so the
// user sees one window moving through the screens in the same state.
enum class WindowState : std::uint8_t {
    Normal = 0,
    Maximised = 2,
};

// Window bounds, client area, in desktop pixels.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Bounds&) const = default;
};

// What the desktop draws around a window's client area.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The least size a window's layout allows.
struct MinimumSize {
    int width = 1;
    int height = 1;
};

// Where a window asked for at `wanted` goes on a screen whose free area
// (without panels and docks) is `area`: moved no more than it takes to lie
// wholly inside it, frame and all, and shrunk only where it is larger than
// the area, never below `minimum`. A window that still does not fit keeps
// its top left corner, and with it the title bar, inside the area. At 200 %
// a window stored by a 100 % session would otherwise open half off screen,
// and a window that grows where it stands would grow past the bottom.
Bounds fitInside(const Bounds& wanted, const Bounds& area, const FrameMargins& frame = {},
                 const MinimumSize& minimum = {});

// A horizontal position or width of a screen laid out for `designWidth`,
// in a window only `width` wide: unchanged when the window is as wide as the
// design, otherwise shrunk in proportion, so that a row of buttons keeps its
// order and gaps and its last button stays inside the window.
int narrowed(int designed, int width, int designWidth);

struct CourseMenuPlacement {
    Bounds bounds;
    WindowState state = WindowState::Normal;
};

// The course menu's placement from the store. Absent values fall back to a
// 760 × 562 window centred on a desktop of the given size; a "State" of 2 is
// maximised, anything else normal.
CourseMenuPlacement readCourseMenuPlacement(const platform::SettingsStore& store, int desktopWidth,
                                            int desktopHeight);

// The 1-based vendor index to open with, from "DefaultDir" (1 when absent
// or below 1).
int readDefaultVendor(const platform::SettingsStore& store);

struct SettingWrite {
    std::string key;
    std::string value;

    bool operator==(const SettingWrite&) const = default;
};

// What closing the course menu stores, in the order it is written.
std::vector<SettingWrite> courseMenuClosingValues(const Bounds& bounds, WindowState state,
                                                  const std::string& pathValue, int vendorIndex);

void writeAll(platform::SettingsStore& store, const std::vector<SettingWrite>& values);

}  // namespace tovalo::app
