#include "core/styles/zones.h"

#include <algorithm>

namespace tovalo {

MarkBoard::MarkBoard(std::vector<PictureRect> zones) : zones_(std::move(zones)) {
    if (zones_.size() > kMaxZones) {
        zones_.resize(kMaxZones);
    }
}

int MarkBoard::placedCount() const {
    return static_cast<int>(placedOrder_.size());
}

int MarkBoard::press(int x, int y) {
    for (int k = 1; k <= markLimit(); ++k) {
        ZoneMark& m = marks_[k - 1];
        if (!m.placed) {
            m = {true, x, y};
            placedOrder_.push_back(k);
            return k;
        }
    }
    return 0;
}

bool MarkBoard::unmark(int k) {
    if (k < 1 || k > markLimit() || !marks_[k - 1].placed) {
        return false;
    }
    marks_[k - 1] = {};
    std::erase(placedOrder_, k);
    return true;
}

int MarkBoard::removeLatest() {
    if (placedOrder_.empty()) {
        return 0;
    }
    const int k = placedOrder_.back();
    unmark(k);
    return k;
}

void MarkBoard::clear() {
    marks_.fill({});
    placedOrder_.clear();
}

bool MarkBoard::solved() const {
    // Only placed marks count: a free mark rests at (0, 0), which a zone
    // touching the picture's corner must not mistake for an answer.
    return std::all_of(zones_.begin(), zones_.end(), [this](const PictureRect& zone) {
        return std::any_of(marks_.begin(), marks_.begin() + markLimit(), [&](const ZoneMark& m) {
            return m.placed && zone.strictlyContains(m.x, m.y);
        });
    });
}

}  // namespace tovalo
