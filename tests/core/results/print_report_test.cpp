#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/temp_tree.h"
#include "core/common/files.h"
#include "core/results/bitmap_files.h"
#include "core/results/print_report.h"
#include "core/results/printed_chart.h"
#include "core/text/cp932.h"

using namespace tovalo;

namespace {

ExamRecord filled(int rate) {
    ExamRecord r;
    r.Month = 5;
    r.Day = 6;
    r.Rate = rate;
    return r;
}

PrintReport baseReport() {
    PrintReport r;
    r.categoryRates.fill(kNotInExam);
    r.categoryNames = {"ネットワーク", "サーバー", "セキュリティ"};
    r.userName = "山田 太郎";
    r.examCode = "NXN-101";
    r.examTitle = "ネットワーク基礎";
    r.mode = 2;
    r.examRate = 60;
    r.questionCount = 12;
    r.dateText = "2026/7/31 9:5";
    r.elapsedSeconds = 754;
    return r;
}

// The line after the one that equals `line`, or "" when there is none.
std::string after(const std::vector<std::string>& lines, const std::string& line, int skip = 1) {
    const auto it = std::find(lines.begin(), lines.end(), line);
    if (it == lines.end() || lines.end() - it <= skip) {
        return {};
    }
    return *(it + skip);
}

std::string bar(int height, int red) {
    const std::string h = " height=" + std::to_string(height);
    if (red == 0) {
        return "<td><img src=\"black.gif\" width=400" + h + "></td></tr>";
    }
    if (red == 100) {
        return "<td><img src=\"red.gif\" width=400" + h + "></td></tr>";
    }
    return "<td><img src=\"red.gif\" width=" + std::to_string(4 * red) + h +
           "><img src=\"black.gif\" width=" + std::to_string(400 - 4 * red) + h + "></td></tr>";
}

}  // namespace

// The first exam of a course: the overall bar and the best rate are this
// exam's, and a category asked now averages over the one exam there is.
TEST(PrintReport, FirstExamOfACourse) {
    PrintReport r = baseReport();
    r.categoryRates[0] = 50;
    r.categoryRates[2] = 0;
    r.history.categories[1].CategoryAverage = 73;  // asked before, not now
    const std::vector<std::string> lines = printReportLines(r);

    EXPECT_EQ(after(lines, "<tr><td><b><small>■総合成績</small></b></td>", 3), bar(30, 60));
    EXPECT_EQ(after(lines, "<tr><td><b><small>■総合成績</small></b></td>", 5),
              "<td><small>*これまでの最高正答率は60％です。</small><BR>　</td></tr>");
    EXPECT_EQ(after(lines, "<tr><td><small>ネットワーク</small></td>"), bar(15, 50));
    EXPECT_EQ(after(lines, "<tr><td><small>サーバー</small></td>"), bar(15, 73));
    EXPECT_EQ(after(lines, "<tr><td><small>セキュリティ</small></td>"), bar(15, 0));
}

// The head of the page, line by line, and its end with the PNG charts.
TEST(PrintReport, PageLinesInOrder) {
    PrintReport r = baseReport();
    r.userName = "A&B <x>";
    r.history.BestRate = 85;
    r.history.exams[0] = filled(40);
    const std::vector<std::string> lines = printReportLines(r);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 17);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "<hr>",
                        "<h4>今回の成績</h4>",
                        "<h4><small>■氏名：</small>A&amp;B &lt;x&gt;</h4>",
                        "<h4><small>■科目：</small>NXN-101\r\nネットワーク基礎</h4>",
                        "<h4><small>■モード：</small>模擬試験</h4>",
                        "<h4><small>■正答率：</small>60％</h4>",
                        "<h4><small>■問題数：</small>12問</h4>",
                        "<h4><small>■実施日時：</small>2026/7/31 9:5</h4>",
                        "<h4><small>■所要時間：</small>12' 34</h4>",
                        "<hr>",
                        "<h4>これまでの達成度</h4>",
                        "<table>",
                        "<tr><td><b><small>■総合成績</small></b></td>",
                        "<td><img src=\"print_scale.gif\"><BR></td></tr>",
                        "<tr><td></td>",
                        bar(30, 50),
                        "<tr><td></td>",
                    }));
    EXPECT_EQ(lines[17], "<td><small>*これまでの最高正答率は85％です。</small><BR>　</td></tr>");
    const std::vector<std::string> tail(lines.end() - 10, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"</table>", "<hr>", "<h5>■正答率の推移</h5>",
                                              "<img src=\"SEISEKI.png\">", "<hr>",
                                              "<h5>■所要時間の推移</h5>", "<img src=\"TIME.png\">",
                                              "<hr>", "</body>", "</html>"}));

    for (const auto& [mode, text] : std::vector<std::pair<int, std::string>>{
             {1, "通常（ランダム）"}, {3, "特訓"}, {4, "アセスメント"}}) {
        r.mode = mode;
        EXPECT_EQ(printReportLines(r)[4], "<h4><small>■モード：</small>" + text + "</h4>");
    }
}

