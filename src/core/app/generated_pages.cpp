#include "core/app/generated_pages.h"

#include <filesystem>
#include <system_error>

namespace tovalo::app {

std::vector<std::string> generatedPages(const Directories& dirs,
                                        const std::vector<std::string>& vendorFolders) {
    std::vector<std::string> pages;
    for (const std::string& folder : vendorFolders) {
        for (std::string_view page : kPagesRemovedAtExit) {
            pages.push_back(dirs.questionDir(folder) + std::string(page));
        }
    }
    return pages;
}

void removeGeneratedPages(const Directories& dirs, const std::vector<std::string>& vendorFolders) {
    for (const std::string& page : generatedPages(dirs, vendorFolders)) {
        std::error_code ignored;
        std::filesystem::remove(page, ignored);
    }
}

}  // namespace tovalo::app
