#include <nlohmann/json.hpp>

#include "core/app/address_files.h"
#include "core/app/directories.h"
#include "core/common/files.h"
#include "core/results/advisor.h"
#include "tools/commands.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

json advisorJson(const AdvisorCourses& read) {
    json out = json::array();
    for (const AdvisorCourse& c : read.courses) {
        json categories = json::array();
        for (std::size_t k = 0; k < c.CategoryName.size() && k < c.history.categories.size(); ++k) {
            const CategoryRecord& cat = c.history.categories[k];
            categories.push_back({{"CategoryName", c.CategoryName[k]},
                                  {"CategoryAverage", cat.CategoryAverage},
                                  {"CategoryBest", cat.CategoryBest}});
        }
        out.push_back({{"ExamCode", c.ExamCode},
                       {"ExamTitle", c.ExamTitle},
                       {"AverageRate", c.history.AverageRate},
                       {"BestRate", c.history.BestRate},
                       {"PassMark", c.PassMark ? json(*c.PassMark) : json()},
                       {"HasAdaptive", c.HasAdaptive},
                       {"categories", categories}});
    }
    return out;
}

}  // namespace

int reportCommand(const Args& args) {
    if (args.empty()) {
        return 2;
    }
    const std::string& what = args[0];
    const bool page = what == "summary" || what == "form";
    if (!page && what != "advisor") {
        return 2;
    }
    std::string profilePath;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--profile" && i + 1 < args.size()) {
            profilePath = args[++i];
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != (page ? 3u : 2u) || (!page && !profilePath.empty())) {
        return 2;
    }
    const std::string& root = positional[0];
    const std::string& vendor = positional[1];
    AdvisorCourses read = readAdvisorCourses(vendorCatalog(root, vendor).courses);
    readAllCategoryNames(read);
    for (const Error& e : read.problems) {
        std::fprintf(stderr, "%s\n", e.describe().c_str());
    }
    if (!page) {
        std::printf("%s\n", advisorJson(read).dump(2).c_str());
        return 0;
    }

    app::Profile profile;
    if (!profilePath.empty()) {
        Result<app::Profile> p = readProfileJson(profilePath);
        if (!p) {
            return fail(p.error().describe());
        }
        profile = std::move(p).value();
    }
    const std::string bin = app::withTrailingSlash(root) + "bin/";
    const std::string& out = positional[2];
    Status written = Ok{};
    if (what == "summary") {
        AdvisorPageFiles files = summaryPageFiles(bin);
        files.pagePath = out;
        written = writeAdvisorSummary(files, profile.name, read.courses);
    } else {
        const Result<std::string> cgiUrl = app::readFirstAddress(bin + app::kCgiUrlFile);
        if (!cgiUrl) {
            return fail(cgiUrl.error().describe());
        }
        AdvisorPageFiles files = diagnosisPageFiles(bin);
        files.pagePath = out;
        const DiagnosisValues values{profile.serial, *cgiUrl, profile.name, profile.email,
                                     profile.org};
        written = writeDiagnosisRequest(files, values, read.courses);
    }
    if (!written) {
        return fail(written.error().describe());
    }
    return 0;
}

}  // namespace tovalo::tool
