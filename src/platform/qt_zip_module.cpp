#include <cstdio>

#include "platform/qt_modules.h"
#include "platform/zip_entry_reader.h"
#include "platform/zip_module.h"

namespace tovalo::platform {

update::UnzipResult readZipEntry(const std::string& archivePath, const std::string& entryName,
                                 std::string& bytes) {
    QString reason;
    auto* module = moduleInterface<ZipEntryReaderModule>(QStringLiteral("tovalo_unzip"), &reason);
    if (module == nullptr) {
        std::fprintf(stderr, "tovalo: cannot unpack archives: %s\n", qPrintable(reason));
        return update::UnzipResult::Unavailable;
    }
    return module->reader()(archivePath, entryName, bytes);
}

}  // namespace tovalo::platform
