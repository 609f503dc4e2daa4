#pragma once

#include <array>
#include <string>

namespace tovalo {

inline constexpr const char* kIntroductionSound = "wav/start.wav";

// The three lines of the introduction card, from the course title and the
// count and time fields exactly as they were typed.
std::array<std::string, 3> introductionLines(const std::string& examTitle,
                                             const std::string& countField,
                                             const std::string& timeField);

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
