#pragma once

#include "core/platform/clock.h"

namespace tovalo::platform {

class SystemClock : public Clock {
  public:
    std::chrono::system_clock::time_point now() const override {
        return std::chrono::system_clock::now();
    }
};

}  // namespace tovalo::platform
