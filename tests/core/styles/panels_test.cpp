#include <gtest/gtest.h>

#include "core/styles/panels.h"

using namespace tovalo;

namespace {

std::vector<PanelItem> items(std::string_view list, bool withIds = false) {
    return parsePanelList(list, withIds).value();
}

// Two slots side by side at the top, two pieces below.
PanelBoard twoSlots() {
    return PanelBoard(items("@100,100,200,140@300,100,400,140"),
                      items("@100,300,200,340@300,300,400,340"), false);
}

}  // namespace

TEST(PanelBoard, ASlotTakesAPieceCloserThanFiftyAcrossAndFifteenDown) {
    PanelBoard board = twoSlots();
    board.drag(1, 149, 114);
    EXPECT_EQ(board.heldBy(1), 1);
    EXPECT_EQ(board.place(1).left, 100);  // snapped to the slot
    EXPECT_EQ(board.place(1).top, 100);

    board = twoSlots();
    board.drag(1, 150, 100);
    EXPECT_EQ(board.heldBy(1), 0);
    EXPECT_EQ(board.place(1).left, 100);  // back at its start
    EXPECT_EQ(board.place(1).top, 300);
    board.drag(1, 51, 86);
    EXPECT_EQ(board.heldBy(1), 1);
    board.drag(2, 100, 115);
    EXPECT_EQ(board.heldBy(1), 1);  // the first piece stays; the second goes home
    EXPECT_EQ(board.place(2).top, 300);
}

// The drop goes to the first free slot in list order that is close enough.
TEST(PanelBoard, AnOccupiedSlotPassesThePieceOnOrBack) {
    PanelBoard board(items("@100,100,200,140@130,105,230,145"), items("@0,300,90,340@0,400,90,440"),
                     false);
    board.drag(1, 110, 102);
    EXPECT_EQ(board.heldBy(1), 1);
    board.drag(2, 110, 102);  // slot 1 taken: slot 2 is within reach too
    EXPECT_EQ(board.heldBy(2), 2);
    EXPECT_EQ(board.place(2).left, 130);

    board = PanelBoard(items("@100,100,200,140@300,100,400,140"),
                       items("@0,300,90,340@0,400,90,440"), false);
    board.drag(1, 100, 100);
    board.drag(2, 100, 100);
    EXPECT_EQ(board.heldBy(2), 0);
    EXPECT_EQ(board.place(2).top, 400);
}

TEST(PanelBoard, PickingUpAPieceEmptiesItsSlotAtOnce) {
    PanelBoard board = twoSlots();
    board.drag(1, 100, 100);
    board.press(1, 10, 10);
    EXPECT_EQ(board.heldBy(1), 0);
    EXPECT_EQ(board.dragged(), 1);
    // The piece follows the pointer by how far it moved from the press point.
    board.move(40, 25);
    EXPECT_EQ(board.place(1).left, 130);
    EXPECT_EQ(board.place(1).top, 115);
    board.move(30, 15);  // now measured inside the piece where it has moved to
    EXPECT_EQ(board.place(1).left, 150);
    EXPECT_EQ(board.place(1).top, 120);
    board.release();
    EXPECT_EQ(board.dragged(), 0);
    EXPECT_EQ(board.place(1).top, 300);
}

TEST(PanelBoard, AnswerStringOfTheFirstPanelStyle) {
    PanelBoard board = twoSlots();
    EXPECT_EQ(board.answerString(), "");
    EXPECT_TRUE(board.solved("  "));
    EXPECT_FALSE(board.solved("@100,100,200,140;100,300,200,340"));

    board.drag(2, 100, 100);
    board.drag(1, 300, 100);
    EXPECT_EQ(board.answerString(),
              "@100,100,200,140;300,300,400,340@300,100,400,140;100,300,200,340");
    EXPECT_TRUE(
        board.solved(" @100,100,200,140;300,300,400,340@300,100,400,140;100,300,200,340\r\n"));
    EXPECT_FALSE(board.solved("@100,100,200,140;100,300,200,340@300,100,400,140;300,300,400,340"));
}

// Interchangeable pieces share an id, and an empty slot still speaks.
TEST(PanelBoard, TheSecondPanelStyleAnswersWithIds) {
    const auto slots = items("@100,100,200,140,S1@300,100,400,140,S2", true);
    const auto pieces = items("@0,300,90,340,WEB@100,300,190,340,WEB@200,300,290,340,DB", true);
    PanelBoard board(slots, pieces, true);
    EXPECT_EQ(board.answerString(), "@S1;@S2;");
    board.drag(2, 100, 100);
    EXPECT_EQ(board.answerString(), "@S1;WEB@S2;");
    board.drag(1, 300, 100);
    EXPECT_TRUE(board.solved("@S1;WEB@S2;WEB"));

    // The view puts one WEB piece in each slot, not both in the first.
    const auto places = PanelBoard::viewPlaces(slots, pieces, true, "@S1;WEB@S2;WEB");
    EXPECT_EQ(places[0].left, 100);
    EXPECT_EQ(places[1].left, 300);
    EXPECT_EQ(places[2].left, 200);  // DB is not in the answer: it stays at its start
    EXPECT_EQ(places[2].top, 300);
}

// The first style's view moves every matching piece; a piece named for two
// slots ends on the last.
TEST(PanelBoard, TheFirstStylesViewLetsLaterSlotsWin) {
    const auto slots = items("@100,100,200,140@300,100,400,140");
    const auto pieces = items("@0,300,90,340@100,300,190,340");
    const auto places = PanelBoard::viewPlaces(
        slots, pieces, false, "@100,100,200,140;0,300,90,340@300,100,400,140;0,300,90,340");
    EXPECT_EQ(places[0].left, 300);
    EXPECT_EQ(places[1].left, 100);
    EXPECT_EQ(places[1].top, 300);
}

TEST(PanelBoard, ListsHoldAtMostAHundredItems) {
    std::string list;
    for (int k = 0; k < 100; ++k) {
        list += "@" + std::to_string(k) + ",0,1,1";
    }
    EXPECT_EQ(parsePanelList(list, false)->size(), 100u);
    EXPECT_FALSE(parsePanelList(list + "@0,0,1,1", false));
    EXPECT_FALSE(parsePanelList("@0,0,1", false));
    EXPECT_TRUE(parsePanelList("no items here", false)->empty());
}
