#include "core/app/directories.h"

#include "core/common/files.h"

namespace tovalo::app {

std::string withTrailingSlash(std::string_view dir) {
    std::string result(dir);
    if (!result.empty() && result.back() != '/') {
        result += '/';
    }
    return result;
}

std::string parentDirectory(std::string_view dir) {
    std::string_view d = dir;
    while (d.size() > 1 && d.back() == '/') {
        d.remove_suffix(1);
    }
    std::size_t slash = d.rfind('/');
    if (slash == std::string_view::npos) {
        // A relative name with one component: its parent is the current directory.
        return "./";
    }
    return std::string(d.substr(0, slash + 1));
}

Directories Directories::resolve(std::string_view programDir) {
    Directories dirs;
    dirs.programDir_ = withTrailingSlash(programDir);
    dirs.root_ = parentDirectory(dirs.programDir_);
    std::string rootQdat = dirs.root_ + "QDAT/";
    dirs.questionBase_ = directoryExists(rootQdat) ? rootQdat : dirs.programDir_ + "QDAT/";
    return dirs;
}

std::string Directories::questionDir(std::string_view vendorFolder) const {
    return questionBase_ + std::string(vendorFolder) + "/";
}

std::string Directories::imageDir(std::string_view vendorFolder) const {
    return questionDir(vendorFolder) + "img/";
}

std::string Directories::historyDir(std::string_view vendorFolder) const {
    return historyBase() + std::string(vendorFolder) + "/";
}

std::string Directories::pathValue() const {
    if (root_.size() > 1 && root_.back() == '/') {
        return root_.substr(0, root_.size() - 1);
    }
    return root_;
}

}  // namespace tovalo::app
