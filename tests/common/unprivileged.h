#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Permission bits stop an ordinary user but not root, and tests run as
// root on the build machines. Inside this guard's scope a root process
// takes the identity of "nobody" (after handing `tree` to it), so that a
// file made unreadable really cannot be read; other users are already
// bound by permissions and nothing changes for them.
class Unprivileged {
  public:
    static constexpr uid_t kNobody = 65534;

    explicit Unprivileged(const std::string& tree) {
        if (::geteuid() != 0) {
            return;
        }
        namespace fs = std::filesystem;
        // A tree that could not be handed over stays root's: the ids stay
        // too, and bound() says the bits do not bind.
        bool handedOver = ::lchown(tree.c_str(), kNobody, kNobody) == 0;
        for (const auto& entry : fs::recursive_directory_iterator(tree)) {
            handedOver = ::lchown(entry.path().c_str(), kNobody, kNobody) == 0 && handedOver;
        }
        // Real and effective ids both, so that a shell started from here
        // does not go back to root; the saved ids stay root for the way back.
        dropped_ = handedOver && ::setresgid(kNobody, kNobody, 0) == 0 &&
                   ::setresuid(kNobody, kNobody, 0) == 0;
    }
    ~Unprivileged() {
        // Every later test would run as nobody.
        if (dropped_ && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0)) {
            std::abort();
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // True when permission bits now bind this process.
    [[nodiscard]] bool bound() const { return dropped_ || ::geteuid() != 0; }

  private:
    bool dropped_ = false;
};
