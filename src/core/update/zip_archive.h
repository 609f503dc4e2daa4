#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovalo::update {

// How unpacking a delivered archive ended. The codes are what the user is
// shown ("ｴﾗｰｺｰﾄﾞ: 14"), so they never change meaning.
enum class UnzipResult : int {
    Success = 0,
    DiskFull = 150,
    Damaged = 11,          // not an archive, cut short, or inconsistent
    UnsafeName = 12,       // absolute, "..", a backslash or a drive letter
    NotAFile = 13,         // a symbolic link, a folder or another special entry
    UnexpectedEntry = 14,  // not exactly the one entry the archive must hold
    TooLarge = 15,         // over the size or the compression ratio allowed
    BadData = 16,          // the entry's data does not inflate to what it claims
    WriteFailed = 17,      // the candidate could not be saved
    Unavailable = 18,      // the program's unpacking module could not be loaded
};

// A delivered archive holds one question file; nothing bigger is one.
inline constexpr std::uint64_t kMaxEntryBytes = 64ull * 1024 * 1024;
// Question files compress to about a fifth; a hundredfold is a bomb.
inline constexpr std::uint64_t kMaxCompressionRatio = 100;

// True for an entry name that could land outside the target folder, on any
// system the archive may have been made on.
bool isUnsafeEntryName(const std::string& name);

// Reads the one entry of the archive at `archivePath` into `bytes`: it must
// hold exactly one entry, a regular file named `entryName`, within the
// limits above. Never answers DiskFull nor WriteFailed. The desktop's reader
// is libzip's (platform/zip_entry_reader.h).
using EntryReader = UnzipResult (*)(const std::string& archivePath, const std::string& entryName,
                                    std::string& bytes);

// Unpacks that entry with `read` into the file `targetPath` (written with the
// safe save, so a failure leaves no partial file). Nothing else is ever
// written; every refusal is one of the codes above.
UnzipResult extractSingleEntry(EntryReader read, const std::string& archivePath,
                               const std::string& entryName, const std::string& targetPath);

}  // namespace tovalo::update
