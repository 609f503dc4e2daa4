#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovalo {

// What the exam screen shows and where, decided without a window.

inline constexpr int kExamMinWidth = 760;
inline constexpr int kExamMinHeight = 562;

// The question panel takes the upper half of the client area and the answer
// panel the lower one, 10 pixels apart; both follow the window's height.
struct ExamPanels {
    int questionTop = 0;
    int questionHeight = 0;
    int answerTop = 0;
    int answerHeight = 0;
};
ExamPanels examPanels(int clientHeight, int questionTop);

// Where a choice row sits in the answer panel: its text box and, 2 pixels
// higher, its radio button and check box.
struct ChoiceRowPlace {
    int textTop = 0;
    int markTop = 0;
    int textHeight = 0;
};
inline constexpr int kChoiceLineHeight = 12;
// One place per row, from the number of lines each row's text takes.
std::vector<ChoiceRowPlace> choiceRowPlaces(const std::vector<int>& lineCounts);

// Three-digit question numbers get a smaller label set lower, so that
// "Q.100" fits the same box as "Q.99".
struct QuestionLabelLook {
    int pointSize = 10;
    int top = 1;
};
QuestionLabelLook questionLabelLook(int position);

// The question box shows its scroll bar only for texts longer than this.
inline constexpr int kQuestionBoxLines = 12;

std::string questionLabelText(int position);                // "Q.7"
std::string progressText(int position, int questionCount);  // "7問目/10問中"
std::string questionCountText(int questionCount);           // "問題数 : 全10問"
std::string timeLimitText(int timeLimitSeconds);            // "制限時間 : 30' 0"

// The window caption; question numbers are shown only in the debug display.
std::string examCaption(bool reviewing, bool showQuestionNumbers, int quesNum);

inline constexpr const char* kSuspendHint = "試験を中断します";
inline constexpr const char* kResumeHint = "試験を再開します";
inline constexpr const char* kRepeatHint = "再度、模擬問題を繰り返します";
inline constexpr const char* kStickyNoteCaption = "この問題に付箋を立てておく";
inline constexpr const char* kAnswerPanelTitle = "解答群";
inline constexpr const char* kPaceReminder1 = "そろそろ次の問題へ";
inline constexpr const char* kPaceReminder2 = "進みましょう。";
inline constexpr const char* kTimeUpCaption = "タイムアップ";
inline constexpr const char* kTimeUpMessage = "タイムアップです。";
inline constexpr const char* kCloseExamQuestion = "テストを終了しますか?";

// Vendors with the katakana label style call their case study the
// "problem" and show it in the fixed-pitch face.
struct CaseStudyLook {
    std::string caption;   // window title and figure-free wording
    std::string fontName;  // as the material names it
    std::string buttonHint;
};
CaseStudyLook caseStudyLook(std::string_view labelStyle);

// Only vendors with capital letter labels offer the repeat button.
bool repeatButtonShown(std::string_view labelStyle);

// "図1" … "図4", the caption of the figure window a figure button opens.
std::string figureCaption(int figure);

}  // namespace tovalo
