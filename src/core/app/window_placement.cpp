#include "core/app/window_placement.h"

#include <algorithm>

#include "core/app/settings_keys.h"

namespace tovalo::app {

namespace {

int readPosition(const platform::SettingsStore& store, std::string_view key, int fallback) {
    int value = store.readInteger(key, kAbsentPosition);
    return value == kAbsentPosition ? fallback : value;
}

}  // namespace

CourseMenuPlacement readCourseMenuPlacement(const platform::SettingsStore& store, int desktopWidth,
                                            int desktopHeight) {
    CourseMenuPlacement placement;
    placement.bounds.left =
        readPosition(store, settings::kLeft, desktopWidth / 2 - kCourseMenuMinWidth / 2);
    placement.bounds.top =
        readPosition(store, settings::kTop, desktopHeight / 2 - kCourseMenuMinHeight / 2);
    placement.bounds.width = readPosition(store, settings::kWidth, kCourseMenuMinWidth);
    placement.bounds.height = readPosition(store, settings::kHeight, kCourseMenuMinHeight);
    placement.state =
        store.readInteger(settings::kState, 0) == 2 ? WindowState::Maximised : WindowState::Normal;
    return placement;
}

Bounds fitInside(const Bounds& wanted, const Bounds& area, const FrameMargins& frame,
                 const MinimumSize& minimum) {
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    Bounds b = wanted;
    b.width = std::max({1, minimum.width, std::min(b.width, area.width - frameWidth)});
    b.height = std::max({1, minimum.height, std::min(b.height, area.height - frameHeight)});
    // The frame's top left corner, kept inside the area: first off the far
    // edges, then off the near ones, so that a window too big for the area
    // keeps its title bar on screen.
    int outerLeft = b.left - frame.left;
    int outerTop = b.top - frame.top;
    outerLeft = std::min(outerLeft, area.left + area.width - (b.width + frameWidth));
    outerTop = std::min(outerTop, area.top + area.height - (b.height + frameHeight));
    outerLeft = std::max(outerLeft, area.left);
    outerTop = std::max(outerTop, area.top);
    b.left = outerLeft + frame.left;
    b.top = outerTop + frame.top;
    return b;
}

int narrowed(int designed, int width, int designWidth) {
    if (width >= designWidth || designWidth <= 0) {
        return designed;
    }
    return designed * std::max(width, 0) / designWidth;
}

int readDefaultVendor(const platform::SettingsStore& store) {
    int index = store.readInteger(settings::kDefaultDir, 1);
    return index < 1 ? 1 : index;
}

std::vector<SettingWrite> courseMenuClosingValues(const Bounds& bounds, WindowState state,
                                                  const std::string& pathValue, int vendorIndex) {
    return {
        {std::string(settings::kState), state == WindowState::Maximised ? "2" : "1"},
        {std::string(settings::kWidth), std::to_string(bounds.width)},
        {std::string(settings::kHeight), std::to_string(bounds.height)},
        {std::string(settings::kTop), std::to_string(bounds.top)},
        {std::string(settings::kLeft), std::to_string(bounds.left)},
        {std::string(settings::kPath), pathValue},
        {std::string(settings::kDefaultDir), std::to_string(vendorIndex)},
    };
}

void writeAll(platform::SettingsStore& store, const std::vector<SettingWrite>& values) {
    for (const SettingWrite& v : values) {
        store.write(v.key, v.value);
    }
}

}  // namespace tovalo::app
