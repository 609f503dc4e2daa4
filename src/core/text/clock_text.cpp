#include "core/text/clock_text.h"

namespace tovalo::text {

std::string minutesSeconds(int seconds) {
    return std::to_string(seconds / 60) + "' " + std::to_string(seconds % 60);
}

}  // namespace tovalo::text
