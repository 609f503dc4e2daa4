#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/questions/question_bank.h"

namespace tovalo {

inline constexpr std::string_view kFormatTagText = "QFileFormat-v1.4";
inline constexpr std::string_view kFormatTagHtml = "QFileFormat-x2.0";

// 1 for the plain-text format tag, 2 for the HTML one, 0 for any other line.
int formatKindOf(std::string_view firstLine);

// What the course catalog reads from the ten header lines.
struct QdfHeader {
    int FormatKind = 0;
    std::string PassMark;
    std::string ExamCode;
    std::string ExamTitle;
    bool Level1 = false;
    bool Level2 = false;
    bool Level3 = false;   // line 8 "1"
    bool Level4 = false;   // line 8 "2"
    bool Level3b = false;  // line 8 "3", shown like level 3
    std::string QdfDate;   // "yyyy/mm/dd"
    bool ShuffleOrder = true;
    int QuesTotal = 0;
    // The catalog does not need these two; they are absent when the lines
    // hold no number (the loader reports that when the course is opened).
    std::optional<int> ExamQuesCount;
    std::optional<int> ExamTimeLimit;

    [[nodiscard]] bool hasLevel() const { return Level1 || Level2 || Level3 || Level4 || Level3b; }
};

// The header of a question file in memory. Fails when the first line is
// not a format tag, or when line 10 is not a number ("入力値が数値ではありません").
Result<QdfHeader> parseQdfHeader(std::string_view contents, const std::string& path);
Result<QdfHeader> readQdfHeader(const std::string& path);

// Reads a whole question file. Any failure leaves nothing behind: the caller
// gets either a complete bank or the first problem.
Result<QuestionBank> parseQuestionFile(std::string_view contents, const std::string& path);

// Fills `bank` from the file at `path`. On failure `bank` is left exactly as
// it was, so a broken file never leaves a half-filled course in use.
Status LoadQuestionBank(QuestionBank& bank, const std::string& path);

// Fills `bank` from the file at `path`, writing over the course it held and
// keeping the storage of its list of records. On failure `bank` holds no
// course.
Status ReloadQuestionBank(QuestionBank& bank, const std::string& path);

// The category table of the question file at `path`: the header and the
// table up to "*CE", read as the loader reads them; the records are not
// read. Fails with the first problem the loader would meet there.
Result<std::vector<CategorySlot>> readCategoryTable(const std::string& path);

// The course settings file beside a question file: ".qdf" becomes ".ini".
std::string courseSettingsPath(const std::string& qdfPath);

// Every problem an author should fix, in file order, each with file and
// line: bad numbers, values outside the tables, counts that disagree with
// the records. Empty when the file is sound.
std::vector<Error> checkQuestionFile(const std::string& path);
// The same for contents already in memory, named `path`.
std::vector<Error> checkQuestionContents(std::string_view contents, const std::string& path);

}  // namespace tovalo
