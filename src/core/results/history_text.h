#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/results/history_file.h"

namespace tovalo {

// The history of one course as plain text: the last ten exams, the best and
// mean rates and the recent rates of every category, lines ending in CR LF.
// The diagnosis request page carries it in a hidden field, and the service
// that receives the form reads it back; writer and reader share one file so
// that the two cannot drift apart.
std::string historyText(const HistoryFile& history, const std::vector<std::string>& categoryNames);

struct HistoryTextCategory {
    std::string name;
    CategoryRecord record;
};

// What a history text holds, as numbers.
struct HistoryText {
    std::array<ExamRecord, kHistoryExams> exams{};  // newest in [0]
    int BestRate = 0;
    int AverageRate = 0;
    std::vector<HistoryTextCategory> categories;  // in the course's order
};

// Reads a text that historyText wrote. Lines may end in CR LF or LF (a
// browser may send either) and the last one may have lost its line end.
// Anything else, or more categories than a history holds, is an error that
// names the line.
Result<HistoryText> parseHistoryText(std::string_view text);

}  // namespace tovalo
