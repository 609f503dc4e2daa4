#pragma once

#include <sys/stat.h>
#include <unistd.h>

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
        (void)::lchown(tree.c_str(), kNobody, kNobody);
        for (const auto& entry : fs::recursive_directory_iterator(tree)) {
            (void)::lchown(entry.path().c_str(), kNobody, kNobody);
        }
        // Real and effective ids both, so that a shell started from here
        // does not go back to root; the saved ids stay root for the way back.
        dropped_ = ::setresgid(kNobody, kNobody, 0) == 0 && ::setresuid(kNobody, kNobody, 0) == 0;
    }
    ~Unprivileged() {
        if (dropped_) {
            (void)::setresuid(0, 0, 0);
            (void)::setresgid(0, 0, 0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // True when permission bits now bind this process.
    [[nodiscard]] bool bound() const { return dropped_ || ::geteuid() != 0; }

  private:
    bool dropped_ = false;
};
