#pragma once

#include <span>
#include <string_view>

namespace tovalo::app {

// Tooltips that start-up gives the image buttons of the screens. `form` is
// the screen's class name and `control` the object name its button carries;
// a screen that does not (yet) have the control simply gets no tooltip.
struct StartupTooltip {
    std::string_view form;
    std::string_view control;
    std::string_view text;
};

std::span<const StartupTooltip> startupTooltips();

// The tooltip of one control; empty when the table has none.
std::string_view startupTooltip(std::string_view form, std::string_view control);

}  // namespace tovalo::app
