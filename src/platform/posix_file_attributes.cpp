#include "platform/posix_file_attributes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/common/files.h"

namespace tovalo::platform {

namespace {

Error failure(const std::string& path) {
    return Error{errno == ENOENT ? kFileNotFound : kFileAccessDenied, path, 0};
}

}  // namespace

Status PosixFileAttributes::setReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return failure(path);
    }
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (::chmod(path.c_str(), mode) != 0) {
        return failure(path);
    }
    return Ok{};
}

Status PosixFileAttributes::setHidden(const std::string& path, bool) {
    if (!fileExists(path) && !directoryExists(path)) {
        return Error{kFileNotFound, path, 0};
    }
    return Ok{};
}

Result<std::chrono::system_clock::time_point> PosixFileAttributes::lastWriteTime(
    const std::string& path) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return failure(path);
    }
    auto since =
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(since));
}

Status PosixFileAttributes::setFileTimes(const std::string& path,
                                         std::chrono::system_clock::time_point time) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch());
    struct timespec when {};
    when.tv_sec = static_cast<time_t>(ns.count() / 1'000'000'000);
    when.tv_nsec = static_cast<long>(ns.count() % 1'000'000'000);
    if (when.tv_nsec < 0) {
        when.tv_nsec += 1'000'000'000;
        when.tv_sec -= 1;
    }
    struct timespec times[2] = {when, when};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        return failure(path);
    }
    return Ok{};
}

}  // namespace tovalo::platform
