#include "core/styles/style_handoff.h"

#include <algorithm>

#include "core/text/trim.h"

namespace tovalo {

namespace {

constexpr int kDestinationGroup = 1;
constexpr int kPieceGroup = 2;

void readZones(StyleHandoff& h) {
    // The zone count is the number of groups that are not blank, and the
    // zones are that many groups from a upward: a gap leaves a blank zone.
    const auto count = std::count_if(h.groups.begin(), h.groups.end(),
                                     [](const std::string& g) { return !text::trim(g).empty(); });
    for (int k = 0; k < count; ++k) {
        const auto zone = parsePictureRect(h.groups[k]);
        if (!zone) {
            h.zones.clear();
            h.defect = StyleDefect{k, text::trim(h.groups[k]).empty()
                                          ? std::string("領域が抜けています")
                                          : "領域が 4 つの整数 x1,y1,x2,y2 ではありません"};
            return;
        }
        h.zones.push_back(*zone);
    }
    if (h.zones.empty()) {
        h.defect = StyleDefect{0, "領域が 1 つもありません"};
    }
}

void readPanels(StyleHandoff& h, bool withIds) {
    const char* what = withIds ? "の項目が 4 つの整数と名前ではないか、100 個を超えています"
                               : "の項目が 4 つの整数ではないか、100 個を超えています";
    auto destinations = parsePanelList(h.groups[kDestinationGroup], withIds);
    if (!destinations) {
        h.defect = StyleDefect{kDestinationGroup, std::string("配置先") + what};
        return;
    }
    auto pieces = parsePanelList(h.groups[kPieceGroup], withIds);
    if (!pieces) {
        h.defect = StyleDefect{kPieceGroup, std::string("パネル") + what};
        return;
    }
    h.destinations = std::move(*destinations);
    h.pieces = std::move(*pieces);
}

void readDescriptive(StyleHandoff& h) {
    h.descriptive.expected = h.groups[0];
    h.descriptive.caseRule = text::trimmed(h.groups[1]);
    const auto maxLength = parseStyleInteger(h.groups[2]);
    if (!maxLength) {
        h.defect = StyleDefect{2, "最大文字数が整数ではありません"};
        return;
    }
    h.descriptive.maxLength = std::max(*maxLength, 0);
    if (h.descriptive.caseRule != "on" && h.descriptive.caseRule != "off") {
        h.defect = StyleDefect{1, "大文字と小文字の扱いが on でも off でもありません"};
    }
}

}  // namespace

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
            readZones(h);
            break;
        case AnswerStyle::Panel:
        case AnswerStyle::PanelSecond:
            readPanels(h, style == AnswerStyle::PanelSecond);
            break;
        case AnswerStyle::Descriptive:
            readDescriptive(h);
            break;
        case AnswerStyle::Connect:
            h.defect = parseConnectLists(h.groups[0], h.groups[1], h.groups[2], h.connect);
            break;
        default:
            return h;
    }
    // Without its "a@" line the question could never be answered right,
    // whatever the learner does.
    if (!h.defect && h.answerSlot == 0) {
        h.defect = StyleDefect{0, "正解を示す行がありません"};
    }
    return h;
}

std::string defectNote(const StyleDefect& defect) {
    return "この問題は解答データ（" + std::string(1, static_cast<char>('a' + defect.group)) +
           "@ の行）に誤りがあるため、解答できません: " + defect.what + "。";
}

std::string unreadablePictureNote(std::string_view path, bool bitmapOnly) {
    if (path.empty()) {
        return "この問題には図がないため、解答できません。";
    }
    const auto slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return "この問題の図（" + std::string(name) + "）を" +
           (bitmapOnly ? "ビットマップとして" : "") + "読み込めないため、解答できません。";
}

}  // namespace tovalo
