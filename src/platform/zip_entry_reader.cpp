#include "platform/zip_entry_reader.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <memory>

namespace tovalo::platform {

using update::kMaxCompressionRatio;
using update::kMaxEntryBytes;
using update::UnzipResult;

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

// Anything but a plain file: a link would let a later write land wherever
// it points, and a folder or a device is no question file.
bool isSpecialEntry(zip_t* archive, zip_uint64_t index, const std::string& name) {
    if (!name.empty() && name.back() == '/') {
        return true;
    }
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return true;
    }
    if (system != ZIP_OPSYS_UNIX) {
        return false;
    }
    const mode_t type = static_cast<mode_t>(attributes >> 16) & S_IFMT;
    return type != 0 && type != S_IFREG;
}

}  // namespace

UnzipResult readZipEntry(const std::string& archivePath, const std::string& entryName,
                         std::string& bytes) {
    int openError = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        return UnzipResult::Damaged;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0) {
        return UnzipResult::Damaged;
    }
    // Every name is looked at before anything is read, so an archive that
    // tries to escape is reported as such even when it also holds the file.
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (raw == nullptr) {
            return UnzipResult::Damaged;
        }
        const std::string name(raw);
        if (update::isUnsafeEntryName(name)) {
            return UnzipResult::UnsafeName;
        }
        if (isSpecialEntry(archive.get(), static_cast<zip_uint64_t>(i), name)) {
            return UnzipResult::NotAFile;
        }
    }
    if (count != 1 || entryName != zip_get_name(archive.get(), 0, ZIP_FL_ENC_RAW)) {
        return UnzipResult::UnexpectedEntry;
    }

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), 0, ZIP_FL_ENC_RAW, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0 || (stat.valid & ZIP_STAT_COMP_SIZE) == 0) {
        return UnzipResult::Damaged;
    }
    const std::uint64_t cap =
        std::min(kMaxEntryBytes, std::min(stat.comp_size, kMaxEntryBytes) * kMaxCompressionRatio);
    if (stat.size > cap) {
        return UnzipResult::TooLarge;
    }
    std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive.get(), 0, 0));
    if (!entry) {
        return UnzipResult::BadData;
    }
    // The sizes in the headers are the archive's word only: the bytes that
    // actually inflate are counted against the cap as they come.
    std::string& data = bytes;
    data.clear();
    char buffer[64 * 1024];
    while (true) {
        const zip_int64_t n = zip_fread(entry.get(), buffer, sizeof buffer);
        if (n < 0) {
            return UnzipResult::BadData;
        }
        if (n == 0) {
            break;
        }
        if (data.size() + static_cast<std::uint64_t>(n) > cap) {
            return UnzipResult::TooLarge;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    if (zip_fclose(entry.release()) != 0 || data.size() != stat.size) {
        return UnzipResult::BadData;
    }
    return UnzipResult::Success;
}

}  // namespace tovalo::platform
