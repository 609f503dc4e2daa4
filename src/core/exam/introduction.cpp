#include "core/exam/introduction.h"

#include "core/questions/numbers.h"

namespace tovalo {

std::array<std::string, 3> introductionLines(const std::string& examTitle,
                                             const SelectionSettings& settings, int drawnCount) {
    const std::string count = parseFileInteger(settings.CountField) == drawnCount
                                  ? settings.CountField
                                  : std::to_string(drawnCount);
    return {"テスト名 : " + examTitle + " ", "問題数   : " + count + "問",
            "制限時間 : " + settings.TimeField + "分"};
}

IntroductionCountdown::Tick IntroductionCountdown::tick() {
    ++ticks_;
    return {ticks_ == 1, ticks_ > kHandOverTicks};
}

}  // namespace tovalo
