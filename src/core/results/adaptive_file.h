#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/questions/question_bank.h"

namespace tovalo {

// Adaptive files are kept as the bytes they hold (CP932): a save rewrites
// only the lines of the questions the exam counted, and every other line
// goes back to the disk exactly as it was read, whatever it contains.

// One line of an adaptive file: per question, how often it was asked, how
// often answered right and its mean answer time in seconds. The four text
// fields are the stored bytes.
struct AdaptiveEntry {
    std::string QuesNum;
    std::string Category;
    std::string SubCategory;
    std::string QuesText;  // one line: CR LF pairs removed
    int AskedCount = 0;
    int RightCount = 0;
    int MeanTime = 0;
};

// Counts and times above this are damage, not history: they read as 0, like
// negative ones and ones that are not numbers.
inline constexpr int kMaxAdaptiveCount = 100'000'000;

// A question's text (UTF-8) as a line stores it: CP932, CR LF pairs removed.
std::string adaptiveStoredText(std::string text);

// Splits a stored line at its markers "@0*" … "@7*" (found only where a
// character starts, never inside a double-byte one); nullopt when a marker is
// missing.
std::optional<AdaptiveEntry> parseAdaptiveLine(std::string_view line);
std::string adaptiveLine(const AdaptiveEntry& entry);

// A fresh list: one line per question slot of the course, all counts 0.
std::vector<std::string> newAdaptiveLines(const QuestionBank& bank);

struct AdaptiveAnswer {
    int BankSlot = 0;
    bool correct = false;
    int TimeSpent = 0;  // seconds the question was on screen, over all its visits
};

// Counts the answers that took time into the lines of their questions. A
// question without a line (a list made from another question file) gets
// one appended; lines that cannot be read are kept as they are.
void updateAdaptiveLines(std::vector<std::string>& lines,
                         const std::vector<AdaptiveAnswer>& answers, const QuestionBank& bank);

// The stored lines of the file; nullopt when there is no file yet. A file
// that exists but cannot be read is an error naming it.
Result<std::optional<std::vector<std::string>>> readAdaptiveFile(const std::string& path);
// Writes the lines with CR LF, safely.
Status saveAdaptiveFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace tovalo
