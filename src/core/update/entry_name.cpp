// Kept apart from the unpacking, so that the program's unpacking module
// can check names without taking the safe save along.
#include <string>
#include <string_view>

#include "core/update/zip_archive.h"

namespace tovalo::update {

namespace {

bool isDriveLetter(std::string_view component) {
    return component.size() >= 2 && component[1] == ':' &&
           ((component[0] >= 'A' && component[0] <= 'Z') ||
            (component[0] >= 'a' && component[0] <= 'z'));
}

}  // namespace

bool isUnsafeEntryName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos ||
        isDriveLetter(name)) {
        return true;
    }
    std::string_view rest(name);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        if (rest.substr(0, slash) == "..") {
            return true;
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return false;
}

}  // namespace tovalo::update
