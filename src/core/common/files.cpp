#include "core/common/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace tovalo {

Result<std::string> readWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return Error{kFileNotFound, path, 0};
    }
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) {
        return Error{kFileNotFound, path, 0};
    }
    std::string data;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        data.append(buf, n);
    }
    if (std::ferror(f.get())) {
        return Error{kFileNotFound, path, 0};
    }
    return data;
}

Result<std::optional<std::string>> readFileIfPresent(const std::string& path) {
    const auto failed = [&path](int err) {
        return Error{"ファイルを読み込めません (" + std::string(std::strerror(err)) + ")", path, 0};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::optional<std::string>();
        }
        return failed(errno);
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            ::close(fd);
            return failed(err);
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return std::optional<std::string>(std::move(data));
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool directoryExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace tovalo
