#include "core/styles/panels.h"

#include <cstdlib>

#include "core/text/trim.h"

namespace tovalo {

std::optional<std::vector<PanelItem>> parsePanelList(std::string_view list, bool withIds) {
    std::vector<PanelItem> items;
    std::size_t at = list.find('@');
    while (at != std::string_view::npos) {
        if (items.size() == kMaxPanelItems) {
            return std::nullopt;
        }
        const std::size_t next = list.find('@', at + 1);
        const std::string_view item = list.substr(
            at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
        PanelItem p;
        p.text = std::string(item);
        const auto rect = parsePictureRect(item, withIds ? &p.id : nullptr);
        if (!rect) {
            return std::nullopt;
        }
        p.rect = *rect;
        items.push_back(std::move(p));
        at = next;
    }
    return items;
}

PanelBoard::PanelBoard(std::vector<PanelItem> destinations, std::vector<PanelItem> pieces,
                       bool withIds)
    : destinations_(std::move(destinations)),
      pieces_(std::move(pieces)),
      withIds_(withIds),
      held_(destinations_.size(), 0) {
    for (const PanelItem& p : pieces_) {
        places_.push_back({p.rect.x1, p.rect.y1});
    }
}

void PanelBoard::leaveSlots(int k) {
    for (int& h : held_) {
        if (h == k) {
            h = 0;
        }
    }
}

void PanelBoard::press(int k, int x, int y) {
    if (k < 1 || k > static_cast<int>(pieces_.size())) {
        return;
    }
    dragged_ = k;
    leaveSlots(k);
    pressX_ = x;
    pressY_ = y;
}

void PanelBoard::move(int x, int y) {
    if (dragged_ == 0) {
        return;
    }
    PiecePlace& p = places_[dragged_ - 1];
    p.left += x - pressX_;
    p.top += y - pressY_;
}

void PanelBoard::release() {
    if (dragged_ == 0) {
        return;
    }
    const int k = dragged_;
    dragged_ = 0;
    PiecePlace& p = places_[k - 1];
    for (std::size_t j = 0; j < destinations_.size(); ++j) {
        const PictureRect& slot = destinations_[j].rect;
        if (held_[j] == 0 && std::abs(slot.x1 - p.left) < kSnapX &&
            std::abs(slot.y1 - p.top) < kSnapY) {
            p = {slot.x1, slot.y1};
            held_[j] = k;
            return;
        }
    }
    const PictureRect& start = pieces_[k - 1].rect;
    p = {start.x1, start.y1};
    leaveSlots(k);
}

void PanelBoard::drag(int k, int left, int top) {
    if (k < 1 || k > static_cast<int>(pieces_.size())) {
        return;
    }
    const PiecePlace from = places_[k - 1];
    press(k, 0, 0);
    move(left - from.left, top - from.top);
    release();
}

std::string PanelBoard::answerString() const {
    std::string answer;
    for (std::size_t j = 0; j < destinations_.size(); ++j) {
        const int k = held_[j];
        const bool filled = k != 0 && !text::trim(key(pieces_[k - 1])).empty();
        if (filled) {
            answer += "@" + key(destinations_[j]) + ";" + key(pieces_[k - 1]);
        } else if (withIds_) {
            answer += "@" + key(destinations_[j]) + ";";
        }
    }
    return answer;
}

bool PanelBoard::solved(std::string_view expected) const {
    return text::trim(answerString()) == text::trim(expected);
}

std::vector<PiecePlace> PanelBoard::viewPlaces(const std::vector<PanelItem>& destinations,
                                               const std::vector<PanelItem>& pieces, bool withIds,
                                               std::string_view expected) {
    std::vector<PiecePlace> places;
    for (const PanelItem& p : pieces) {
        places.push_back({p.rect.x1, p.rect.y1});
    }
    std::vector<bool> placed(pieces.size(), false);
    for (const PanelItem& slot : destinations) {
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const std::string& slotKey = withIds ? slot.id : slot.text;
            const std::string& pieceKey = withIds ? pieces[k].id : pieces[k].text;
            if (expected.find("@" + slotKey + ";" + pieceKey) == std::string_view::npos) {
                continue;
            }
            if (withIds) {
                // Interchangeable pieces share an id: each slot takes the
                // first of them that no earlier slot took.
                if (placed[k]) {
                    continue;
                }
                placed[k] = true;
                places[k] = {slot.rect.x1, slot.rect.y1};
                break;
            }
            // The same piece named for several slots ends on the last.
            places[k] = {slot.rect.x1, slot.rect.y1};
        }
    }
    return places;
}

}  // namespace tovalo
