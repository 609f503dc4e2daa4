#pragma once

// What a file-reading benchmark is compared with: reading the same files'
// bytes into memory and nothing else, so a figure reads as "so many times
// the raw read".

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/common/files.h"

namespace tovalo::bench {

// Median seconds to read every file in `paths` whole (warm cache).
inline double rawReadSeconds(const std::vector<std::string>& paths, int rounds = 41) {
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& p : paths) {
            auto bytes = readWholeFile(p);
            benchmark::DoNotOptimize(bytes);
        }
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

// Runs `body` as the benchmark loop and adds two counters: the raw read of
// `paths` in microseconds and how many times longer one iteration took.
template <class Body>
void compareWithRawRead(benchmark::State& state, const std::vector<std::string>& paths, Body body) {
    const double raw = rawReadSeconds(paths);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
    }
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perIteration = state.iterations() > 0 ? total / state.iterations() : 0;
    state.counters["raw_read_us"] = raw * 1e6;
    state.counters["x_raw_read"] = raw > 0 ? perIteration / raw : 0;
}

}  // namespace tovalo::bench
