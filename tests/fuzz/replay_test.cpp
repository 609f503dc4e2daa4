// Replays every seed and every input the fuzzers ever found through the same
// targets, so a fixed fault stays fixed in the ordinary test run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "targets.h"

namespace fs = std::filesystem;

TEST(FuzzReplay, EveryCorpusInputPassesItsTarget) {
    int replayed = 0;
    for (const auto& target : tovalo::fuzz::kTargets) {
        for (const char* kind : {"corpus", "regressions"}) {
            const fs::path dir = fs::path(TOVALO_FUZZ_DIR) / kind / std::string(target.name);
            if (!fs::exists(dir)) {
                continue;
            }
            for (const auto& entry : fs::directory_iterator(dir)) {
                std::stringstream ss;
                ss << std::ifstream(entry.path(), std::ios::binary).rdbuf();
                const std::string bytes = ss.str();
                SCOPED_TRACE(entry.path().string());
                target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
                ++replayed;
            }
        }
    }
    // Every target has a seed corpus in the repository.
    EXPECT_GE(replayed, static_cast<int>(std::size(tovalo::fuzz::kTargets)) * 3);
}
