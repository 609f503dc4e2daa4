// The result screen's print button and chart: the report with its four
// pictures written to disk, and the chart painted for a screen at 200 %.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/results/history_chart.h"
#include "core/results/print_report.h"
#include "gui_app.h"
#include "ui/results/history_chart_painter.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

// Nine stored exams and fifty categories: the most a report holds.
PrintReport fullReport() {
    PrintReport r;
    for (int s = 0; s < kHistoryExams; ++s) {
        ExamRecord& e = r.history.exams[static_cast<std::size_t>(s)];
        e.Month = 1 + s;
        e.Day = 10 + s;
        e.Hour = 9;
        e.Minute = 5 * s;
        e.Rate = 40 + 6 * s;
        e.Minutes = 20 + 7 * s;
    }
    r.history.BestRate = 94;
    for (int c = 0; c < kHistoryCategories; ++c) {
        r.categoryNames.push_back("カテゴリ " + std::to_string(c + 1) +
                                  " ネットワークとセキュリティ");
        r.categoryRates[static_cast<std::size_t>(c)] = c % 3 == 0 ? kNotInExam : (c * 7) % 101;
        r.history.categories[static_cast<std::size_t>(c)] = {{60, 40, 20, 80, 0}, 55, 90};
    }
    r.userName = "山田 太郎";
    r.examCode = "NXN-101";
    r.examTitle = "ネットワーク基礎";
    r.examRate = 72;
    r.questionCount = 80;
    r.dateText = "2026/7/31 9:5";
    r.elapsedSeconds = 3000;
    return r;
}

HistoryChart fullChart(const PrintReport& r) {
    return historyChart(r.history, {r.examRate, r.elapsedSeconds / 60, {2026, 7, 31, 9, 5}}, 90);
}

void BM_WritePrintReport(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "tovalo-bench-print";
    fs::create_directories(dir);
    const std::string templatePath = std::string(TOVALO_STAGE_ROOT) + "/bin/Print/PrintProto";
    const PrintReport report = fullReport();
    for (auto _ : state) {
        // The chart is made from the history at each click, as the button does.
        const Status st =
            writePrintReport(templatePath, dir.string() + "/", report, fullChart(report));
        if (!st) {
            state.SkipWithError(st.error().describe().c_str());
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_WritePrintReport)->Unit(benchmark::kMillisecond);

void BM_PaintHistoryChartAt200Percent(benchmark::State& state) {
    tovalo::bench::guiApp();
    const HistoryChart chart = fullChart(fullReport());
    for (auto _ : state) {
        QPixmap picture = ui::paintHistoryChart(chart, 2.0);
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_PaintHistoryChartAt200Percent)->Unit(benchmark::kMillisecond);

}  // namespace
