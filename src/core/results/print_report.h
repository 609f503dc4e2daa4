#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "core/results/history_chart.h"
#include "core/results/history_file.h"

namespace tovalo {

// Everything the printed report of one graded exam shows.
struct PrintReport {
    HistoryFile history;                                  // as stored before this exam
    std::array<int, kHistoryCategories> categoryRates{};  // this exam's, kNotInExam if not asked
    std::vector<std::string> categoryNames;               // categories 1..CategoryCount
    std::string userName;
    std::string examCode;
    std::string examTitle;
    int mode = 1;  // the selection mode, 1..4
    int examRate = 0;
    int questionCount = 0;
    std::string dateText;  // as the result screen shows it
    int elapsedSeconds = 0;
};

inline constexpr const char* kPrintButtonHint = "模擬試験成績表をブラウザで表示します";

// The files the report is made of, written into one folder.
inline constexpr const char* kPrintPage = "Print.htm";
inline constexpr const char* kRateChartXbm = "SEISEKI.xbm";
inline constexpr const char* kTimeChartXbm = "TIME.xbm";
inline constexpr const char* kRateChartPng = "SEISEKI.png";
inline constexpr const char* kTimeChartPng = "TIME.png";
inline constexpr const char* kPrintTemplate = "PrintProto";

// A category's bar: its stored average when this exam did not ask it,
// otherwise this exam's rate and the four stored before it over the number
// of exams there are, at most five.
int categoryBarValue(const CategoryRecord& stored, int rateNow, int emptySlots);

// The lines the report adds after its template, in order.
std::vector<std::string> printReportLines(const PrintReport& report);

// Writes both charts (X bitmap and PNG) and then the page, the template's
// lines followed by printReportLines, in CP932 with CR LF line ends, into
// `dir` (ending in "/"). A missing template or a file that cannot be
// written stops it with an error naming the file.
Status writePrintReport(const std::string& templatePath, const std::string& dir,
                        const PrintReport& report, const HistoryChart& chart);

}  // namespace tovalo
