#pragma once

#include <array>
#include <string>

#include "core/exam/selection.h"

namespace tovalo {

inline constexpr const char* kIntroductionSound = "wav/start.wav";

// The three lines of the introduction card: the course title, and the count
// and time fields exactly as they were typed, except that a draw that found
// fewer questions than asked for shows how many will really be asked.
std::array<std::string, 3> introductionLines(const std::string& examTitle,
                                             const SelectionSettings& settings, int drawnCount);

// The card's 100 ms countdown: the start sound on the first tick and the
// exam screen once it has ticked more than kHandOverTicks times (about two
// seconds).
class IntroductionCountdown {
  public:
    static constexpr int kIntervalMs = 100;
    static constexpr int kHandOverTicks = 20;

    struct Tick {
        bool playStart = false;
        bool handOver = false;
    };

    Tick tick();
    void reset() { ticks_ = 0; }
    [[nodiscard]] int ticks() const { return ticks_; }

  private:
    int ticks_ = 0;
};

}  // namespace tovalo
