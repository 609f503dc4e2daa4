#pragma once

// Builds zip archives for tests with libzip, including the ones no honest
// server would send.

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

struct ZipEntry {
    ZipEntry(std::string entryName, std::string bytes, std::optional<std::uint32_t> mode = {},
             bool noCompression = false, bool isFolder = false)
        : name(std::move(entryName)),
          data(std::move(bytes)),
          unixMode(mode),
          stored(noCompression),
          folder(isFolder) {}

    std::string name;
    std::string data;
    // A Unix file type and mode for the external attributes (S_IFLNK | 0777).
    std::optional<std::uint32_t> unixMode;
    bool stored = false;  // no compression
    bool folder = false;
};

// The bytes of an archive holding `entries`, in order.
inline std::string makeZip(const std::vector<ZipEntry>& entries) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovalo-zip-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    ::close(fd);
    int error = 0;
    zip_t* archive = zip_open(pattern.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const ZipEntry& e : entries) {
        zip_int64_t index = -1;
        if (e.folder) {
            index = zip_dir_add(archive, e.name.c_str(), ZIP_FL_ENC_RAW);
        } else {
            zip_source_t* source = zip_source_buffer(archive, e.data.data(), e.data.size(), 0);
            index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_RAW);
        }
        if (index < 0) {
            std::abort();
        }
        const auto at = static_cast<zip_uint64_t>(index);
        if (e.stored) {
            zip_set_file_compression(archive, at, ZIP_CM_STORE, 0);
        }
        if (e.unixMode) {
            zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX, *e.unixMode << 16);
        }
    }
    zip_close(archive);
    std::stringstream ss;
    ss << std::ifstream(pattern, std::ios::binary).rdbuf();
    std::filesystem::remove(pattern);
    return ss.str();
}

// An archive with no entries at all: the end record alone.
inline std::string emptyZip() {
    return std::string("PK\x05\x06", 4) + std::string(18, '\0');
}

// Overwrites the uncompressed size that the local header and the central
// directory give for the archive's only entry.
inline std::string withClaimedSize(std::string zip, std::uint32_t size) {
    const auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) {
            zip[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        }
    };
    put(22);  // local file header
    const std::size_t central = zip.find(std::string("PK\x01\x02", 4));
    put(central + 24);
    return zip;
}
