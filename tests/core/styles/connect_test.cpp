#include <gtest/gtest.h>

#include "core/styles/connect.h"

using namespace tovalo;

namespace {

// Panels 1 (left) and 2 (right) on one row, 3 below; connectors: an
// undirected line and a directed one.
constexpr std::string_view kPanels = "@0,0,100,40,LAN@400,0,500,40,VPC@0,200,100,240,WAN";
constexpr std::string_view kConnectors = "@0,300,60,320,専用線,0@100,300,160,320,HTTPS,1";

ConnectBoard board(std::string_view expected) {
    ConnectLists lists;
    EXPECT_FALSE(parseConnectLists(expected, kPanels, kConnectors, lists));
    return ConnectBoard(lists);
}

void click(ConnectBoard& b, int panel, bool shift = false) {
    b.pressPanel(panel, 5, 5, shift);
    b.releasePanel();
    b.clickPanel(panel);
}

void connect(ConnectBoard& b, int first, int second, int connector) {
    click(b, first);
    click(b, second, true);
    EXPECT_TRUE(b.clickConnector(connector));
}

}  // namespace

TEST(ConnectLists, NamesAreLookedUpAndConnectionsNormalised) {
    ConnectLists lists;
    // Two panels called LAN: the last one wins.
    ASSERT_FALSE(parseConnectLists("@LAN;VPC;HTTPS;2@VPC;LAN;専用線;0@LAN;VPC;HTTPS;1",
                                   "x@0,0,9,9,LAN@20,0,29,9,VPC@40,0,49,9,LAN", kConnectors,
                                   lists));
    ASSERT_EQ(lists.panels.size(), 3u);
    EXPECT_EQ(lists.connectors[0].name, "専用線");
    EXPECT_FALSE(lists.connectors[0].directed);
    EXPECT_TRUE(lists.connectors[1].directed);
    EXPECT_EQ(lists.expected, (std::vector<Connection>{{2, 3, 2}, {2, 3, 1}, {3, 2, 2}}));
}

TEST(ConnectLists, UnusableItemsNameTheirList) {
    ConnectLists lists;
    auto defect = parseConnectLists("@LAN;NAS;HTTPS;1", kPanels, kConnectors, lists);
    ASSERT_TRUE(defect);
    EXPECT_EQ(defect->group, 0);  // NAS matches no panel
    EXPECT_EQ(parseConnectLists("@LAN;VPC;FTP;1", kPanels, kConnectors, lists)->group, 0);
    EXPECT_EQ(parseConnectLists("@LAN;VPC;HTTPS;3", kPanels, kConnectors, lists)->group, 0);
    EXPECT_EQ(parseConnectLists("@LAN;VPC;HTTPS", kPanels, kConnectors, lists)->group, 0);
    EXPECT_EQ(parseConnectLists("", "@0,0,x,9,LAN", kConnectors, lists)->group, 1);
    EXPECT_EQ(parseConnectLists("", kPanels, "@0,0,9,9,HTTPS", lists)->group, 2);  // no direction

    std::string twentyOne;
    for (int k = 0; k < 21; ++k) {
        twentyOne += "@0,0,9,9,P" + std::to_string(k);
    }
    EXPECT_EQ(parseConnectLists("", twentyOne, kConnectors, lists)->group, 1);
    EXPECT_FALSE(
        parseConnectLists("", twentyOne.substr(twentyOne.find('@', 1)), kConnectors, lists));
}

TEST(ConnectBoard, UndirectedConnectionsMatchWhicheverPanelCameFirst) {
    ConnectBoard b = board("@LAN;VPC;専用線;0");
    connect(b, 2, 1, 1);
    EXPECT_EQ(b.connections()[0], (Connection{1, 2, 1}));
    EXPECT_TRUE(b.solved());

    b = board("@LAN;VPC;HTTPS;1");
    connect(b, 2, 1, 2);  // directed, the wrong way round
    EXPECT_FALSE(b.solved());
    b = board("@LAN;VPC;HTTPS;2");
    connect(b, 2, 1, 2);
    EXPECT_TRUE(b.solved());
}

TEST(ConnectBoard, TheSameConnectionTwiceDoesNotStandForAMissingOne) {
    ConnectBoard b = board("@LAN;VPC;専用線;0@LAN;WAN;専用線;0");
    connect(b, 1, 2, 1);
    EXPECT_TRUE(b.clickConnector(1));  // the selection stays: a second, equal connection
    EXPECT_EQ(b.connections().size(), 2u);
    EXPECT_FALSE(b.solved());
    EXPECT_TRUE(board("").solved());  // nothing expected, nothing made
}

