#include "core/catalog/catalog.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/common/files.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

namespace fs = std::filesystem;

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

// The names in one folder, found regardless of ASCII letter case.
class FolderNames {
  public:
    explicit FolderNames(const std::string& dir) : dir_(withSlash(dir)) {
        std::error_code ec;
        for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            std::string name = it->path().filename().string();
            byLowerName_.emplace(text::asciiLower(name), std::move(name));
        }
    }

    [[nodiscard]] std::string path(const std::string& name) const {
        const auto [first, last] = byLowerName_.equal_range(text::asciiLower(name));
        for (auto it = first; it != last; ++it) {
            if (it->second == name) {
                return dir_ + name;  // an exact match wins over one in another case
            }
        }
        return dir_ + (first != last ? first->second : name);
    }

  private:
    std::string dir_;
    std::multimap<std::string, std::string> byLowerName_;
};

}  // namespace

int CourseEntry::highestLevel() const {
    if (Level4) {
        return 4;
    }
    if (Level3 || Level3b) {
        return 3;
    }
    if (Level2) {
        return 2;
    }
    return Level1 ? 1 : 0;
}

std::string pathIgnoringCase(const std::string& dir, const std::string& name) {
    return FolderNames(dir).path(name);
}

Catalog buildCatalog(const std::string& questionDir, const std::string& historyDir,
                     const HistoryFileMaker& makeHistory) {
    Catalog catalog;
    const std::string qdir = withSlash(questionDir);
    const std::string hdir = withSlash(historyDir);

    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(qdir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (text::hasExtension(name, ".qdf") && it->is_regular_file(ec)) {
            names.push_back(std::move(name));
        }
    }
    // std::string compares as unsigned bytes: "B…" comes before "a…".
    std::sort(names.begin(), names.end());

    const FolderNames historyNames(hdir);
    int listed = 0;
    for (const std::string& name : names) {
        const std::string qdfPath = qdir + name;
        auto header = readQdfHeader(qdfPath);
        if (!header) {
            // A file that is not a question file at all is simply not a course.
            if (header.error().line != 1) {
                catalog.problems.push_back(header.error());
            }
            continue;
        }
        if (++listed > kMaxCourses) {
            continue;
        }
        const QdfHeader& h = *header;
        CourseEntry c;
        c.QdfPath = qdfPath;
        const std::string base = name.substr(0, name.size() - 4);
        c.HisPath = historyNames.path(base + ".HIS");
        c.AdpPath = historyNames.path(base + ".ADP");
        c.FormatKind = h.FormatKind;
        c.ExamCode = h.ExamCode;
        c.ExamTitle = h.ExamTitle;
        c.PassMark = h.PassMark;
        c.Level1 = h.Level1;
        c.Level2 = h.Level2;
        c.Level3 = h.Level3;
        c.Level4 = h.Level4;
        c.Level3b = h.Level3b;
        c.QdfDate = h.QdfDate;
        c.ShuffleOrder = h.ShuffleOrder;
        c.QuesTotal = h.QuesTotal;
        catalog.highestLevel = std::max(catalog.highestLevel, c.highestLevel());
        if (!fileExists(c.HisPath)) {
            fs::create_directories(hdir, ec);
            const Status st = makeHistory(c.HisPath);
            if (!st) {
                catalog.problems.push_back(st.error());
            }
        }
        catalog.courses.push_back(std::move(c));
    }
    if (listed > kMaxCourses) {
        catalog.problems.push_back(Error{"問題ファイルが多すぎます: " + std::to_string(listed) +
                                             " 個のうち、先頭の " + std::to_string(kMaxCourses) +
                                             " 個だけを表示します",
                                         qdir, 0});
    }
    return catalog;
}

std::string courseRowText(const CourseEntry& course) {
    return course.ExamCode + " : " + course.ExamTitle + " (全" + std::to_string(course.QuesTotal) +
           "問) 問題更新日:" + course.QdfDate;
}

}  // namespace tovalo
