#include "platform/proc_mounts_drive_lister.h"

#include <fstream>
#include <iterator>

#include "core/app/cdrom_drives.h"

namespace tovalo::platform {

std::vector<std::string> ProcMountsDriveLister::cdromRoots() const {
    // Files under /proc report a size of 0, so read to the end instead of
    // trusting the size.
    std::ifstream in(mountTable_, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string table((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return app::limitCdromDrives(app::parseCdromMounts(table));
}

}  // namespace tovalo::platform
