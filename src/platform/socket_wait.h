#pragma once

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace tovalo::platform {

// Waits until the socket is ready for `events`: above 0 when it is, 0 when
// the time-out passed, below 0 on an error.
inline int waitFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, static_cast<int>(timeout.count()));
    } while (r < 0 && errno == EINTR);
    return r;
}

}  // namespace tovalo::platform
