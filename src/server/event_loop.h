#pragma once

#include <functional>
#include <memory>

namespace tovalo::server {

// The loop a connection is served on, as a client of another service sees
// it when it must not block that loop: it may wait there for its own
// sockets, and keep per-loop state that goes when the loop goes. Every call
// is made on the loop's own thread, and every wait is answered there.
class EventLoop {
  public:
    // What a client keeps on a loop, e.g. its session with a database.
    class State {
      public:
        virtual ~State() = default;
    };

    virtual ~EventLoop() = default;

    // `ready` runs once, later, when `fd` can be read (or written) or has
    // failed, which the next read or write then tells; never once forget(fd)
    // was called or the loop has gone. False: the loop cannot watch `fd`
    // (out of descriptors), and `ready` will not run.
    [[nodiscard]] virtual bool whenReadable(int fd, std::function<void()> ready) = 0;
    [[nodiscard]] virtual bool whenWritable(int fd, std::function<void()> ready) = 0;
    // Stops watching `fd` and drops its waits. The descriptor itself stays
    // its owner's, who calls this before closing it and once it may have
    // come to name another socket (a connection that failed or moved on).
    virtual void forget(int fd) = 0;

    // One client's state on this loop; empty until that client sets it.
    virtual std::unique_ptr<State>& state() = 0;
};

}  // namespace tovalo::server
