#include "core/update/zip_archive.h"

#include "core/common/safe_file.h"

namespace tovalo::update {

UnzipResult extractSingleEntry(EntryReader read, const std::string& archivePath,
                               const std::string& entryName, const std::string& targetPath) {
    if (read == nullptr) {
        return UnzipResult::Unavailable;
    }
    std::string data;
    if (const UnzipResult result = read(archivePath, entryName, data);
        result != UnzipResult::Success) {
        return result;
    }
    if (Status saved = saveFileAtomically(targetPath, data); !saved) {
        return failedForFullDisk(saved.error()) ? UnzipResult::DiskFull : UnzipResult::WriteFailed;
    }
    return UnzipResult::Success;
}

}  // namespace tovalo::update
