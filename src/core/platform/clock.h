#pragma once

#include <chrono>

namespace tovalo::platform {

// Wall-clock time, behind an interface so that dates written into history
// files and pages can be fixed in a test.
class Clock {
  public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::chrono::system_clock::time_point now() const = 0;
};

// Calendar fields in the user's local time zone.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime toLocalDateTime(std::chrono::system_clock::time_point t);

}  // namespace tovalo::platform
