#pragma once

#include <chrono>
#include <string>

#include "core/common/result.h"

namespace tovalo::platform {

inline constexpr const char* kFileAccessDenied = "ファイルにアクセスできません";

// The attributes the program changes on files it generates or receives.
class FileAttributes {
  public:
    virtual ~FileAttributes() = default;

    virtual Status setReadOnly(const std::string& path, bool readOnly) = 0;
    // Hidden files are a desktop convention some systems have no attribute
    // for; there the call succeeds and changes nothing.
    virtual Status setHidden(const std::string& path, bool hidden) = 0;
    [[nodiscard]] virtual Result<std::chrono::system_clock::time_point> lastWriteTime(
        const std::string& path) const = 0;
    // Sets both the access and the modification time.
    virtual Status setFileTimes(const std::string& path,
                                std::chrono::system_clock::time_point time) = 0;
    // The same for `temp`, a finished file that is about to be renamed to
    // `path`: it then appears under that name with its bytes and its times
    // together, and a crash in between leaves neither.
    virtual Status setFileTimesBeforeRename(const std::string& temp, const std::string& path,
                                            std::chrono::system_clock::time_point time) {
        (void)path;
        return setFileTimes(temp, time);
    }
};

}  // namespace tovalo::platform
