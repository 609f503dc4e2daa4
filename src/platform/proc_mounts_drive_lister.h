#pragma once

#include <string>

#include "core/platform/drive_lister.h"

namespace tovalo::platform {

// Optical media as the kernel lists them in its mount table.
class ProcMountsDriveLister : public DriveLister {
  public:
    explicit ProcMountsDriveLister(std::string mountTable = "/proc/mounts")
        : mountTable_(std::move(mountTable)) {}

    std::vector<std::string> cdromRoots() const override;

  private:
    std::string mountTable_;
};

}  // namespace tovalo::platform
