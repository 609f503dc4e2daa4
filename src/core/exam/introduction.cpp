#include "core/exam/introduction.h"

namespace tovalo {

std::array<std::string, 3> introductionLines(const std::string& examTitle,
                                             const std::string& countField,
                                             const std::string& timeField) {
    return {"テスト名 : " + examTitle + " ", "問題数   : " + countField + "問",
            "制限時間 : " + timeField + "分"};
}

IntroductionCountdown::Tick IntroductionCountdown::tick() {
    ++ticks_;
    return {ticks_ == 1, ticks_ > kHandOverTicks};
}

}  // namespace tovalo
