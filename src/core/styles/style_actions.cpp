#include "core/styles/style_actions.h"

#include "core/styles/zones.h"

#include <array>
#include <utility>

namespace tovalo {

namespace {

using Kind = StyleAction::Kind;

constexpr std::array<std::pair<const char*, Kind>, 10> kNames{{
    {"press", Kind::Press},
    {"unmark", Kind::Unmark},
    {"rightpicture", Kind::RightPicture},
    {"drag", Kind::Drag},
    {"type", Kind::Type},
    {"click", Kind::Click},
    {"shiftclick", Kind::ShiftClick},
    {"connector", Kind::Connector},
    {"surface", Kind::Surface},
    {"delete", Kind::Delete},
}};

bool replayMarks(const StyleHandoff& h, const std::vector<StyleAction>& actions) {
    MarkBoard board(h.zones);
    for (const StyleAction& a : actions) {
        switch (a.kind) {
            case Kind::Press:
                board.press(a.x, a.y);
                break;
            case Kind::Unmark:
                board.unmark(a.n);
                break;
            case Kind::RightPicture:
                board.removeLatest();
                break;
            default:
                break;
        }
    }
    return board.solved();
}

bool replayPanels(const StyleHandoff& h, const std::vector<StyleAction>& actions) {
    PanelBoard board(h.destinations, h.pieces, h.style == AnswerStyle::PanelSecond);
    for (const StyleAction& a : actions) {
        if (a.kind == Kind::Drag) {
            board.drag(a.n, a.x, a.y);
        }
    }
    return board.solved(h.groups[0]);
}

bool replayTyped(const StyleHandoff& h, const std::vector<StyleAction>& actions) {
    std::string field;
    for (const StyleAction& a : actions) {
        if (a.kind == Kind::Type) {
            field = limitTyped(field + a.text, h.descriptive.maxLength);
        }
    }
    return judgeDescriptive(h.descriptive, field);
}

bool replayConnect(const StyleHandoff& h, const std::vector<StyleAction>& actions) {
    ConnectBoard board(h.connect);
    for (const StyleAction& a : actions) {
        switch (a.kind) {
            case Kind::Click:
            case Kind::ShiftClick:
                // A click without movement: press, release, then the click itself.
                board.pressPanel(a.n, 0, 0, a.kind == Kind::ShiftClick);
                board.releasePanel();
                board.clickPanel(a.n);
                break;
            case Kind::Connector:
                board.clickConnector(a.n);
                break;
            case Kind::Surface:
                board.pressSurface(a.x, a.y);
                break;
            case Kind::Delete:
                board.deleteSelected();
                break;
            default:
                break;
        }
    }
    return board.solved();
}

}  // namespace

std::optional<StyleAction::Kind> styleActionKind(const std::string& name) {
    for (const auto& [n, kind] : kNames) {
        if (name == n) {
            return kind;
        }
    }
    return std::nullopt;
}

bool styleTakesAction(AnswerStyle style, StyleAction::Kind kind) {
    switch (style) {
        case AnswerStyle::Graphic:
            return kind == Kind::Press || kind == Kind::Unmark;
        case AnswerStyle::ClickPicture:
            return kind == Kind::Press || kind == Kind::Unmark || kind == Kind::RightPicture;
        case AnswerStyle::Panel:
        case AnswerStyle::PanelSecond:
            return kind == Kind::Drag;
        case AnswerStyle::Descriptive:
            return kind == Kind::Type;
        case AnswerStyle::Connect:
            return kind == Kind::Click || kind == Kind::ShiftClick || kind == Kind::Connector ||
                   kind == Kind::Surface || kind == Kind::Delete;
        default:
            return false;
    }
}

bool replayStyleActions(const StyleHandoff& handoff, const std::vector<StyleAction>& actions) {
    if (handoff.defect) {
        return false;
    }
    switch (handoff.style) {
        case AnswerStyle::Graphic:
        case AnswerStyle::ClickPicture:
            return replayMarks(handoff, actions);
        case AnswerStyle::Panel:
        case AnswerStyle::PanelSecond:
            return replayPanels(handoff, actions);
        case AnswerStyle::Descriptive:
            return replayTyped(handoff, actions);
        case AnswerStyle::Connect:
            return replayConnect(handoff, actions);
        default:
            return false;
    }
}

}  // namespace tovalo
