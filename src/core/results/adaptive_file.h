#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/questions/question_bank.h"

namespace tovalo {

// One line of an adaptive file: per question, how often it was asked, how
// often answered right and its mean answer time in seconds.
struct AdaptiveEntry {
    std::string QuesNum;
    std::string Category;
    std::string SubCategory;
    std::string QuesText;  // one line: CR LF pairs removed
    int AskedCount = 0;
    int RightCount = 0;
    int MeanTime = 0;
};

// Splits a line at its markers "@0*" … "@7*"; nullopt when a marker is
// missing. A count that is not a number reads as 0.
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

// The lines of an existing file (UTF-8); nullopt when there is no file.
std::optional<std::vector<std::string>> readAdaptiveFile(const std::string& path);
// Writes the lines in CP932 with CR LF, safely.
Status saveAdaptiveFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace tovalo
