#pragma once

#include <array>
#include <vector>

#include "core/styles/picture_rect.h"

namespace tovalo {

// One numbered mark on the picture of a graphic or click-picture question.
struct ZoneMark {
    bool placed = false;
    int x = 0, y = 0;
};

// The zones of a graphic (or click-picture) question and the learner's
// marks on its picture. There are as many marks as zones, so a learner
// cannot cover the picture with marks until something lands in every zone.
class MarkBoard {
  public:
    static constexpr int kMaxZones = 5;

    MarkBoard() = default;
    explicit MarkBoard(std::vector<PictureRect> zones);

    [[nodiscard]] const std::vector<PictureRect>& zones() const { return zones_; }
    [[nodiscard]] int markLimit() const { return static_cast<int>(zones_.size()); }
    // Mark k, 1..markLimit().
    [[nodiscard]] const ZoneMark& mark(int k) const { return marks_[k - 1]; }
    [[nodiscard]] int placedCount() const;

    // A press on the picture at (x, y): the lowest free mark is placed
    // there. Returns its number, or 0 when every mark is already placed.
    int press(int x, int y);
    // The right button on mark k takes it off; false when it was not placed.
    bool unmark(int k);
    // Takes off the mark placed most recently that is still placed; its
    // number, or 0 when none is placed.
    int removeLatest();
    void clear();

    // Every zone holds at least one placed mark strictly inside it.
    [[nodiscard]] bool solved() const;

  private:
    std::vector<PictureRect> zones_;
    std::array<ZoneMark, kMaxZones> marks_{};
    // Placed marks, oldest first, so an undo takes the latest.
    std::vector<int> placedOrder_;
};

}  // namespace tovalo
