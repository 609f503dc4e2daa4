// Loading question files, measured against simply reading the same bytes,
// so the figure says how much the parsing adds to the disk read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "core/common/files.h"
#include "core/exam/selection.h"
#include "core/questions/question_file.h"
#include "core/text/cp932.h"
#include "core/text/scramble.h"
#include "raw_read.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

// The biggest question file of the staged sample installation.
std::string largestSampleCourse() {
    std::string best;
    std::uintmax_t bestSize = 0;
    const fs::path qdat = fs::path(TOVALO_STAGE_ROOT) / "QDAT";
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(qdat, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->path().extension() == ".qdf" && it->file_size() > bestSize) {
            bestSize = it->file_size();
            best = it->path().string();
        }
    }
    return best;
}

// A course of 500 records with realistic line lengths, in memory.
std::string generatedCourse(int records) {
    auto text = [](const std::string& s) { return text::scramble(text::utf8ToCp932(s)) + "\r\n"; };
    std::string f =
        "QFileFormat-v1.4\r\n60/70\r\n90\r\nGEN-500\r\n生成コース\r\n1\r\n0\r\n0\r\n"
        "20261201\r\n" +
        std::to_string(records) + "\r\n";
    for (int c = 1; c <= 5; ++c) {
        f += text("カテゴリ" + std::to_string(c)) + std::to_string(records / 5) + "\r\n";
        for (int s = 1; s <= 20; ++s) {
            f += s <= 4 ? text("サブカテゴリ" + std::to_string(s)) + "25\r\n" : "\r\n0\r\n";
        }
    }
    f += "*CE\r\n";
    for (int j = 1; j <= records; ++j) {
        f += std::to_string(j) + "\r\n" + std::to_string((j - 1) % 5 + 1) + "\r\n" +
             std::to_string((j - 1) % 4 + 1) + "\r\n";
        f += text("ネットワークのセグメントに関する次の説明のうち、正しいものを選びなさい。") +
             text("ルータはブロードキャストドメインを分割する。") + "*QE\r\n5\r\n4\r\n1\r\n1\r\n";
        for (int k = 1; k <= 10; ++k) {
            f += (k <= 5 ? text("選択肢の文章です。スイッチはレイヤ2で動作する。") : "Null\r\n") +
                 std::string("*AE\r\n");
        }
        for (int s = 0; s < 11; ++s) {
            f += "\r\n";
        }
        f += text("解説: ルータはレイヤ3の機器で、ブロードキャストを転送しない。") +
             text("VLAN を使うとスイッチでもドメインを分けられる。") + "*EE\r\n";
        f += text("参考書 第3章") + "45\r\nNull\r\nNull\r\nNull\r\nNull\r\nNull\r\nNull\r\n";
        f += "\r\n\r\n\r\n\r\n";
        f += j == records ? "*EOF\r\n" : "\r\n";
    }
    return f;
}

void BM_LoadLargestSample(benchmark::State& state) {
    const std::string path = largestSampleCourse();
    if (path.empty()) {
        state.SkipWithError("no staged sample course; build tovalo_stage first");
        return;
    }
    QuestionBank bank;
    bool failed = false;
    bench::compareWithRawRead(state, {path}, [&] { failed |= !LoadQuestionBank(bank, path).ok(); });
    if (failed) {
        state.SkipWithError("the sample course did not load");
    }
    state.SetLabel(fs::path(path).filename().string() + ", " +
                   std::to_string(bank.questions.size()) + " questions");
}
BENCHMARK(BM_LoadLargestSample)->Unit(benchmark::kMicrosecond);

// Loading a 500-question course: into a new bank each time (state.range(0)
// = 0, LoadQuestionBank, as the exam session, the tool and the
// synchronisation do), or over the course loaded before (1,
// ReloadQuestionBank, which keeps the list of records).
void BM_LoadGenerated500(benchmark::State& state) {
    // One file per process: two benchmark runs at once must not remove each other's file.
    const fs::path path =
        fs::temp_directory_path() / ("tovalo-bench-GEN-500-" + std::to_string(::getpid()) + ".qdf");
    std::ofstream(path, std::ios::binary) << generatedCourse(500);
    const bool reload = state.range(0) == 1;
    QuestionBank bank;
    std::string failure;
    bench::compareWithRawRead(state, {path.string()}, [&] {
        const Status loaded = reload ? ReloadQuestionBank(bank, path.string())
                                     : LoadQuestionBank(bank, path.string());
        if (!loaded.ok()) {
            failure = loaded.error().describe();
        }
    });
    if (!failure.empty()) {
        state.SkipWithError(("the generated course did not load: " + failure).c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
    fs::remove(path);
}
BENCHMARK(BM_LoadGenerated500)->ArgName("reload")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Texts are decoded when a question is drawn, not at load: starting an exam
// of all 500 questions pays for every one of them. state.range(0) questions
// are drawn from the generated course, loaded over the one before.
void BM_LoadAndDraw(benchmark::State& state) {
    const fs::path path = fs::temp_directory_path() /
                          ("tovalo-bench-DRAW-500-" + std::to_string(::getpid()) + ".qdf");
    std::ofstream(path, std::ios::binary) << generatedCourse(500);
    QuestionBank bank;
    RandomSource random(1);
    std::string failure;
    bench::compareWithRawRead(state, {path.string()}, [&] {
        if (const Status loaded = ReloadQuestionBank(bank, path.string()); !loaded.ok()) {
            failure = loaded.error().describe();
            return;
        }
        const CategoryChecks checks = CategoryChecks::allChecked(bank);
        SelectionSettings s;
        s.RequestedCount = static_cast<int>(state.range(0));
        s.AvailableCount = availableCount(bank, checks);
        auto exam = SelectQuestions(bank, checks, s, true, {}, random);
        benchmark::DoNotOptimize(exam);
    });
    if (!failure.empty()) {
        state.SkipWithError(("the generated course did not load: " + failure).c_str());
    }
    fs::remove(path);
}
BENCHMARK(BM_LoadAndDraw)->ArgName("drawn")->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
