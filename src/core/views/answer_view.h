#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/exam/selection.h"
#include "core/styles/answer_style.h"

namespace tovalo {

// What the answer view shows for one question.
struct AnswerViewContent {
    // The correct letters, each after a blank (" B D"); empty for the
    // special styles, which show the button of their View instead.
    std::string letters;
    // The style whose View window the button opens (the click picture
    // shares the graphic style's).
    std::optional<AnswerStyle> styleView;
    // The explanation as the view's memo holds it: an empty first line, the
    // explanation without its leading empty lines and figure line, then the
    // reference block; every line ends with CR LF. An HTML course's page is
    // written from this text with its first line dropped.
    std::string text;
    // The explanation's figures (at most four names are read; three buttons show).
    std::vector<std::string> figurePaths;
};

inline constexpr int kExplanationFigureButtons = 3;

// The style whose View window shows the correct answer of `style`.
AnswerStyle viewWindowStyle(AnswerStyle style);

// `questionDir`: the vendor's question folder, ending in "/".
AnswerViewContent answerViewContent(const ExamQuestion& question, int formatKind,
                                    std::string_view labelStyle, const std::string& questionDir);

// The FAQ address of a question: the first line of "urlref" with the
// course and question named in its query.
std::string faqAddress(std::string_view urlrefFirstLine, std::string_view examCode, int quesNum);

}  // namespace tovalo
