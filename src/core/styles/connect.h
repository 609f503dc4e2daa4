#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/styles/picture_rect.h"

namespace tovalo {

inline constexpr std::size_t kMaxConnectPanels = 20;
inline constexpr std::size_t kMaxConnectors = 20;
inline constexpr std::size_t kMaxConnections = 50;
// Parallel connections between the same two panels stack this far apart.
inline constexpr int kParallelGap = 14;
// The arrow beside a directed connector.
inline constexpr int kArrowWidth = 18;

struct ConnectPanel {
    PictureRect rect;
    std::string name;
};

struct Connector {
    PictureRect rect;
    std::string name;
    bool directed = false;
};

// A connection as compared: panels and connector numbered from 1, the
// panels in the order the connection runs (ascending when it has no
// direction).
struct Connection {
    int first = 0, second = 0, connector = 0;
    bool operator==(const Connection&) const = default;
};

struct ConnectLists {
    std::vector<ConnectPanel> panels;
    std::vector<Connector> connectors;
    std::vector<Connection> expected;
};

// Groups a (expected connections), b (panels) and c (connectors), each a
// list of items introduced by "@". Fills `lists` and gives the first item
// that cannot be used: numbers that cannot be read, a list over its limit,
// a direction other than 0, 1 or 2, a name that matches no panel or connector.
std::optional<StyleDefect> parseConnectLists(std::string_view expected, std::string_view panels,
                                             std::string_view connectors, ConnectLists& lists);

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenLine {
    ScreenPoint from, to;
    bool operator==(const ScreenLine&) const = default;
};

// Where one connection was drawn.
struct DrawnConnection {
    PictureRect connector;  // the connector's picture, where a click selects it
    bool directed = false;
    // The arrows point right (second panel to the right of the first).
    bool rightward = true;
    PictureRect leftArrow, rightArrow;  // only when directed
    ScreenLine lines[2];
};

// The connect diagram: panels moved and selected, connections made and
// deleted, as the learner does it; the window only paints this.
class ConnectBoard {
  public:
    ConnectBoard() = default;
    explicit ConnectBoard(ConnectLists lists);

    [[nodiscard]] const ConnectLists& lists() const { return lists_; }
    [[nodiscard]] int panelCount() const { return static_cast<int>(lists_.panels.size()); }
    // Panel p (1..): its rectangle where it is now.
    [[nodiscard]] PictureRect panelRect(int p) const;
    [[nodiscard]] bool selected(int p) const { return panels_[p - 1].role != 0; }
    // 1 for the panel selected first, 2 for the second, 0 when unselected.
    [[nodiscard]] int role(int p) const { return panels_[p - 1].role; }
    [[nodiscard]] const std::vector<Connection>& connections() const { return connections_; }
    // Drawn geometry of each connection, in the order of connections().
    [[nodiscard]] const std::vector<DrawnConnection>& drawn() const { return drawn_; }
    // The selected connection (1..), 0 when none.
    [[nodiscard]] int selectedConnection() const { return selectedConnection_; }

    // A press on panel p at (x, y) inside it; `shift` extends the selection
    // at the click that follows.
    void pressPanel(int p, int x, int y, bool shift);
    // The pointer at (x, y) inside the dragged panel: the panel follows.
    void movePanel(int x, int y);
    void releasePanel();
    // The click that follows a release on the panel.
    void clickPanel(int p);
    // A click on connector c joins the two selected panels; false when it
    // did not (not two panels selected, or the connection limit reached).
    bool clickConnector(int c);
    // A press on the surface: clears the panel selection and selects the
    // connection drawn at (x, y), if any.
    void pressSurface(int x, int y);
    // Removes the selected connection; false when none was selected.
    bool deleteSelected();

    // Same set of connections as expected: as many, and each expected one made.
    [[nodiscard]] bool solved() const;

  private:
    struct PanelState {
        int left = 0, top = 0;
        int role = 0;
    };
    void redraw();
    [[nodiscard]] ScreenPoint centre(int p) const;

    ConnectLists lists_;
    std::vector<PanelState> panels_;
    std::vector<Connection> connections_;
    std::vector<DrawnConnection> drawn_;
    int selectedConnection_ = 0;
    int dragged_ = 0;
    int pressX_ = 0, pressY_ = 0;
    bool extendSelection_ = false;
};

}  // namespace tovalo
