#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/results/adaptive_list.h"
#include "core/text/trim.h"
#include "tools/commands.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// The adaptive list of one course, as the list window shows it.
int adaptiveListCommand(const std::string& root, const std::string& vendor,
                        const std::string& qdfName) {
    const Catalog catalog = vendorCatalog(root, vendor);
    // Question files carry ".qdf" in either case; the name as it is on the
    // disk wins over one that only matches ignoring case.
    const CourseEntry* course = nullptr;
    for (const CourseEntry& c : catalog.courses) {
        const std::string name = fileName(c.QdfPath);
        if (name == qdfName || (course == nullptr && text::equalsIgnoreAsciiCase(name, qdfName))) {
            course = &c;
        }
    }
    if (course == nullptr) {
        return fail(qdfName + ": " + vendor + " のコースにありません");
    }
    auto list = readAdaptiveList(course->AdpPath, course->QdfPath);
    if (!list) {
        return fail(list.error().describe());
    }
    if (!list->has_value()) {
        return fail(std::string(kNoAdaptiveHistory));
    }
    if ((*list)->categoryProblem) {
        std::fprintf(stderr, "%s\n", (*list)->categoryProblem->describe().c_str());
    }
    json rows = json::array();
    for (const AdaptiveListRow& row : (*list)->rows) {
        rows.push_back(row);
    }
    const json out = {{"rows", std::move(rows)}, {"totals", (*list)->totals}};
    std::printf("%s\n", out.dump(2).c_str());
    return 0;
}

}  // namespace

int adaptiveCommand(const Args& args) {
    if (args.size() == 4 && args[0] == "list") {
        return adaptiveListCommand(args[1], args[2], args[3]);
    }
    return 2;
}

}  // namespace tovalo::tool
