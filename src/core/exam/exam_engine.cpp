#include "core/exam/exam_engine.h"

#include <algorithm>
#include <cmath>

#include "core/exam/choice_letters.h"
#include "core/questions/figure_line.h"
#include "core/styles/answer_style.h"
#include "core/text/characters.h"
#include "core/text/clock_text.h"
#include "core/text/cp932.h"

namespace tovalo {

namespace {

std::string_view firstLine(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

std::vector<std::string> figureNames(std::string_view text, int maxFigures) {
    const std::string_view line = firstLine(text);
    if (line.find(kFigureMarker) == std::string_view::npos) {
        return {};
    }
    return figureLineNames(line, static_cast<std::size_t>(std::max(maxFigures, 0)));
}

std::string textWithoutFigureLine(std::string_view text) {
    if (firstLine(text).find(kFigureMarker) == std::string_view::npos) {
        return std::string(text);
    }
    const std::size_t lf = text.find('\n');
    return lf == std::string_view::npos ? std::string() : std::string(text.substr(lf + 1));
}

std::string choiceDisplayText(const std::string& shownChoice, int style) {
    if (!traitsOf(style).keyedChoices) {
        return shownChoice;
    }
    return text::characterCount(shownChoice) < 3
               ? std::string(" ")
               : std::string(text::withoutFirstCharacters(shownChoice, 2));
}

std::string choiceLabel(int slot, std::string_view labelStyle) {
    return choiceLetter(slot, labelStyle) + ".";
}

ClockHand clockHand(int elapsedSeconds) {
    const double a = M_PI - elapsedSeconds * M_PI / 30.0;
    ClockHand h;
    h.x2 = static_cast<int>(std::nearbyint(std::sin(a) * 42 + 59));
    h.y2 = static_cast<int>(std::nearbyint(std::cos(a) * 42 + 53));
    return h;
}

void ExamEngine::start(const SelectionSettings& settings, int positions) {
    settings_ = settings;
    progress_.reset(positions);
    progress_.CurrentIndex = 1;
    entrySeconds_ = 0;
    timeUpArmed_ = true;
}

TickResult ExamEngine::tick() {
    TickResult t;
    const int limit = settings_.TimeLimitSeconds;
    const int r = limit - progress_.ElapsedSeconds;
    if (settings_.TimeLimitOn) {
        if (r == 600) {
            t.sound = "wav/10min.wav";
        } else if (r == 300) {
            t.sound = "wav/05min.wav";
        } else if (r == 60) {
            t.sound = "wav/01min.wav";
        }
    }
    const auto paceCheck = [&] {
        const int n = std::max(positions(), 1);
        const int due = static_cast<int>(static_cast<double>(limit) / n * progress_.CurrentIndex);
        t.togglePaceReminder = progress_.ElapsedSeconds > due + 1;
    };
    if (r >= 59 || !settings_.TimeLimitOn) {
        // Without a limit the face is still redrawn, so old hands never pile up.
        if (settings_.TimeLimitOn) {
            paceCheck();
        }
        t.redrawFullFace = true;
    } else if (r > 0) {
        paceCheck();
        t.redrawSmallFace = true;
        t.redHand = true;
    } else if (timeUpArmed_) {
        t.timeUp = true;
        // The exam took exactly its limit: the clock stops here.
        progress_.ElapsedSeconds = limit;
        t.drawHand = false;
        t.remainingText = "残り時間 : " + text::minutesSeconds(0);
        return t;
    }
    t.drawHand = r != 0;
    t.remainingText = "残り時間 : " + text::minutesSeconds(r);
    progress_.ElapsedSeconds += 1;
    return t;
}

void ExamEngine::saveAnswer(const std::array<bool, kMaxChoices>& marks, bool marked) {
    recordAnswer(current(), marks, marked);
}

void ExamEngine::recordAnswer(int position, const std::array<bool, kMaxChoices>& marks,
                              bool marked) {
    if (position < 1 || position > positions()) {
        return;
    }
    progress_.Answer[position - 1] = marks;
    progress_.Marked[position - 1] = marked;
}

void ExamEngine::markAnswerViewed(int position) {
    if (position >= 1 && position <= positions()) {
        progress_.AnswerViewed[position - 1] = true;
    }
}

void ExamEngine::recordTime(int position, int seconds) {
    if (position >= 1 && position <= positions()) {
        progress_.TimeSpent[position - 1] += seconds;
    }
}

void ExamEngine::endVisit() {
    const int q = current();
    if (q >= 1 && q <= positions()) {
        // Time-up winds the clock back to the limit; a visit that started
        // after it (the case study was read past the limit) counts as none.
        progress_.TimeSpent[q - 1] += std::max(0, progress_.ElapsedSeconds - entrySeconds_);
    }
    // A visit is counted once even when grading is asked for twice.
    entrySeconds_ = progress_.ElapsedSeconds;
}

Move ExamEngine::next(const std::array<bool, kMaxChoices>& marks, bool marked) {
    saveAnswer(marks, marked);
    endVisit();
    progress_.CurrentIndex += 1;
    return current() > positions() ? Move::OpenReview : Move::LoadQuestion;
}

Move ExamEngine::previous(const std::array<bool, kMaxChoices>& marks, bool marked) {
    if (current() <= 1) {
        return Move::Stayed;
    }
    saveAnswer(marks, marked);
    endVisit();
    progress_.CurrentIndex -= 1;
    return Move::LoadQuestion;
}

Move ExamEngine::grade(const std::array<bool, kMaxChoices>& marks, bool marked) {
    saveAnswer(marks, marked);
    endVisit();
    return Move::OpenReview;
}

void ExamEngine::jumpTo(int position) {
    if (position >= 1 && position <= positions()) {
        progress_.CurrentIndex = position;
    }
}

}  // namespace tovalo
