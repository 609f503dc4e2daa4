// Opening the adaptive list of a course as large as a question file allows:
// both files read, the grid filled and the window painted once. The list
// opens on a click in the advisor, so it has to be there within a frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTableView>
#include <QTemporaryDir>
#include <string>

#include "bench_session.h"
#include "core/results/adaptive_file.h"
#include "core/text/cp932.h"
#include "gui_app.h"
#include "ui/results/TAdaptiveForm.h"

using namespace tovalo;

namespace {

// One line per question of a full course, each with an HTML page's text
// around the question proper, as the exams of an HTML course store them.
std::vector<std::string> fullCourseLines() {
    std::vector<std::string> lines;
    for (int i = 1; i <= kMaxQuestions; ++i) {
        AdaptiveEntry e;
        e.QuesNum = std::to_string(i);
        e.Category = std::to_string(1 + i % 4);
        e.SubCategory = std::to_string(1 + i % 3);
        e.QuesText = text::utf8ToCp932(
            "<INCLUDE IMG>@fig" + std::to_string(i) +
            ".jpg<!-- question --><body topmargin=\"1\"><!-- QS -->"
            "ネットワークのセグメントを分割する機器として、最も適切なものを選びなさい。"
            "<br>選択肢のうち二つを選ぶこと。<!-- QE -->");
        e.AskedCount = i % 7;
        e.RightCount = i % 5 < e.AskedCount ? i % 5 : e.AskedCount;
        e.MeanTime = e.AskedCount > 0 ? 10 + i % 50 : 0;
        lines.push_back(adaptiveLine(e));
    }
    return lines;
}

// The core's part alone: the two files read and the rows made.
void BM_ReadAdaptiveList500(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string qdf = std::string(TOVALO_STAGE_ROOT) + "/QDAT/nexa/NXN-101.qdf";
    const std::string adp = dir.filePath(QStringLiteral("NXN-101.ADP")).toStdString();
    if (!saveAdaptiveFile(adp, fullCourseLines()).ok()) {
        state.SkipWithError("the adaptive file could not be written");
        return;
    }
    for (auto _ : state) {
        auto list = readAdaptiveList(adp, qdf);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ReadAdaptiveList500)->Unit(benchmark::kMillisecond);

void BM_OpenAdaptiveList500(benchmark::State& state) {
    tovalo::bench::guiApp();
    QTemporaryDir dir;
    bench::BenchSession host(dir.path().toStdString());
    ui::Session& session = host.session;

    // The category table of the largest sample course.
    CourseEntry course;
    course.ExamTitle = "ネットワーク基礎";
    course.QdfPath = std::string(TOVALO_STAGE_ROOT) + "/QDAT/nexa/NXN-101.qdf";
    course.AdpPath = dir.filePath(QStringLiteral("NXN-101.ADP")).toStdString();
    if (!saveAdaptiveFile(course.AdpPath, fullCourseLines()).ok()) {
        state.SkipWithError("the adaptive file could not be written");
        return;
    }

    ui::TAdaptiveForm window(session);
    QImage frame(ui::TAdaptiveForm::kShownSize, QImage::Format_RGB32);
    for (auto _ : state) {
        window.showFor(course);
        window.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
        window.close();
    }
    auto* grid = window.findChild<QTableView*>(QStringLiteral("SG"));
    window.showFor(course);
    if (!host.messages.shown.empty() || grid->model()->rowCount() != kMaxQuestions ||
        grid->model()->index(0, 1).data().toString() != QStringLiteral("IPアドレッシング")) {
        state.SkipWithError("the list did not show the course");
    }
    window.close();
}
BENCHMARK(BM_OpenAdaptiveList500)->Unit(benchmark::kMillisecond);

}  // namespace
