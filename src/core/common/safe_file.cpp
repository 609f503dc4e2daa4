#include "core/common/safe_file.h"

#include <fcntl.h>
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
    if (!writeAll(fd, bytes)) {
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
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return Ok{};
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

void setSaveFaultHookForTesting(SaveFault (*hook)(SaveStep)) {
    faultHook = hook;
}

}  // namespace tovalo