// A category's bar averages this exam with its four stored rates over the
// exams there are, never more than five; the overall bar over the filled
// slots.
TEST(PrintReport, AveragesOverTheExamsThereAre) {
    CategoryRecord stored;
    stored.RecentRates = {60, 40, 0, 0, 90};  // the fifth leaves with this exam
    stored.CategoryAverage = 33;
    EXPECT_EQ(categoryBarValue(stored, 80, 0), (80 + 60 + 40) / 5);
    EXPECT_EQ(categoryBarValue(stored, 80, 5), (80 + 60 + 40) / 5);
    EXPECT_EQ(categoryBarValue(stored, 80, 6), (80 + 60 + 40) / 4);
    EXPECT_EQ(categoryBarValue(stored, 80, 8), (80 + 60 + 40) / 2);
    EXPECT_EQ(categoryBarValue(stored, kNotInExam, 0), 33);

    PrintReport r = baseReport();
    r.examRate = 40;
    r.history.exams[0] = filled(80);
    r.history.exams[3] = filled(60);
    r.history.exams[9] = filled(100);  // not one of the nine that count
    const std::vector<std::string> lines = printReportLines(r);
    EXPECT_EQ(lines[15], bar(30, 60));
    EXPECT_EQ(lines[17], "<td><small>*これまでの最高正答率は40％です。</small><BR>　</td></tr>");
}

// The page in CP932 with CR LF ends after the template's own lines, the
// charts as both X bitmap and PNG; a missing template stops with the file
// named and no page.
TEST(PrintReport, WritesThePageAndBothCharts) {
    TempTree tree;
    const auto dir = [&] { return tree.path() + "/"; };
    const std::string templatePath = dir() + "PrintProto";
    {
        std::ofstream t(templatePath, std::ios::binary);
        t << text::utf8ToCp932("<html>\n<head><title>模擬試験 成績表</title></head>\n<body>\n",
                               text::Unmappable::Question);
    }
    HistoryFile h;
    h.exams[0] = filled(70);
    h.exams[0].Minutes = 30;
    const HistoryChart chart = historyChart(h, {60, 45, {2026, 7, 31, 9, 5}}, 60);
    PrintReport r = baseReport();
    r.history = h;
    ASSERT_TRUE(writePrintReport(templatePath, dir(), r, chart).ok());

    const std::string page = readWholeFile(dir() + "Print.htm").value();
    const std::string utf8 = text::cp932ToUtf8(page);
    const std::string start =
        "<html>\r\n<head><title>模擬試験 成績表</title></head>\r\n<body>\r\n<hr>\r\n";
    EXPECT_EQ(utf8.substr(0, start.size()), start);
    EXPECT_EQ(utf8.substr(utf8.size() - 18), "</body>\r\n</html>\r\n");
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n'),
              std::count(page.begin(), page.end(), '\r'));
    EXPECT_NE(page.find(text::utf8ToCp932("■正答率：</small>60％", text::Unmappable::Question)),
              std::string::npos);

    const MonoCanvas rate = printedChart(chart, PrintedSeries::Rate);
    const MonoCanvas time = printedChart(chart, PrintedSeries::Time);
    EXPECT_EQ(readWholeFile(dir() + "SEISEKI.xbm").value(), xbmBytes(rate));
    EXPECT_EQ(readWholeFile(dir() + "TIME.xbm").value(), xbmBytes(time));
    EXPECT_EQ(readWholeFile(dir() + "SEISEKI.png").value(), pngBytes(rate));
    EXPECT_EQ(readWholeFile(dir() + "TIME.png").value(), pngBytes(time));
    EXPECT_NE(xbmBytes(rate), xbmBytes(time));

    std::filesystem::remove(dir() + "Print.htm");
    const Status missing = writePrintReport(dir() + "none", dir(), r, chart);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().describe().find(dir() + "none"), std::string::npos);
    EXPECT_FALSE(fileExists(dir() + "Print.htm"));

    const Status unwritable = writePrintReport(templatePath, dir() + "no/such/", r, chart);
    ASSERT_FALSE(unwritable.ok());
    EXPECT_FALSE(fileExists(dir() + "Print.htm"));
}
