#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/styles/style_handoff.h"

namespace tovalo {

// One thing a learner does in a special style's window (or on the click
// picture), in picture pixels, for replaying an answer without a window.
struct StyleAction {
    enum class Kind {
        Press,         // graphic, click picture: a press on the picture at (x, y)
        Unmark,        // graphic, click picture: the right button on mark n
        RightPicture,  // click picture: the right button on the picture
        Drag,          // panels: piece n dragged so that its top-left is at (x, y)
        Type,          // typed answer: text typed into the field
        Click,         // connect: a click on panel n
        ShiftClick,    // connect: a click on panel n with Shift held
        Connector,     // connect: a click on connector n
        Surface,       // connect: a press on the drawing surface at (x, y)
        Delete,        // connect: the Delete key
    };
    Kind kind = Kind::Press;
    int n = 0;
    int x = 0, y = 0;
    std::string text;
};

// The action's name in scripts ("press", "unmark", ...); nullopt for other names.
std::optional<StyleAction::Kind> styleActionKind(const std::string& name);

// Whether a window of `style` (or the click picture) has that action.
bool styleTakesAction(AnswerStyle style, StyleAction::Kind kind);

// Replays `actions` on the question of `handoff` through the same state
// machines the windows use, then presses the answer button (the click
// picture has none: its verdict is the last one). The verdict; never right
// for a question whose data lines cannot be used. Actions the style does
// not take must be refused before (styleTakesAction).
bool replayStyleActions(const StyleHandoff& handoff, const std::vector<StyleAction>& actions);

}  // namespace tovalo
