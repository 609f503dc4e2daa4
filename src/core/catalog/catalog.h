#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "core/questions/question_file.h"

namespace tovalo {

inline constexpr int kMaxCourses = 100;

// One row of the course menu: a question file and where its history lives.
struct CourseEntry {
    std::string QdfPath;
    std::string HisPath;
    std::string AdpPath;
    int FormatKind = 0;
    std::string ExamCode;
    std::string ExamTitle;
    std::string PassMark;
    bool Level1 = false;
    bool Level2 = false;
    bool Level3 = false;
    bool Level4 = false;
    bool Level3b = false;
    std::string QdfDate;
    bool ShuffleOrder = true;
    int QuesTotal = 0;

    [[nodiscard]] bool hasLevel() const { return Level1 || Level2 || Level3 || Level4 || Level3b; }
    // The highest level this course raises its vendor to (0 for none).
    [[nodiscard]] int highestLevel() const;
};

struct Catalog {
    std::vector<CourseEntry> courses;  // in catalog order, at most kMaxCourses
    int highestLevel = 0;              // 0 none, 1..4
    // Problems met while listing (a file that could not be read, too many
    // files, a history file that could not be created). The listing goes on
    // past each one; the menu shows them once.
    std::vector<Error> problems;
};

// Writes the empty history file at `hisPath` for a listed course that has
// none. The catalog only knows where history files go; their format belongs
// to the history files' own code, which the caller hands in.
using HistoryFileMaker = std::function<Status(const std::string& hisPath)>;

// Lists the courses of one vendor: every "*.qdf" file (any letter case) of
// `questionDir` in byte order of their names whose first line is a format
// tag, with its header, and the history and adaptive paths in `historyDir`.
// A course without a history file gets one from `makeHistory`.
Catalog buildCatalog(const std::string& questionDir, const std::string& historyDir,
                     const HistoryFileMaker& makeHistory);

// "NX-101 : タイトル (全200問) 問題更新日:2026/12/01"
std::string courseRowText(const CourseEntry& course);

// `dir` + `name`, or the name of an existing file in `dir` that differs from
// it only in ASCII letter case, so files named by another system are found.
std::string pathIgnoringCase(const std::string& dir, const std::string& name);

}  // namespace tovalo