TEST(ConnectBoard, SelectionRoles) {
    ConnectBoard b = board("");
    click(b, 1);
    EXPECT_EQ(b.role(1), 1);
    EXPECT_FALSE(b.clickConnector(1));  // one panel is not a connection
    click(b, 2, true);
    EXPECT_EQ(b.role(2), 2);
    click(b, 3, true);  // a third Shift-click changes nothing
    EXPECT_FALSE(b.selected(3));
    EXPECT_EQ(b.role(1), 1);
    EXPECT_EQ(b.role(2), 2);
    EXPECT_TRUE(b.clickConnector(1));  // the two panels shown selected still connect

    click(b, 3);  // a plain click starts over
    EXPECT_FALSE(b.selected(1));
    EXPECT_FALSE(b.selected(2));
    EXPECT_EQ(b.role(3), 1);
    click(b, 3, true);  // Shift on the selected panel: still one
    EXPECT_FALSE(b.clickConnector(1));
    EXPECT_EQ(b.connections().size(), 1u);
}

// Connections between the same two panels stack 14 pixels apart above the
// midpoint, the latest at the midpoint itself.
TEST(ConnectBoard, ParallelConnectionsAreDrawnFourteenPixelsApart) {
    ConnectBoard b = board("");
    connect(b, 1, 2, 1);
    EXPECT_TRUE(b.clickConnector(2));
    EXPECT_TRUE(b.clickConnector(1));
    // Centres (50, 20) and (450, 20): midpoint (250, 20); connectors 60 x 20.
    ASSERT_EQ(b.drawn().size(), 3u);
    EXPECT_EQ(b.drawn()[0].connector, (PictureRect{220, -18, 280, 2}));
    EXPECT_EQ(b.drawn()[1].connector, (PictureRect{220, -4, 280, 16}));
    EXPECT_EQ(b.drawn()[2].connector, (PictureRect{220, 10, 280, 30}));

    // The directed one has arrows on both sides and its lines leave room for them.
    const DrawnConnection& d = b.drawn()[1];
    EXPECT_TRUE(d.directed);
    EXPECT_TRUE(d.rightward);
    EXPECT_EQ(d.leftArrow, (PictureRect{202, -4, 220, 16}));
    EXPECT_EQ(d.rightArrow, (PictureRect{280, -4, 298, 16}));
    EXPECT_EQ(d.lines[0], (ScreenLine{{100, 20}, {202, 6}}));
    EXPECT_EQ(d.lines[1], (ScreenLine{{298, 6}, {400, 20}}));
    EXPECT_EQ(b.drawn()[2].lines[0], (ScreenLine{{100, 20}, {220, 20}}));
}

// A connection running right to left is drawn from the second panel's right edge.
TEST(ConnectBoard, ConnectionsToTheLeftStartAtTheSecondPanel) {
    ConnectBoard b = board("");
    connect(b, 2, 1, 2);  // directed: 2 to 1
    const DrawnConnection& d = b.drawn()[0];
    EXPECT_FALSE(d.rightward);
    EXPECT_EQ(d.lines[0], (ScreenLine{{100, 20}, {202, 20}}));
    EXPECT_EQ(d.lines[1], (ScreenLine{{298, 20}, {400, 20}}));
}

TEST(ConnectBoard, MovingAPanelRedrawsItsConnections) {
    ConnectBoard b = board("");
    connect(b, 1, 3, 1);
    b.pressPanel(3, 10, 10, false);
    b.movePanel(210, 30);  // 200 right, 20 down
    b.releasePanel();
    EXPECT_EQ(b.panelRect(3), (PictureRect{200, 220, 300, 260}));
    // Centres (50, 20) and (250, 240): midpoint (150, 130).
    EXPECT_EQ(b.drawn()[0].connector, (PictureRect{120, 120, 180, 140}));
}

TEST(ConnectBoard, ASurfacePressSelectsAConnectionAndDeleteRemovesOnlyIt) {
    ConnectBoard b = board("");
    connect(b, 1, 2, 1);
    connect(b, 1, 3, 2);
    connect(b, 2, 1, 2);
    const PictureRect first = b.drawn()[0].connector;
    b.pressSurface(first.x1, first.y1 + 1);  // on the edge: nothing
    EXPECT_EQ(b.selectedConnection(), 0);
    EXPECT_FALSE(b.selected(1));  // the press also cleared the panels
    EXPECT_FALSE(b.clickConnector(1));
    b.pressSurface(first.x1 + 1, first.y1 + 1);
    EXPECT_EQ(b.selectedConnection(), 1);

    EXPECT_TRUE(b.deleteSelected());
    EXPECT_FALSE(b.deleteSelected());
    EXPECT_EQ(b.connections(), (std::vector<Connection>{{1, 3, 2}, {2, 1, 2}}));
    // The one left between panels 1 and 2 now has no later twin: back at the midpoint.
    EXPECT_EQ(b.drawn()[1].connector.y1, 10);
}

TEST(ConnectBoard, AtMostFiftyConnections) {
    ConnectBoard b = board("");
    connect(b, 1, 2, 1);
    for (int k = 1; k < 50; ++k) {
        EXPECT_TRUE(b.clickConnector(1));
    }
    EXPECT_FALSE(b.clickConnector(1));
    EXPECT_EQ(b.connections().size(), 50u);
}
