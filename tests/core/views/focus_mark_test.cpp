#include <gtest/gtest.h>

#include <vector>

#include "core/catalog/course_menu_rules.h"
#include "core/views/focus_mark.h"

using namespace tovalo;

// Whatever a mark lies on, from black through every hue and grey to white,
// its ink stands out by 3:1; the mid tones, where neither ink does much
// better, are where a fixed light-then-dark pair failed.
TEST(FocusMark, InkStandsOutFromAnyBackground) {
    for (long r = 0; r <= 255; r += 15) {
        for (long g = 0; g <= 255; g += 15) {
            for (long b = 0; b <= 255; b += 15) {
                const long background = (b << 16) | (g << 8) | r;
                const long neighbours[] = {background};
                EXPECT_GE(contrastRatio(focusInk(neighbours), background), kFocusMarkMinContrast)
                    << std::hex << background;
            }
        }
    }
}

// Next to several colours (the shades of a picture button's face) the ink
// is chosen for the one it stands out from least.
TEST(FocusMark, InkChosenForTheLeastDifferentNeighbour) {
    struct Case {
        const char* what;
        std::vector<long> neighbours;
        long ink;
    };
    const Case cases[] = {
        {"pale panel", {0xFAF7F6}, kFocusInkDark},
        {"exam bar", {0x120C08}, kFocusInkLight},
        // A blue face shading from mid to dark: dark ink would vanish on
        // its dark end, light ink stands out from both.
        {"blue button", {0xC08040, 0x803010}, kFocusInkLight},
        // Light grey to mid grey: light ink would vanish on the light end.
        {"grey button", {0xE0E0E0, 0x909090}, kFocusInkDark},
        {"nothing next to it", {}, kFocusInkDark},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(focusInk(c.neighbours), c.ink) << c.what;
    }
}
