#pragma once

#include "core/platform/file_attributes.h"

namespace tovalo::platform {

// Read-only is the absence of write permission; hidden has no attribute on
// this system (dot names are a naming rule, not an attribute) and is a no-op.
class PosixFileAttributes : public FileAttributes {
  public:
    Status setReadOnly(const std::string& path, bool readOnly) override;
    Status setHidden(const std::string& path, bool hidden) override;
    Result<std::chrono::system_clock::time_point> lastWriteTime(
        const std::string& path) const override;
    Status setFileTimes(const std::string& path,
                        std::chrono::system_clock::time_point time) override;
};

}  // namespace tovalo::platform
