#pragma once

#include <QPixmap>

#include "core/catalog/course_menu_rules.h"

namespace tovalo::ui {

// The piece of a vendor's level strip (four 129 × 42 segments side by side)
// that shows `level` 1..4; a null picture for no level or no strip.
inline QPixmap levelStripSegment(const QPixmap& strip, int level) {
    if (level < 1 || level > 4 || strip.isNull()) {
        return {};
    }
    return strip.copy((level - 1) * kLevelSegmentWidth, 0, kLevelSegmentWidth, kLevelSegmentHeight);
}

}  // namespace tovalo::ui
