#include "core/common/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace tovalo {

namespace {

namespace fs = std::filesystem;

std::string folderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

Error saveError(const std::string& path, int err) {
    return Error{"ファイルを保存できません (" + std::string(std::strerror(err)) + ")", path, 0};
}

SaveFault (*faultHook)(SaveStep) = nullptr;

SaveFault faultAt(SaveStep step) {
    return faultHook != nullptr ? faultHook(step) : SaveFault::None;
}

bool writeAll(int fd, std::string_view bytes) {
    if (faultAt(SaveStep::Written) == SaveFault::DiskFull) {
        errno = ENOSPC;
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The new file replaces the old one in every respect the learner set: a
// history kept private (mode 600) stays private, and a file that belongs to
// another account keeps its owner when root saves it.
bool takeOverOwnership(int fd, const std::string& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) {
        return errno == ENOENT;
    }
    if (::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    // After the owner: chown clears the set-id bits that chmod may restore.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

Status syncFolder(const std::string& folder, const std::string& path) {
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return saveError(path, errno);
    }
    int err = 0;
    if (faultAt(SaveStep::FolderSynced) == SaveFault::IoError) {
        err = EIO;
    } else if (::fsync(dirFd) != 0) {
        err = errno;
    }
    ::close(dirFd);
    if (err != 0) {
        return saveError(path, err);
    }
    return Ok{};
}

}  // namespace

Status saveFileAtomically(const std::string& path, std::string_view bytes, Durability durability) {
    const bool sync = durability == Durability::Synced;
    const std::string folder = folderOf(path);
    std::random_device rd;
    const std::string temp = folder + "/" + fs::path(path).filename().string() +
                             std::string(kSaveTempMarker) + std::to_string(rd());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return saveError(path, errno);
    }
    // A simulated crash leaves everything exactly as a dead process would.
    const auto crashed = [&](SaveStep step) { return faultAt(step) == SaveFault::Crash; };
    if (crashed(SaveStep::Created)) {
        ::close(fd);
        return saveError(path, EINTR);
    }
    int err = 0;
    if (!takeOverOwnership(fd, path)) {
        err = errno;
    } else if (!writeAll(fd, bytes)) {
        err = errno;
    } else if (crashed(SaveStep::Written)) {
        ::close(fd);
        return saveError(path, EINTR);
    } else if (sync && ::fsync(fd) != 0) {
        err = errno;
    } else if (crashed(SaveStep::Synced)) {
        ::close(fd);
        return saveError(path, EINTR);
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err == 0 && crashed(SaveStep::Closed)) {
        return saveError(path, EINTR);
    }
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(temp.c_str());
        return saveError(path, err);
    }
    if (crashed(SaveStep::Renamed)) {
        return saveError(path, EINTR);
    }
    if (!sync) {
        return Ok{};
    }
    // The rename is durable only once the folder entry is on disk.
    return syncFolder(folder, path);
}

bool failedForFullDisk(const Error& error) {
    return error.message == saveError(error.file, ENOSPC).message;
}

Status renameDurably(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return saveError(to, errno);
    }
    return syncFolder(folderOf(to), to);
}

int removeLeftoverSaveFiles(const std::string& dir) {
    int removed = 0;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(kSaveTempMarker) != std::string::npos && it->is_regular_file(ec)) {
            if (fs::remove(it->path(), ec)) {
                ++removed;
            }
        }
    }
    return removed;
}

int removeLeftoverSaveFilesUnder(const std::string& dir) {
    int removed = removeLeftoverSaveFiles(dir);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(
             dir, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            removed += removeLeftoverSaveFiles(it->path().string());
        }
    }
    return removed;
}

void setSaveFaultHookForTesting(SaveFault (*hook)(SaveStep)) {
    faultHook = hook;
}

}  // namespace tovalo
