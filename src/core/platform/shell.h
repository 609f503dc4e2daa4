#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo::platform {

inline constexpr const char* kCannotOpen = "開くことができません";

// Opens a file or an address with the desktop's default handler.
class Shell {
  public:
    virtual ~Shell() = default;

    // A local file that does not exist fails with kFileNotFound naming it,
    // before anything is started.
    virtual Status open(const std::string& target) = 0;
};

// True for targets that name a file on this machine: plain paths and
// "file:" addresses. Anything with another scheme ("http:", "mailto:") goes
// to the desktop untouched.
bool isLocalFileTarget(std::string_view target);

// The local file behind a target ("file:///x/y.htm" -> "/x/y.htm").
std::string localFilePath(std::string_view target);

// The check every Shell does before opening.
Status checkShellTarget(std::string_view target);

}  // namespace tovalo::platform
