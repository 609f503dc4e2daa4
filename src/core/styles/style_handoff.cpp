#include "core/styles/style_handoff.h"

#include <algorithm>
#include <charconv>

namespace tovalo {

namespace {

constexpr std::size_t kMaxPanelItems = 100;

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<int> integer(std::string_view s) {
    s = trimmed(s);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<PictureRect> parsePictureRect(std::string_view text, std::string* rest) {
    int values[4];
    for (int k = 0; k < 4; ++k) {
        const std::size_t comma = text.find(',');
        const bool last = k == 3;
        std::string_view part = text;
        if (!last || (rest != nullptr && comma != std::string_view::npos)) {
            if (comma == std::string_view::npos) {
                return std::nullopt;
            }
            part = text.substr(0, comma);
            text.remove_prefix(comma + 1);
        }
        const auto v = integer(part);
        if (!v) {
            return std::nullopt;
        }
        values[k] = *v;
    }
    if (rest != nullptr) {
        *rest = std::string(text);
    }
    return PictureRect{values[0], values[1], values[2], values[3]};
}

std::optional<std::vector<PanelItem>> parsePanelList(std::string_view list, bool withIds) {
    std::vector<PanelItem> items;
    std::size_t at = list.find('@');
    while (at != std::string_view::npos && items.size() < kMaxPanelItems) {
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

StyleHandoff styleHandoff(AnswerStyle style, std::span<const std::string> shown,
                          const std::vector<std::string>& figurePaths) {
    const AnswerStyleTraits& traits = traitsOf(style);
    StyleHandoff h;
    h.style = style;
    const int slots = std::min(traits.scannedSlots, static_cast<int>(shown.size()));
    for (int i = 0; i < slots; ++i) {
        const std::string& c = shown[i];
        if (c.size() >= 2 && c[1] == '@' && c[0] >= 'a' && c[0] <= 'e') {
            h.groups[c[0] - 'a'] = c.substr(traits.groupPrefix);
            if (c[0] == 'a') {
                h.answerSlot = i + 1;
            }
        }
    }
    const int figures = std::min<int>(traits.figuresTaken, static_cast<int>(figurePaths.size()));
    for (int k = 0; k < figures; ++k) {
        h.pictures[k] = figurePaths[k];
    }
    switch (style) {
        case AnswerStyle::Graphic:
        case AnswerStyle::ClickPicture:
            // The zones fill the groups from a upward; blank ones count for none.
            for (const std::string& group : h.groups) {
                if (trimmed(group).empty()) {
                    continue;
                }
                if (const auto zone = parsePictureRect(group)) {
                    h.zones.push_back(*zone);
                } else {
                    h.damaged = true;
                }
            }
            break;
        case AnswerStyle::Panel:
        case AnswerStyle::PanelSecond: {
            const bool withIds = style == AnswerStyle::PanelSecond;
            auto slots = parsePanelList(h.groups[1], withIds);
            auto pieces = parsePanelList(h.groups[2], withIds);
            h.damaged = !slots || !pieces;
            h.destinations = slots.value_or(std::vector<PanelItem>{});
            h.pieces = pieces.value_or(std::vector<PanelItem>{});
            break;
        }
        default:
            break;
    }
    return h;
}

}  // namespace tovalo
