// Writing pages, grading and saving an exam's history: the work between
// the last question and the result screen.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/exam/grading.h"
#include "core/exam/page_writer.h"
#include "core/results/adaptive_file.h"
#include "core/results/history_file.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

fs::path scratch(const char* name) {
    const fs::path dir = fs::temp_directory_path() / name;
    fs::create_directories(dir);
    return dir;
}

void BM_WritePage(benchmark::State& state) {
    const fs::path dir = scratch("tovalo-bench-page");
    std::string content = "<!-- first line -->\r\n<body topmargin=\"1\">\r\n<!-- QS -->\r\n";
    for (int i = 0; i < 20; ++i) {
        content += "ルータはブロードキャストドメインを分割する。VLAN とは何か。<br>\r\n";
    }
    const std::string path = (dir / "exam.htm").string();
    for (auto _ : state) {
        const Status st = WritePage(content, path, PageMode::DropFirstLine);
        benchmark::DoNotOptimize(st);
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_WritePage)->Unit(benchmark::kMicrosecond);

struct Exam500 {
    QuestionBank bank;
    std::vector<ExamQuestion> exam;
    ExamProgress progress;
};

Exam500 exam500() {
    Exam500 e;
    e.bank.QuesTotal = 500;
    e.progress.reset(500);
    for (int i = 1; i <= 500; ++i) {
        QuestionRecord q;
        q.QuesNum = i;
        q.Category = (i - 1) / 50 + 1;
        q.SubCategory = 1;
        q.QuesText =
            e.bank.keep("ネットワークのセグメントに関する説明として正しいものを選びなさい。");
        e.bank.questions.push_back(q);
        ExamQuestion x;
        x.BankSlot = i;
        x.QuesNum = i;
        x.Style = 2;
        x.ShowCount = 5;
        x.ShownCorrect[i % 5] = true;
        x.ShownCorrect[(i + 2) % 5] = true;
        e.exam.push_back(x);
        e.progress.Answer[i - 1][i % 5] = true;
        e.progress.Answer[i - 1][(i + i / 3) % 5] = true;
        e.progress.TimeSpent[i - 1] = i % 90;
    }
    e.progress.ElapsedSeconds = 5400;
    return e;
}

void BM_Grade500(benchmark::State& state) {
    const Exam500 e = exam500();
    for (auto _ : state) {
        Grading g = gradeExam(e.exam, e.progress, "A");
        benchmark::DoNotOptimize(g);
    }
}
BENCHMARK(BM_Grade500)->Unit(benchmark::kMicrosecond);

// Both files of a 500-question course, each synced to disk, as leaving the
// result screen does.
void BM_SaveHistoryAndAdaptive500(benchmark::State& state) {
    const fs::path dir = scratch("tovalo-bench-save");
    const Exam500 e = exam500();
    const Grading g = gradeExam(e.exam, e.progress, "A");
    HistoryFile h;
    std::vector<std::string> lines = newAdaptiveLines(e.bank);
    std::vector<AdaptiveAnswer> answers;
    for (int k = 0; k < 500; ++k) {
        answers.push_back(
            {k + 1, static_cast<bool>(g.PositionCorrect[k]), e.progress.TimeSpent[k]});
    }
    const std::string his = (dir / "GEN-500.HIS").string();
    const std::string adp = (dir / "GEN-500.ADP").string();
    for (auto _ : state) {
        recordExam(h, gradedForHistory(e.exam, g, e.bank, e.progress, 1, 12, 8, 10, 30),
                   "QDAT/v/GEN-500.qdf");
        updateAdaptiveLines(lines, answers, e.bank);
        if (!saveHistoryFile(his, h) || !saveAdaptiveFile(adp, lines)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_SaveHistoryAndAdaptive500)->Unit(benchmark::kMicrosecond);

}  // namespace
