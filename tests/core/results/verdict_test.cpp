#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/results/verdict.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

TEST(Verdict, RateBandsAndSounds) {
    struct Case {
        int rate, verdict;
        const char* sound;
    };
    const Case cases[] = {
        {77, 1, "wav/Good.wav"},      {25, 3, "wav/Bad.wav"},   {24, 4, "wav/Dorvel.wav"},
        {81, 0, "wav/Excellent.wav"}, {80, 1, "wav/Good.wav"},  {51, 2, "wav/Soso.wav"},
        {50, 3, "wav/Bad.wav"},       {0, 4, "wav/Dorvel.wav"}, {100, 0, "wav/Excellent.wav"}};
    for (const Case& c : cases) {
        EXPECT_EQ(verdictIndex(c.rate), c.verdict) << c.rate;
        EXPECT_EQ(resultSound(c.rate), c.sound) << c.rate;
    }
}

TEST(Verdict, LevelTextsFromTheCourseSettingsOrDefaults) {
    const fs::path dir = fs::temp_directory_path() / ("tovalo-level-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string qdf = (dir / "NX-101.qdf").string();
    EXPECT_EQ(readLevelTexts(qdf)[2], "レベル:C あとちょっと");
    std::ofstream(dir / "NX-101.ini", std::ios::binary)
        << text::utf8ToCp932("fig list\r\n1\r\n\r\n[Level]\r\nTextA=<b>合格</b>確実\r\n");
    const auto texts = readLevelTexts(qdf);
    EXPECT_EQ(texts[0], "<b>合格</b>確実");
    EXPECT_EQ(texts[4], "レベル:E もっとがんばり必要");
    fs::remove_all(dir);
}
