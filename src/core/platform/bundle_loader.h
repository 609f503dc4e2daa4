#pragma once

#include <string>

#include "core/common/result.h"

namespace tovalo::platform {

inline constexpr const char* kBundleUnreadable = "リソースファイルを読み込めません";

// A vendor's resource bundle: numbered strings and pictures that give a
// vendor its look. Several are loaded at once, each in its own slot
// (1, 2, …), and stay loaded until the program ends.
class BundleLoader {
  public:
    virtual ~BundleLoader() = default;

    // Loads the bundle file into `slot` and returns its string table, the
    // UTF-8 text of the bundle's "strings.txt". A bundle that cannot be loaded
    // or has no string table fails and leaves the slot free.
    virtual Result<std::string> load(const std::string& file, int slot) = 0;
    virtual void unload(int slot) = 0;
};

}  // namespace tovalo::platform
