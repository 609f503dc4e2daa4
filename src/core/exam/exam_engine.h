#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/exam/exam_progress.h"
#include "core/exam/selection.h"

namespace tovalo {

// The figure names of a text whose first line is an "<INCLUDE IMG>" line:
// the rest of that line is split at every "@" (text before the first "@"
// is ignored), at most `maxFigures` names.
std::vector<std::string> figureNames(std::string_view text, int maxFigures);

// The text as shown: without its "<INCLUDE IMG>" line.
std::string textWithoutFigureLine(std::string_view text);

// A shown choice as its row shows it: style 9 loses its two-character sort
// key, and what is then too short to hold text shows a single blank.
std::string choiceDisplayText(const std::string& shownChoice, int style);

// "A." … under the vendor's label style.
std::string choiceLabel(int slot, std::string_view labelStyle);

struct ClockHand {
    int x1 = 59, y1 = 53, x2 = 59, y2 = 53;
};
// One turn per minute, pointing up at 0 seconds and turning clockwise.
ClockHand clockHand(int elapsedSeconds);

// What one tick of the exam clock asks the screen to do.
struct TickResult {
    std::string sound;  // warning to play, empty for none
    bool redrawFullFace = false;
    bool redrawSmallFace = false;
    bool redHand = false;
    bool drawHand = true;
    bool togglePaceReminder = false;
    bool timeUp = false;        // stop the clock and show "タイムアップです。"
    std::string remainingText;  // "残り時間 : m' s"
};

enum class Move { Stayed, LoadQuestion, OpenReview };

// The exam's clock and navigation, without any window: the exam screen
// turns its clicks and timer ticks into these calls.
class ExamEngine {
  public:
    void start(const SelectionSettings& settings, int positions);

    [[nodiscard]] const ExamProgress& progress() const { return progress_; }
    [[nodiscard]] int current() const { return progress_.CurrentIndex; }  // 1-based
    [[nodiscard]] int positions() const { return progress_.positions(); }
    [[nodiscard]] bool onLastQuestion() const { return current() == positions(); }

    // The exam screen opens: no time has passed and none has run out.
    void restartClock() {
        progress_.ElapsedSeconds = 0;
        progress_.TimeUp = false;
    }

    // While the opening case study is shown, time cannot run out.
    void setTimeUpArmed(bool armed) { timeUpArmed_ = armed; }
    [[nodiscard]] bool timeUpArmed() const { return timeUpArmed_; }

    TickResult tick();
    // The learner acknowledged the time-up message.
    void acknowledgeTimeUp() { progress_.TimeUp = true; }

    // The current question was put on screen: its visit starts now.
    void questionShown() { entrySeconds_ = progress_.ElapsedSeconds; }
    // Records the marks and the sticky note of the current question.
    void saveAnswer(const std::array<bool, kMaxChoices>& marks, bool marked);
    // The same for any position (1-based).
    void recordAnswer(int position, const std::array<bool, kMaxChoices>& marks, bool marked);
    // The correct answer of a position was shown.
    void markAnswerViewed(int position);
    // Time and clock of an exam told from outside rather than lived through:
    // the tool replays scripted exams this way.
    void recordTime(int position, int seconds);
    void setElapsedSeconds(int seconds) { progress_.ElapsedSeconds = seconds; }

    Move next(const std::array<bool, kMaxChoices>& marks, bool marked);
    Move previous(const std::array<bool, kMaxChoices>& marks, bool marked);
    // Grade from the exam screen: save, count the visit, open the review list.
    Move grade(const std::array<bool, kMaxChoices>& marks, bool marked);
    // A double-click in the review list.
    void jumpTo(int position);

  private:
    void endVisit();

    ExamProgress progress_;
    SelectionSettings settings_;
    int entrySeconds_ = 0;
    bool timeUpArmed_ = true;
};

}  // namespace tovalo
