#include "core/common/safe_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <set>

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

// The names of the temporary files this process is writing right now: a
// sweep (before an update, say) runs beside the saves of other threads.
std::mutex savesMutex;
std::set<std::string> savesUnderWay;

// Keeps a temporary file's name in savesUnderWay while its save runs.
class SaveUnderWay {
  public:
    explicit SaveUnderWay(std::string name) : name_(std::move(name)) {
        const std::lock_guard lock(savesMutex);
        savesUnderWay.insert(name_);
    }
    ~SaveUnderWay() {
        const std::lock_guard lock(savesMutex);
        savesUnderWay.erase(name_);
    }
    SaveUnderWay(const SaveUnderWay&) = delete;
    SaveUnderWay& operator=(const SaveUnderWay&) = delete;

  private:
    std::string name_;
};

// The id of the process that wrote a temporary name, when the name says.
std::optional<pid_t> writerOf(std::string_view name) {
    const std::string_view rest = name.substr(name.find(kSaveTempMarker) + kSaveTempMarker.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9) {
        return std::nullopt;
    }
    pid_t pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        pid = pid * 10 + (c - '0');
    }
    return pid > 0 ? std::optional<pid_t>(pid) : std::nullopt;
}

// A temporary file is a leftover once no running save can still rename it:
// this process is not writing it, and the process that was has ended.
// Names without a process id come from before ids were written and are
// leftovers too.
bool isLeftover(const std::string& name) {
    {
        const std::lock_guard lock(savesMutex);
        if (savesUnderWay.contains(name)) {
            return false;
        }
    }
    const std::optional<pid_t> writer = writerOf(name);
    if (!writer || *writer == ::getpid()) {
        return true;
    }
    return ::kill(*writer, 0) != 0 && errno == ESRCH;
}

}  // namespace

Status saveFileAtomically(const std::string& path, std::string_view bytes, Durability durability,
                          const BeforeRename& beforeRename) {
    const bool sync = durability == Durability::Synced;
    const std::string folder = folderOf(path);
    std::random_device rd;
    const std::string tempName = fs::path(path).filename().string() + std::string(kSaveTempMarker) +
                                 std::to_string(::getpid()) + "-" + std::to_string(rd());
    const std::string temp = folder + "/" + tempName;
    const SaveUnderWay underWay(tempName);
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
    }
    // Before the sync, so that what the step changes is synced with the bytes.
    if (err == 0 && beforeRename) {
        if (Status prepared = beforeRename(temp); !prepared) {
            ::close(fd);
            ::unlink(temp.c_str());
            return prepared;
        }
    }
    if (err == 0 && sync && ::fsync(fd) != 0) {
        err = errno;
    } else if (err == 0 && crashed(SaveStep::Synced)) {
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

int removeLeftoverSaveFiles(const std::string& dir, int depth) {
    int removed = 0;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        // The type comes with the listing: only matching names cost a look more.
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (name.find(kSaveTempMarker) != std::string::npos) {
            if (it->is_regular_file(typeError) && isLeftover(name) &&
                fs::remove(it->path(), typeError)) {
                ++removed;
            }
        } else if (depth > 0 && it->is_directory(typeError) && !it->is_symlink(typeError)) {
            removed += removeLeftoverSaveFiles(it->path().string(), depth - 1);
        }
    }
    return removed;
}

int removeLeftoverSaveFilesUnder(const std::string& dir) {
    return removeLeftoverSaveFiles(dir, INT_MAX);
}

void setSaveFaultHookForTesting(SaveFault (*hook)(SaveStep)) {
    faultHook = hook;
}

}  // namespace tovalo
