#include "core/platform/shell.h"

#include <cctype>

#include "core/common/files.h"

namespace tovalo::platform {

namespace {

// Length of a URL scheme at the start of `target` ("http" for "http://…"),
// 0 when there is none. One-letter schemes are not accepted so that a
// "C:/…" style path is never mistaken for an address.
std::size_t schemeLength(std::string_view target) {
    std::size_t i = 0;
    while (i < target.size()) {
        unsigned char c = static_cast<unsigned char>(target[i]);
        bool allowed =
            std::isalpha(c) || (i > 0 && (std::isdigit(c) || c == '+' || c == '-' || c == '.'));
        if (!allowed) {
            break;
        }
        ++i;
    }
    if (i >= 2 && i < target.size() && target[i] == ':') {
        return i;
    }
    return 0;
}

bool startsWithFileScheme(std::string_view target) {
    std::size_t n = schemeLength(target);
    if (n != 4) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(target[i])) != "file"[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isLocalFileTarget(std::string_view target) {
    return schemeLength(target) == 0 || startsWithFileScheme(target);
}

std::string localFilePath(std::string_view target) {
    if (!startsWithFileScheme(target)) {
        return std::string(target);
    }
    std::string_view rest = target.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        // Skip an authority ("localhost") up to the path.
        std::size_t slash = rest.find('/');
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash);
    }
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() &&
            std::isxdigit(static_cast<unsigned char>(rest[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(rest[i + 2]))) {
            path += static_cast<char>(std::stoi(std::string(rest.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

Status checkShellTarget(std::string_view target) {
    if (isLocalFileTarget(target)) {
        std::string path = localFilePath(target);
        if (!fileExists(path)) {
            return Error{kFileNotFound, path, 0};
        }
    }
    return Ok{};
}

}  // namespace tovalo::platform
