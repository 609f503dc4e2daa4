#pragma once

#include <string>

#include "core/update/zip_archive.h"

namespace tovalo::platform {

// The entry reader of update::extractSingleEntry, with libzip. The tool
// links it (zip_entry_reader.cpp); the program reads through its unpacking
// module, loaded on the first archive (qt_zip_module.cpp), and answers
// Unavailable, with the reason on standard error, when the module is missing.
update::UnzipResult readZipEntry(const std::string& archivePath, const std::string& entryName,
                                 std::string& bytes);

}  // namespace tovalo::platform
