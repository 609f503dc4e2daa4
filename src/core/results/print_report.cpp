#include "core/results/print_report.h"

#include <algorithm>

#include "core/common/safe_file.h"
#include "core/results/bitmap_files.h"
#include "core/results/printed_chart.h"
#include "core/results/progress_bar.h"
#include "core/text/clock_text.h"
#include "core/text/html_escape.h"
#include "core/views/template_page.h"

namespace tovalo {

namespace {

constexpr const char* kScaleRow = "<td><img src=\"print_scale.gif\"><BR></td></tr>";
// The most exams a category's bar averages over.
constexpr int kCategorySpan = 5;

std::string modeLine(int mode) {
    static constexpr std::array<const char*, 4> kModes{"通常（ランダム）", "模擬試験", "特訓",
                                                       "アセスメント"};
    if (mode < 1 || mode > static_cast<int>(kModes.size())) {
        return {};
    }
    return std::string("<h4><small>■モード：</small>") + kModes[mode - 1] + "</h4>";
}

// The template's own lines; whatever ends them, the page ends every line
// CR LF.
std::vector<std::string> templateLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        at = end + 1;
    }
    return lines;
}

}  // namespace

int categoryBarValue(const CategoryRecord& stored, int rateNow, int emptySlots) {
    if (rateNow == kNotInExam) {
        return stored.CategoryAverage;
    }
    const int exams = emptySlots > kCategorySpan ? kHistoryExams - emptySlots : kCategorySpan;
    int sum = rateNow;
    for (int k = 0; k < kCategorySpan - 1; ++k) {
        sum += stored.RecentRates[static_cast<std::size_t>(k)];
    }
    return sum / exams;
}

std::vector<std::string> printReportLines(const PrintReport& r) {
    const int empty = emptyStoredSlots(r.history);
    std::vector<std::string> lines{
        "<hr>",
        "<h4>今回の成績</h4>",
        "<h4><small>■氏名：</small>" + text::htmlEscaped(r.userName) + "</h4>",
        "<h4><small>■科目：</small>" + r.examCode + "\r\n" + r.examTitle + "</h4>",
    };
    if (std::string mode = modeLine(r.mode); !mode.empty()) {
        lines.push_back(std::move(mode));
    }
    const std::string best = std::to_string(std::max(r.history.BestRate, r.examRate));
    for (std::string line : {
             "<h4><small>■正答率：</small>" + std::to_string(r.examRate) + "％</h4>",
             "<h4><small>■問題数：</small>" + std::to_string(r.questionCount) + "問</h4>",
             "<h4><small>■実施日時：</small>" + r.dateText + "</h4>",
             "<h4><small>■所要時間：</small>" + text::minutesSeconds(r.elapsedSeconds) + "</h4>",
             std::string("<hr>"),
             std::string("<h4>これまでの達成度</h4>"),
             std::string("<table>"),
             std::string("<tr><td><b><small>■総合成績</small></b></td>"),
             std::string(kScaleRow),
             std::string("<tr><td></td>"),
             progressBarRow(30, averageRateWith(r.history, r.examRate)),
             std::string("<tr><td></td>"),
             "<td><small>*これまでの最高正答率は" + best + "％です。</small><BR>　</td></tr>",
             std::string("<tr><td><b><small>■カテゴリ別成績</small></b></td>"),
             std::string(kScaleRow),
         }) {
        lines.push_back(std::move(line));
    }
    for (std::size_t c = 0; c < r.categoryNames.size() && c < r.categoryRates.size(); ++c) {
        const int v = categoryBarValue(r.history.categories[c], r.categoryRates[c], empty);
        if (v >= 0 && v <= 100) {
            lines.push_back("<tr><td><small>" + r.categoryNames[c] + "</small></td>");
            lines.push_back(progressBarRow(15, v));
        }
    }
    for (const char* line :
         {"</table>", "<hr>", "<h5>■正答率の推移</h5>", "<img src=\"SEISEKI.png\">", "<hr>",
          "<h5>■所要時間の推移</h5>", "<img src=\"TIME.png\">", "<hr>", "</body>", "</html>"}) {
        lines.emplace_back(line);
    }
    return lines;
}

Status writePrintReport(const std::string& templatePath, const std::string& dir,
                        const PrintReport& report, const HistoryChart& chart) {
    const MonoCanvas rate = printedChart(chart, PrintedSeries::Rate);
    const MonoCanvas time = printedChart(chart, PrintedSeries::Time);
    const std::pair<const char*, std::string> pictures[] = {
        {kRateChartXbm, xbmBytes(rate)},
        {kTimeChartXbm, xbmBytes(time)},
        {kRateChartPng, pngBytes(rate)},
        {kTimeChartPng, pngBytes(time)},
    };
    for (const auto& [name, bytes] : pictures) {
        if (Status st = saveFileAtomically(dir + name, bytes, Durability::Replaceable); !st) {
            return st;
        }
    }
    const std::vector<std::string> added = printReportLines(report);
    return writeTemplatePage(templatePath, dir + kPrintPage, [&](std::string_view text) {
        std::string page;
        for (const std::string& line : templateLines(text)) {
            page += line + "\r\n";
        }
        for (const std::string& line : added) {
            page += line + "\r\n";
        }
        return page;
    });
}

}  // namespace tovalo
