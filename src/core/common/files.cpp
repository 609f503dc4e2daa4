#include "core/common/files.h"

#include <cstdio>
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

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool directoryExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace tovalo
