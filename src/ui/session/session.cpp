#include "ui/session/session.h"

namespace tovalo::ui {

Session::Session(Services services, std::string programDir, app::CommandLine commandLine)
    : services(services),
      programDir(app::withTrailingSlash(programDir)),
      commandLine(std::move(commandLine)) {}

const app::Vendor* Session::vendor(int number) const {
    if (number < 1 || number > static_cast<int>(vendors.size())) {
        return nullptr;
    }
    return &vendors[number - 1];
}

std::vector<std::string> Session::vendorFolders() const {
    std::vector<std::string> folders;
    folders.reserve(vendors.size());
    for (const app::Vendor& v : vendors) {
        folders.push_back(v.folder);
    }
    return folders;
}

const CourseEntry* Session::course() const {
    if (CourseIndex < 1 || CourseIndex > static_cast<int>(catalog.courses.size())) {
        return nullptr;
    }
    return &catalog.courses[CourseIndex - 1];
}

}  // namespace tovalo::ui
