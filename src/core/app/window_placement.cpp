#include "core/app/window_placement.h"

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
