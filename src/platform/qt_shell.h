#pragma once

#include "core/platform/shell.h"

namespace tovalo::platform {

class QtShell : public Shell {
  public:
    Status open(const std::string& target) override;
};

}  // namespace tovalo::platform
