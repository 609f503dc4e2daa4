#include "core/views/focus_mark.h"

#include <algorithm>

#include "core/catalog/course_menu_rules.h"

namespace tovalo {

namespace {

double weakestContrast(long ink, std::span<const long> neighbours) {
    double weakest = 21.0;
    for (long c : neighbours) {
        weakest = std::min(weakest, contrastRatio(ink, c));
    }
    return weakest;
}

}  // namespace

long focusInk(std::span<const long> neighbours) {
    return weakestContrast(kFocusInkLight, neighbours) > weakestContrast(kFocusInkDark, neighbours)
               ? kFocusInkLight
               : kFocusInkDark;
}

}  // namespace tovalo
