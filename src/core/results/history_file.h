#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

namespace tovalo {

inline constexpr std::size_t kHistoryFileSize = 1960;
inline constexpr std::size_t kHistoryPathField = 508;
inline constexpr int kHistoryExams = 10;
inline constexpr int kHistoryCategories = 50;
inline constexpr int kHistoryQuestions = 500;
// A category rate for a category that had no question in the exam.
inline constexpr int kNotInExam = 101;

// One stored exam. Month 0 marks an empty slot.
struct ExamRecord {
    int Minutes = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Rate = 0;
    int Mode = 0;
    int QuestionCount = 0;

    [[nodiscard]] bool empty() const { return Month == 0; }
};

struct CategoryRecord {
    std::array<int, 5> RecentRates{};  // newest first
    int CategoryAverage = 0;
    int CategoryBest = 0;
};

// A course's history file in memory: the last ten exams, per-category rate
// trends and per-question right and wrong counts, slots numbered from 1 in
// the accessors below.
struct HistoryFile {
    std::string QuestionFilePath;                   // CP932 bytes as stored, padding removed
    std::array<ExamRecord, kHistoryExams> exams{};  // newest in [0]
    int BestRate = 0;
    int AverageRate = 0;
    std::array<unsigned char, 4> reserved{0, 0, 0, 0xFF};
    std::array<CategoryRecord, kHistoryCategories> categories{};  // category c in [c - 1]
    std::array<int, kHistoryQuestions> CorrectCount{};            // bank slot q in [q - 1]
    std::array<int, kHistoryQuestions> WrongCount{};
};

// The bytes of a history file that holds no exam yet. `questionFilePath`
// (UTF-8) is recorded in CP932 for information only, cut at 508 bytes.
std::string emptyHistoryFile(std::string_view questionFilePath);

// Writes an empty history file at `path`, whole or not at all.
Status createEmptyHistoryFile(const std::string& path, std::string_view questionFilePath);

// What the course catalog calls for a course without a history file: an
// empty one recording `questionFilePath` (the course last opened, or empty).
std::function<Status(const std::string& path)> emptyHistoryFiles(std::string questionFilePath);

// Reads the layout from bytes; a short file reads its missing bytes as zeros
// and bytes past 1960 are ignored.
HistoryFile parseHistoryFile(std::string_view bytes);
// A missing file reads as all zeros, like an empty one. A file that exists
// but cannot be read is an error naming it: it still holds exams that a
// save must not replace.
Result<HistoryFile> readHistoryFile(const std::string& path);

// The 1960 bytes of `history`. Counts, minutes and rates are one byte wide
// and saturate at 255.
std::string historyFileBytes(const HistoryFile& history);

// Saves the whole file safely: the old file stays whole if anything fails.
Status saveHistoryFile(const std::string& path, const HistoryFile& history);

// When an exam was graded: the history records month to minute, the result
// screen shows the year too.
struct ExamDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// One graded exam, as the history file records it.
struct ExamPosition {
    int BankSlot = 0;
    int Category = 0;
    bool correct = false;
};

struct GradedExam {
    std::vector<ExamPosition> positions;  // in asking order
    int ElapsedSeconds = 0;
    int Month = 0, Day = 0, Hour = 0, Minute = 0;
    int ExamRate = 0;
    int Mode = 1;
};

// Right × 100 div asked per category 1..50 ([c - 1]); kNotInExam for a
// category without a question in the exam.
std::array<int, kHistoryCategories> categoryRates(const std::vector<ExamPosition>& positions);

// How many of the stored slots 0..8 are empty: slot 9 leaves the history
// with the next exam, so it never counts.
int emptyStoredSlots(const HistoryFile& history);

// The mean rate over the filled slots once an exam of `examRate` joins
// them: what saving stores as AverageRate and what the report's overall
// bar shows.
int averageRateWith(const HistoryFile& history, int examRate);

// Applies an exam to the history: counts, the record push, best and
// average rates, the category trends. `qdfPath` (UTF-8) is recorded.
void recordExam(HistoryFile& history, const GradedExam& exam, std::string_view qdfPath);

}  // namespace tovalo
