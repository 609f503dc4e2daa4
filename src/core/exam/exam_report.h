#pragma once

#include <string>

#include "core/common/result.h"
#include "core/exam/exam_session.h"
#include "core/results/history_chart.h"
#include "core/results/print_report.h"

namespace tovalo {

// The result screen's history chart and printed report of a graded exam,
// made the same way for the screen and for tovalo-tool. `stored` is the
// course's history as it was before this exam; `date` is when it was graded.

HistoryChart examHistoryChart(const ExamSession& exam, const HistoryFile& stored,
                              const ExamDate& date);

PrintReport examPrintReport(const ExamSession& exam, const HistoryFile& stored,
                            const ExamDate& date, const std::string& userName);

// Writes the report's page and charts into `dir` (ending in "/") from the
// template at `templatePath`; see writePrintReport.
Status writeExamPrintReport(const ExamSession& exam, const HistoryFile& stored,
                            const ExamDate& date, const std::string& userName,
                            const std::string& templatePath, const std::string& dir);

}  // namespace tovalo
