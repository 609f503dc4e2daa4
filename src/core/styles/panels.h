#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/styles/picture_rect.h"

namespace tovalo {

// One item of a panel list: a piece or a destination slot.
struct PanelItem {
    std::string text;  // as written after its "@": what the answer string uses (style 4)
    PictureRect rect;
    std::string id;  // the text after the fourth "," (style 6), which the answer uses instead
};

inline constexpr std::size_t kMaxPanelItems = 100;

// The items of a panel list: each begins at an "@"; text before the first
// "@" belongs to none. nullopt when an item's numbers cannot be read or the
// list holds more than kMaxPanelItems items.
std::optional<std::vector<PanelItem>> parsePanelList(std::string_view list, bool withIds);

// A released piece snaps to a slot whose top-left lies closer than this.
inline constexpr int kSnapX = 50;
inline constexpr int kSnapY = 15;

struct PiecePlace {
    int left = 0, top = 0;
};

// Pieces cut out of a picture and dragged onto destination slots (styles 4
// and 6). Positions are the pieces' top-left corners in picture pixels.
class PanelBoard {
  public:
    PanelBoard() = default;
    // `withIds`: the second panel style, which answers with the items' ids.
    PanelBoard(std::vector<PanelItem> destinations, std::vector<PanelItem> pieces, bool withIds);

    [[nodiscard]] const std::vector<PanelItem>& destinations() const { return destinations_; }
    [[nodiscard]] const std::vector<PanelItem>& pieces() const { return pieces_; }
    // Piece k (1..) where it is now.
    [[nodiscard]] PiecePlace place(int k) const { return places_[k - 1]; }
    // The piece in destination j (1..), 0 when empty.
    [[nodiscard]] int heldBy(int j) const { return held_[j - 1]; }
    // The piece being dragged, 0 when none.
    [[nodiscard]] int dragged() const { return dragged_; }

    // A press on piece k at (x, y) inside it picks it up, out of any slot.
    void press(int k, int x, int y);
    // The pointer is at (x, y) inside the dragged piece: the piece follows.
    void move(int x, int y);
    // The dragged piece drops into the first free slot in list order whose
    // top-left is within the snap distances, or goes back to its start.
    void release();
    // press, move and release in one: the piece's top-left ends at (left, top).
    void drag(int k, int left, int top);

    // "@" + slot + ";" + piece for the filled slots in list order (with
    // ids, an empty slot adds "@" + slot + ";").
    [[nodiscard]] std::string answerString() const;
    // The answer string and the expected one agree, both trimmed, letter for letter.
    [[nodiscard]] bool solved(std::string_view expected) const;

    // Where the correct-answer view puts each piece: at the slot the
    // expected answer pairs it with, or at its start.
    [[nodiscard]] static std::vector<PiecePlace> viewPlaces(
        const std::vector<PanelItem>& destinations, const std::vector<PanelItem>& pieces,
        bool withIds, std::string_view expected);

  private:
    [[nodiscard]] const std::string& key(const PanelItem& item) const {
        return withIds_ ? item.id : item.text;
    }
    void leaveSlots(int k);

    std::vector<PanelItem> destinations_;
    std::vector<PanelItem> pieces_;
    bool withIds_ = false;
    std::vector<PiecePlace> places_;
    std::vector<int> held_;
    int dragged_ = 0;
    int pressX_ = 0, pressY_ = 0;
};

}  // namespace tovalo
