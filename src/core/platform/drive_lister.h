#pragma once

#include <string>
#include <vector>

namespace tovalo::platform {

// Lists the roots of mounted CD-ROM and DVD media, each ending with "/".
class DriveLister {
  public:
    virtual ~DriveLister() = default;
    [[nodiscard]] virtual std::vector<std::string> cdromRoots() const = 0;
};

}  // namespace tovalo::platform
