#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/exam/selection.h"
#include "core/styles/answer_style.h"

namespace tovalo {

// What the result screen's review pane shows for one row of the grid.
struct ReviewPane {
    // The question, choices, explanation and references: plain text, or
    // for an HTML course the page content written in the styled mode.
    std::string text;
    // The pane is shorter when a row of buttons sits under it.
    int height = 233;
    std::vector<std::string> questionFigures;     // at most four
    bool questionFigureButtons = false;           // the style shows them (1, 2, 5)
    std::vector<std::string> explanationFigures;  // at most four read; three buttons
    std::optional<AnswerStyle> styleView;         // the View window of a special style
    bool mediaButton = false;                     // the question embeds a player
};

inline constexpr int kPaneHeight = 233;
inline constexpr int kPaneHeightWithButtons = 201;

// `questionDir`: the vendor's question folder, ending in "/".
ReviewPane reviewPane(const ExamQuestion& question, int formatKind, std::string_view labelStyle,
                      const std::string& questionDir);

}  // namespace tovalo
