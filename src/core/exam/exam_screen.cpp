#include "core/exam/exam_screen.h"

#include "core/exam/exam_engine.h"
#include "core/text/clock_text.h"

namespace tovalo {

ExamPanels examPanels(int clientHeight, int questionTop) {
    ExamPanels p;
    p.questionTop = questionTop;
    p.questionHeight = (clientHeight - 100) / 2;
    p.answerTop = questionTop + p.questionHeight + 10;
    p.answerHeight = (clientHeight - 50) / 2;
    return p;
}

std::vector<ChoiceRowPlace> choiceRowPlaces(const std::vector<int>& lineCounts) {
    std::vector<ChoiceRowPlace> places;
    places.reserve(lineCounts.size());
    int textTop = 7;
    int markTop = 5;
    for (int lines : lineCounts) {
        places.push_back({textTop, markTop, lines * kChoiceLineHeight + 10});
        // Neighbouring boxes share their border line, hence 9 and not 10.
        markTop = textTop + lines * kChoiceLineHeight + 7;
        textTop = textTop + lines * kChoiceLineHeight + 9;
    }
    return places;
}

QuestionLabelLook questionLabelLook(int position) {
    return position < 100 ? QuestionLabelLook{10, 1} : QuestionLabelLook{9, 5};
}

std::string questionLabelText(int position) {
    return "Q." + std::to_string(position);
}

std::string progressText(int position, int questionCount) {
    return std::to_string(position) + "問目/" + std::to_string(questionCount) + "問中";
}

std::string questionCountText(int questionCount) {
    return "問題数 : 全" + std::to_string(questionCount) + "問";
}

std::string timeLimitText(int timeLimitSeconds) {
    return "制限時間 : " + text::minutesSeconds(timeLimitSeconds);
}

std::string examCaption(bool reviewing, bool showQuestionNumbers, int quesNum) {
    if (reviewing) {
        return showQuestionNumbers ? "見直し中..." + std::to_string(quesNum) : "見直し中";
    }
    std::string caption = "Tovalo - 模擬試験中...";
    if (showQuestionNumbers) {
        caption += std::to_string(quesNum);
    }
    return caption;
}

CaseStudyLook caseStudyLook(std::string_view labelStyle) {
    if (labelStyle == "ｱ") {
        return {"問題", "ＭＳ ゴシック", "問題を表示します"};
    }
    return {"事例", "ＭＳ Ｐゴシック", "事例を表示します"};
}

bool repeatButtonShown(std::string_view labelStyle) {
    return labelStyle == "A";
}

std::string figureCaption(int figure) {
    return "図" + std::to_string(figure);
}

}  // namespace tovalo
