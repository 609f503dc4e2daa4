#include "core/styles/connect.h"

#include <algorithm>

namespace tovalo {

namespace {

constexpr int kExpectedGroup = 0;
constexpr int kPanelGroup = 1;
constexpr int kConnectorGroup = 2;

// The items of a list: each begins at an "@"; text before the first "@"
// belongs to none.
std::vector<std::string_view> listItems(std::string_view list) {
    std::vector<std::string_view> items;
    std::size_t at = list.find('@');
    while (at != std::string_view::npos) {
        const std::size_t next = list.find('@', at + 1);
        items.push_back(list.substr(
            at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1));
        at = next;
    }
    return items;
}

// The number of the last item called `name`; 0 when none is.
template <class Item>
int lastNamed(const std::vector<Item>& items, std::string_view name) {
    for (std::size_t k = items.size(); k > 0; --k) {
        if (items[k - 1].name == name) {
            return static_cast<int>(k);
        }
    }
    return 0;
}

std::string itemNumber(std::size_t k) {
    return std::to_string(k + 1) + " 番目";
}

}  // namespace

std::optional<StyleDefect> parseConnectLists(std::string_view expected, std::string_view panels,
                                             std::string_view connectors, ConnectLists& lists) {
    lists = {};
    const auto panelItems = listItems(panels);
    if (panelItems.size() > kMaxConnectPanels) {
        return StyleDefect{kPanelGroup,
                           "パネルが " + std::to_string(kMaxConnectPanels) + " 個を超えています"};
    }
    for (std::size_t k = 0; k < panelItems.size(); ++k) {
        ConnectPanel p;
        const auto rect = parsePictureRect(panelItems[k], &p.name);
        if (!rect) {
            return StyleDefect{kPanelGroup, itemNumber(k) + "のパネルの座標が読めません"};
        }
        p.rect = *rect;
        lists.panels.push_back(std::move(p));
    }

    const auto connectorItems = listItems(connectors);
    if (connectorItems.size() > kMaxConnectors) {
        return StyleDefect{kConnectorGroup,
                           "コネクタが " + std::to_string(kMaxConnectors) + " 個を超えています"};
    }
    for (std::size_t k = 0; k < connectorItems.size(); ++k) {
        Connector c;
        std::string rest;
        const auto rect = parsePictureRect(connectorItems[k], &rest);
        const std::size_t comma = rest.find(',');
        const auto direction =
            comma == std::string::npos ? std::nullopt : parseStyleInteger(rest.substr(comma + 1));
        if (!rect || !direction) {
            return StyleDefect{kConnectorGroup,
                               itemNumber(k) + "のコネクタの座標か向きが読めません"};
        }
        c.rect = *rect;
        c.name = rest.substr(0, comma);
        c.directed = *direction != 0;
        lists.connectors.push_back(std::move(c));
    }

    const auto expectedItems = listItems(expected);
    if (expectedItems.size() > kMaxConnections) {
        return StyleDefect{kExpectedGroup,
                           "正解の接続が " + std::to_string(kMaxConnections) + " 個を超えています"};
    }
    for (std::size_t k = 0; k < expectedItems.size(); ++k) {
        std::string_view item = expectedItems[k];
        std::string_view fields[4];
        for (int f = 0; f < 3; ++f) {
            const std::size_t semicolon = item.find(';');
            if (semicolon == std::string_view::npos) {
                return StyleDefect{kExpectedGroup, itemNumber(k) + "の正解の接続が読めません"};
            }
            fields[f] = item.substr(0, semicolon);
            item.remove_prefix(semicolon + 1);
        }
        fields[3] = item;
        Connection c{lastNamed(lists.panels, fields[0]), lastNamed(lists.panels, fields[1]),
                     lastNamed(lists.connectors, fields[2])};
        if (c.first == 0 || c.second == 0) {
            return StyleDefect{kExpectedGroup,
                               itemNumber(k) + "の正解の接続が、ないパネルを指しています"};
        }
        if (c.connector == 0) {
            return StyleDefect{kExpectedGroup,
                               itemNumber(k) + "の正解の接続が、ないコネクタを指しています"};
        }
        const auto direction = parseStyleInteger(fields[3]);
        if (!direction || *direction < 0 || *direction > 2) {
            return StyleDefect{kExpectedGroup,
                               itemNumber(k) + "の正解の接続の向きが 0、1、2 のどれでもありません"};
        }
        if (*direction == 2) {
            std::swap(c.first, c.second);
        } else if (*direction == 0 && c.first > c.second) {
            std::swap(c.first, c.second);
        }
        lists.expected.push_back(c);
    }
    return std::nullopt;
}

ConnectBoard::ConnectBoard(ConnectLists lists) : lists_(std::move(lists)) {
    for (const ConnectPanel& p : lists_.panels) {
        panels_.push_back({p.rect.x1, p.rect.y1, 0});
    }
}

PictureRect ConnectBoard::panelRect(int p) const {
    const PanelState& s = panels_[p - 1];
    const PictureRect& r = lists_.panels[p - 1].rect;
    return {s.left, s.top, s.left + r.width(), s.top + r.height()};
}

ScreenPoint ConnectBoard::centre(int p) const {
    const PictureRect r = panelRect(p);
    return {r.x1 + r.width() / 2, r.y1 + r.height() / 2};
}

void ConnectBoard::pressPanel(int p, int x, int y, bool shift) {
    if (p < 1 || p > panelCount()) {
        return;
    }
    dragged_ = p;
    pressX_ = x;
    pressY_ = y;
    extendSelection_ = shift;
}

void ConnectBoard::movePanel(int x, int y) {
    if (dragged_ == 0) {
        return;
    }
    PanelState& s = panels_[dragged_ - 1];
    s.left += x - pressX_;
    s.top += y - pressY_;
}

void ConnectBoard::releasePanel() {
    dragged_ = 0;
    redraw();
}

void ConnectBoard::clickPanel(int p) {
    if (p < 1 || p > panelCount()) {
        return;
    }
    if (!extendSelection_) {
        for (PanelState& s : panels_) {
            s.role = 0;
        }
    }
    const int count = static_cast<int>(
        std::count_if(panels_.begin(), panels_.end(), [](const PanelState& s) { return s.role; }));
    PanelState& s = panels_[p - 1];
    // A third panel never joins a selection of two.
    if (count < 2 && s.role == 0) {
        s.role = count + 1;
    }
}

bool ConnectBoard::clickConnector(int c) {
    if (c < 1 || c > static_cast<int>(lists_.connectors.size()) ||
        connections_.size() >= kMaxConnections) {
        return false;
    }
    int first = 0;
    int second = 0;
    for (int p = 1; p <= panelCount(); ++p) {
        if (role(p) == 1) {
            first = p;
        } else if (role(p) == 2) {
            second = p;
        }
    }
    if (first == 0 || second == 0) {
        return false;
    }
    if (!lists_.connectors[c - 1].directed && first > second) {
        std::swap(first, second);
    }
    connections_.push_back({first, second, c});
    redraw();
    return true;
}

void ConnectBoard::pressSurface(int x, int y) {
    for (PanelState& s : panels_) {
        s.role = 0;
    }
    selectedConnection_ = 0;
    for (std::size_t i = 0; i < drawn_.size(); ++i) {
        if (drawn_[i].connector.strictlyContains(x, y)) {
            selectedConnection_ = static_cast<int>(i) + 1;
        }
    }
}

bool ConnectBoard::deleteSelected() {
    if (selectedConnection_ == 0) {
        return false;
    }
    connections_.erase(connections_.begin() + (selectedConnection_ - 1));
    selectedConnection_ = 0;
    redraw();
    return true;
}

void ConnectBoard::redraw() {
    drawn_.clear();
    const auto samePanels = [](const Connection& a, const Connection& b) {
        return (a.first == b.first && a.second == b.second) ||
               (a.first == b.second && a.second == b.first);
    };
    for (std::size_t i = 0; i < connections_.size(); ++i) {
        const Connection& c = connections_[i];
        const int later = static_cast<int>(std::count_if(
            connections_.begin() + static_cast<std::ptrdiff_t>(i) + 1, connections_.end(),
            [&](const Connection& o) { return samePanels(c, o); }));
        const ScreenPoint ca = centre(c.first);
        const ScreenPoint cb = centre(c.second);
        const ScreenPoint mid{(ca.x + cb.x) / 2, (ca.y + cb.y) / 2 - kParallelGap * later};
        const Connector& connector = lists_.connectors[c.connector - 1];
        const int w = connector.rect.width();
        const int h = connector.rect.height();
        DrawnConnection d;
        const int left = mid.x - w / 2;
        const int top = mid.y - h / 2;
        d.connector = {left, top, left + w, top + h};
        d.directed = connector.directed;
        d.rightward = cb.x >= ca.x;
        const int gap = d.directed ? kArrowWidth : 0;
        if (d.directed) {
            d.leftArrow = {left - kArrowWidth, top, left, top + h};
            d.rightArrow = {left + w, top, left + w + kArrowWidth, top + h};
        }
        const int end = mid.x + w / 2 + gap;
        const PictureRect a = panelRect(c.first);
        const PictureRect b = panelRect(c.second);
        if (d.rightward) {
            d.lines[0] = {{a.x2, ca.y}, {left - gap, mid.y}};
            d.lines[1] = {{end, mid.y}, {b.x1, cb.y}};
        } else {
            d.lines[0] = {{b.x2, cb.y}, {left - gap, mid.y}};
            d.lines[1] = {{end, mid.y}, {a.x1, ca.y}};
        }
        drawn_.push_back(d);
    }
}

bool ConnectBoard::solved() const {
    if (connections_.size() != lists_.expected.size()) {
        return false;
    }
    return std::all_of(lists_.expected.begin(), lists_.expected.end(), [this](const Connection& e) {
        return std::find(connections_.begin(), connections_.end(), e) != connections_.end();
    });
}

}  // namespace tovalo
