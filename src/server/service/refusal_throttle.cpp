#include "server/service/refusal_throttle.h"

#include <algorithm>
#include <cmath>

namespace tovalo::server::service {

std::chrono::milliseconds RefusalThrottle::refuse(const std::string& address,
                                                  Clock::time_point now) {
    using std::chrono::duration;
    const double perToken = duration<double, std::milli>(settings_.refill).count();
    std::lock_guard lock(mutex_);
    auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        // Full buckets hold nothing worth keeping: forgetting them under
        // a flood of addresses only forgives, never punishes.
        if (buckets_.size() >= settings_.maxAddresses) {
            std::erase_if(buckets_, [&](const auto& entry) {
                const double idle =
                    duration<double, std::milli>(now - entry.second.updated).count();
                return entry.second.tokens + idle / perToken >= settings_.burst;
            });
        }
        it = buckets_.emplace(address, Bucket{static_cast<double>(settings_.burst), now}).first;
    }
    Bucket& b = it->second;
    const double elapsed = duration<double, std::milli>(now - b.updated).count();
    b.tokens = std::min<double>(settings_.burst, b.tokens + elapsed / perToken);
    b.updated = now;
    b.tokens -= 1;
    if (b.tokens >= 0) {
        return std::chrono::milliseconds(0);
    }
    // A client that keeps trying while it waits only digs deeper, up to
    // the longest wait.
    const double floor = -settings_.maxDelay.count() / perToken;
    b.tokens = std::max(b.tokens, floor);
    return std::chrono::milliseconds(static_cast<long long>(-b.tokens * perToken));
}

std::chrono::milliseconds RefusalThrottle::owed(const std::string& address, Clock::time_point now) {
    using std::chrono::duration;
    const double perToken = duration<double, std::milli>(settings_.refill).count();
    std::lock_guard lock(mutex_);
    const auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        return std::chrono::milliseconds(0);
    }
    const double elapsed = duration<double, std::milli>(now - it->second.updated).count();
    const double tokens = std::min<double>(settings_.burst, it->second.tokens + elapsed / perToken);
    return std::chrono::milliseconds(
        tokens >= 1 ? 0 : static_cast<long long>(std::ceil((1 - tokens) * perToken)));
}

}  // namespace tovalo::server::service
