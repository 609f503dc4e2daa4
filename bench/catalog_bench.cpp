// Listing a vendor's courses and drawing an exam: the two steps between the
// course menu and the first question.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/catalog/catalog.h"
#include "core/exam/selection.h"
#include "core/results/history_file.h"
#include "raw_read.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

// A vendor folder with `count` course headers and their history files, as
// the course menu finds it after the first start.
fs::path vendorWithCourses(int count) {
    const fs::path root = fs::temp_directory_path() / "tovalo-bench-catalog";
    fs::remove_all(root);
    fs::create_directories(root / "QDAT/v");
    fs::create_directories(root / "HIST/v");
    for (int i = 0; i < count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "BN-%03d", i);
        std::ofstream(root / "QDAT/v" / (std::string(code) + ".qdf"), std::ios::binary)
            << "QFileFormat-v1.4\r\n60/70\r\n90\r\n"
            << code << "\r\nBenchmark course\r\n1\r\n0\r\n0\r\n20261201      N\r\n200\r\n";
    }
    buildCatalog((root / "QDAT/v").string(), (root / "HIST/v").string(), emptyHistoryFiles(""));
    return root;
}

void BM_BuildCatalog100(benchmark::State& state) {
    const fs::path root = vendorWithCourses(100);
    std::vector<std::string> headers;
    for (const auto& e : fs::directory_iterator(root / "QDAT/v")) {
        headers.push_back(e.path().string());
    }
    bench::compareWithRawRead(state, headers, [&] {
        Catalog c = buildCatalog((root / "QDAT/v").string(), (root / "HIST/v").string(),
                                 emptyHistoryFiles(""));
        benchmark::DoNotOptimize(c);
    });
    fs::remove_all(root);
}
BENCHMARK(BM_BuildCatalog100)->Unit(benchmark::kMicrosecond);

QuestionBank bankOf500() {
    QuestionBank b;
    b.ExamQuesCount = 500;
    b.ExamTimeLimit = 600;
    b.CategoryCount = 10;
    b.categories.resize(10);
    for (int c = 0; c < 10; ++c) {
        b.categories[c].CategoryName = "category";
        for (int s = 0; s < 5; ++s) {
            b.categories[c].SubCategoryName[s] = "sub";
            b.categories[c].SubCategoryQuesCount[s] = 10;
        }
    }
    for (int i = 0; i < 500; ++i) {
        QuestionRecord q;
        q.QuesNum = i + 1;
        q.Category = i / 50 + 1;
        q.SubCategory = (i % 50) / 10 + 1;
        q.ChoiceCount = 6;
        q.ShowCount = 4;
        q.AnswerCount = 1;
        q.Style = i % 10 == 0 ? 9 : 1;
        q.QuesText = b.keep("ネットワークのセグメントに関する説明として正しいものを選びなさい。");
        for (int k = 0; k < 6; ++k) {
            q.Choice[k] = b.keep("0" + std::to_string(k) + "選択肢の文章です。");
        }
        b.questions.push_back(q);
    }
    b.QuesTotal = 500;
    return b;
}

void BM_SelectQuestions500of500(benchmark::State& state) {
    const QuestionBank bank = bankOf500();
    const CategoryChecks checks = CategoryChecks::allChecked(bank);
    SelectionSettings s;
    s.mode = static_cast<SelectionMode>(state.range(0));
    s.RequestedCount = 500;
    s.AvailableCount = availableCount(bank, checks);
    std::array<int, kMaxQuestions> weights{};
    for (int i = 0; i < kMaxQuestions; ++i) {
        weights[i] = i % 7;
    }
    RandomSource random(1);
    for (auto _ : state) {
        auto exam = SelectQuestions(bank, checks, s, true, weights, random);
        benchmark::DoNotOptimize(exam);
    }
}
BENCHMARK(BM_SelectQuestions500of500)
    ->Arg(static_cast<int>(SelectionMode::Normal))
    ->Arg(static_cast<int>(SelectionMode::Training))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
