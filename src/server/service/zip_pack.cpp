#include "server/service/zip_pack.h"

#include <zip.h>

#include <memory>

namespace tovalo::server::service {

namespace {

Error zipError(zip_error_t* error) {
    Error e{std::string("zip: ") + zip_error_strerror(error), {}, 0};
    zip_error_fini(error);
    return e;
}

struct SourceFree {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};

}  // namespace

Result<std::string> singleEntryZip(std::string_view name, std::string_view bytes,
                                   std::time_t modified) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> archive(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!archive) {
        return zipError(&error);
    }
    // The archive is written into the buffer source when it is closed; the
    // source must outlive that to be read back.
    zip_t* zip = zip_open_from_source(archive.get(), ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        return zipError(&error);
    }
    zip_source_keep(archive.get());
    zip_source_t* entry = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    const std::string entryName(name);
    const zip_int64_t index =
        entry == nullptr ? -1 : zip_file_add(zip, entryName.c_str(), entry, ZIP_FL_ENC_RAW);
    if (index < 0) {
        if (entry != nullptr) {
            zip_source_free(entry);
        }
        Error e{std::string("zip: ") + zip_strerror(zip), {}, 0};
        zip_discard(zip);
        return e;
    }
    const auto at = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(zip, at, ZIP_CM_DEFLATE, 9) != 0 ||
        zip_file_set_mtime(zip, at, modified, 0) != 0 || zip_close(zip) != 0) {
        Error e{std::string("zip: ") + zip_strerror(zip), {}, 0};
        zip_discard(zip);
        return e;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(archive.get(), &st) != 0 || zip_source_open(archive.get()) != 0) {
        return zipError(zip_source_error(archive.get()));
    }
    std::string out(st.size, '\0');
    const zip_int64_t read = zip_source_read(archive.get(), out.data(), out.size());
    zip_source_close(archive.get());
    if (read < 0 || static_cast<zip_uint64_t>(read) != st.size) {
        return Error{"zip: the archive could not be read back", {}, 0};
    }
    return out;
}

Result<std::string> smallerForm(std::string_view name, std::string_view bytes,
                                std::time_t modified) {
    Result<std::string> zip = singleEntryZip("#" + std::string(name), bytes, modified);
    if (!zip) {
        return zip.error();
    }
    return zip->size() < bytes.size() ? std::move(*zip) : std::string(bytes);
}

}  // namespace tovalo::server::service
