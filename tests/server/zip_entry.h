#pragma once

// Reads back the archives the server sends, with the library the client uses.

#include <zip.h>

#include <optional>
#include <string>

// The one entry of a zip archive held in memory.
inline std::optional<std::string> onlyEntry(const std::string& archive, std::string& name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    zip_t* zip = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (zip == nullptr || zip_get_num_entries(zip, 0) != 1) {
        return std::nullopt;
    }
    zip_stat_t st;
    zip_stat_index(zip, 0, 0, &st);
    name = st.name;
    std::string bytes(st.size, '\0');
    zip_file_t* f = zip_fopen_index(zip, 0, 0);
    const zip_int64_t n = zip_fread(f, bytes.data(), bytes.size());
    zip_fclose(f);
    zip_close(zip);
    return n == static_cast<zip_int64_t>(bytes.size()) ? std::optional(bytes) : std::nullopt;
}
