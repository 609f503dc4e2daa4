#include "core/views/answer_view.h"

#include "core/exam/choice_letters.h"
#include "core/views/explanation_text.h"

namespace tovalo {

AnswerStyle viewWindowStyle(AnswerStyle style) {
    return style == AnswerStyle::ClickPicture ? AnswerStyle::Graphic : style;
}

AnswerViewContent answerViewContent(const ExamQuestion& question, int formatKind,
                                    std::string_view labelStyle, const std::string& questionDir) {
    AnswerViewContent view;
    std::vector<std::string> lines = textLines(question.Explanation);
    for (const std::string& name : takeFigureLine(lines)) {
        view.figurePaths.push_back(figurePath(questionDir, name));
    }
    lines.insert(lines.begin(), std::string());
    for (std::string& line : answerReferenceLines(question.RefText, question.RefPage, formatKind)) {
        lines.push_back(std::move(line));
    }
    view.text = memoText(lines);

    const AnswerStyleTraits& traits = traitsOf(question.Style);
    if (traits.answeredWith == AnswerWith::StyleWindow ||
        traits.answeredWith == AnswerWith::Picture) {
        view.styleView = viewWindowStyle(traits.style);
    } else {
        for (int i = 1; i <= kMaxChoices; ++i) {
            if (question.ShownCorrect[i - 1]) {
                view.letters += " " + choiceLetter(i, labelStyle);
            }
        }
    }
    return view;
}

std::string faqAddress(std::string_view urlrefFirstLine, std::string_view examCode, int quesNum) {
    return std::string(urlrefFirstLine) + "?testid=" + std::string(examCode) +
           "&testno=" + std::to_string(quesNum);
}

}  // namespace tovalo
