#include "core/platform/clock.h"

#include <ctime>

namespace tovalo::platform {

LocalDateTime toLocalDateTime(std::chrono::system_clock::time_point t) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm fields{};
    localtime_r(&seconds, &fields);
    return LocalDateTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                         fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace tovalo::platform
