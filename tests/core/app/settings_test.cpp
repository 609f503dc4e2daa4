#include <gtest/gtest.h>

#include "core/app/command_line.h"
#include "core/app/program_options.h"
#include "core/app/settings_keys.h"
#include "core/app/window_placement.h"
#include "core/platform/doubles.h"

namespace tovalo::app {
namespace {

TEST(CourseMenuPlacement, NothingStoredOpensCentredAtMinimumSize) {
    platform::MemorySettingsStore store;
    CourseMenuPlacement p = readCourseMenuPlacement(store, 1920, 1080);

    EXPECT_EQ(p.bounds, (Bounds{1920 / 2 - 380, 1080 / 2 - 281, 760, 562}));
    EXPECT_EQ(p.state, WindowState::Normal);
    EXPECT_EQ(readDefaultVendor(store), 1);
}

TEST(CourseMenuPlacement, StoredValuesWin) {
    platform::MemorySettingsStore store;
    store.values = {{"Left", "0"},     {"Top", "-20"}, {"Width", "900"},
                    {"Height", "700"}, {"State", "2"}, {"DefaultDir", "3"}};
    CourseMenuPlacement p = readCourseMenuPlacement(store, 1280, 1024);

    EXPECT_EQ(p.bounds, (Bounds{0, -20, 900, 700}));
    EXPECT_EQ(p.state, WindowState::Maximised);
    EXPECT_EQ(readDefaultVendor(store), 3);
}

TEST(CourseMenuPlacement, AbsentMarkerAndGarbageFallBackPerValue) {
    platform::MemorySettingsStore store;
    // -999 is how an absent position reads, so storing it means "absent".
    store.values = {
        {"Left", "-999"}, {"Top", "12"}, {"Width", "wide"}, {"State", "1"}, {"DefaultDir", "0"}};
    CourseMenuPlacement p = readCourseMenuPlacement(store, 1000, 800);

    EXPECT_EQ(p.bounds, (Bounds{1000 / 2 - 380, 12, 760, 562}));
    EXPECT_EQ(p.state, WindowState::Normal);
    EXPECT_EQ(readDefaultVendor(store), 1);
}

TEST(CourseMenuPlacement, ClosingWritesBoundsStateRootAndVendorInOrder) {
    std::vector<SettingWrite> normal =
        courseMenuClosingValues(Bounds{10, 20, 800, 600}, WindowState::Normal, "/opt/t", 2);
    std::vector<SettingWrite> expected = {{"State", "1"},     {"Width", "800"}, {"Height", "600"},
                                          {"Top", "20"},      {"Left", "10"},   {"Path", "/opt/t"},
                                          {"DefaultDir", "2"}};
    EXPECT_EQ(normal, expected);

    std::vector<SettingWrite> maximised =
        courseMenuClosingValues(Bounds{10, 20, 800, 600}, WindowState::Maximised, "/opt/t", 2);
    EXPECT_EQ(maximised.front(), (SettingWrite{"State", "2"}));

    // What the menu writes on close is what it reads on the next start.
    platform::MemorySettingsStore store;
    writeAll(store, maximised);
    CourseMenuPlacement reread = readCourseMenuPlacement(store, 1920, 1080);
    EXPECT_EQ(reread.bounds, (Bounds{10, 20, 800, 600}));
    EXPECT_EQ(reread.state, WindowState::Maximised);
    EXPECT_EQ(readDefaultVendor(store), 2);
}

TEST(SettingsKeys, DefaultsOfPlainValues) {
    platform::MemorySettingsStore store;
    EXPECT_EQ(settings::read(store, settings::kDebug), "FALSE");
    EXPECT_EQ(settings::read(store, settings::kCdPath), "NA");
    EXPECT_EQ(settings::read(store, settings::kCdPath2), "NA");
    EXPECT_EQ(settings::read(store, settings::kName), "");
    EXPECT_EQ(settings::read(store, settings::kDefaultDir), "1");

    store.write(settings::kCdPath, "/media/cdrom/");
    EXPECT_EQ(settings::read(store, settings::kCdPath), "/media/cdrom/");
}

TEST(SettingsStore, IntegersAreDecimalText) {
    platform::MemorySettingsStore store;
    store.writeInteger("Width", -42);
    EXPECT_EQ(store.values.at("Width"), "-42");
    EXPECT_EQ(store.readInteger("Width", 0), -42);

    store.values["Top"] = " 17 ";
    EXPECT_EQ(store.readInteger("Top", 0), 17);
    store.values["Top"] = "17px";
    EXPECT_EQ(store.readInteger("Top", 5), 5);
    store.values["Top"] = "";
    EXPECT_EQ(store.readInteger("Top", 5), 5);
    store.values["Top"] = "99999999999";
    EXPECT_EQ(store.readInteger("Top", 5), 5);
}

TEST(CommandLine, ArgumentIsLowerCasedAndDSwitchesQuestionNumbersOn) {
    EXPECT_EQ(parseCommandLine({}).argument, "");
    EXPECT_EQ(parseCommandLine({"SoRaNe", "ignored"}).argument, "sorane");

    EXPECT_FALSE(showsQuestionNumbers("FALSE", parseCommandLine({})));
    EXPECT_TRUE(showsQuestionNumbers("TRUE", parseCommandLine({})));
    EXPECT_TRUE(showsQuestionNumbers("FALSE", parseCommandLine({"d"})));
    EXPECT_TRUE(showsQuestionNumbers("FALSE", parseCommandLine({"D"})));
    EXPECT_FALSE(showsQuestionNumbers("FALSE", parseCommandLine({"debug"})));
    // Only the exact stored word counts.
    EXPECT_FALSE(showsQuestionNumbers("true", parseCommandLine({})));
    EXPECT_FALSE(showsQuestionNumbers("FALSE", parseCommandLine({"nexa", "d"})));
}

TEST(CommandLine, HelpAndVersionAreAnsweredWithoutAWindow) {
    EXPECT_EQ(terminalRequest({}), TerminalRequest::None);
    EXPECT_EQ(terminalRequest({"nexa"}), TerminalRequest::None);
    // Qt's own options travel on the same command line.
    EXPECT_EQ(terminalRequest({"-platform", "offscreen", "--version"}), TerminalRequest::Version);
    EXPECT_EQ(terminalRequest({"--version", "-h"}), TerminalRequest::Help);
    EXPECT_EQ(terminalRequest({"--help"}), TerminalRequest::Help);
    // Near misses open the program as before.
    EXPECT_EQ(terminalRequest({"-help"}), TerminalRequest::None);
    EXPECT_EQ(terminalRequest({"--VERSION"}), TerminalRequest::None);

    const std::string help = helpText("4.5.6");
    EXPECT_NE(help.find("4.5.6"), std::string::npos);
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_EQ(help.back(), '\n');
}

TEST(WindowFit, AWindowStoredAtOneScaleOpensWhollyOnAScreenAtAnother) {
    // 1280 × 900 at 200 %: 640 × 450 logical pixels, a 24-pixel panel on top.
    const Bounds area{0, 24, 640, 426};
    const FrameMargins frame{2, 20, 2, 2};

    // The course menu's stored place from a 100 % session on the same screen.
    const Bounds fitted = fitInside(Bounds{260, 169, 760, 562}, area, frame);
    EXPECT_EQ(fitted, (Bounds{2, 44, 636, 404}));

    // A window that fits keeps its place and size; one hanging off the far
    // edges is pulled back by no more than it hangs over.
    EXPECT_EQ(fitInside(Bounds{40, 80, 520, 300}, area, frame), (Bounds{40, 80, 520, 300}));
    EXPECT_EQ(fitInside(Bounds{200, 200, 520, 300}, area, frame), (Bounds{118, 148, 520, 300}));
    // Off the near edges (a second screen to the left, since unplugged).
    EXPECT_EQ(fitInside(Bounds{-900, -40, 520, 300}, area, frame), (Bounds{2, 44, 520, 300}));
    // An area on a second screen keeps its own origin.
    EXPECT_EQ(fitInside(Bounds{0, 0, 900, 700}, Bounds{1920, 0, 1280, 1024}),
              (Bounds{1920, 0, 900, 700}));
}

TEST(WindowFit, AWindowMovesBeforeItShrinksAndNeverBelowItsMinimum) {
    const Bounds area{0, 24, 640, 426};
    const FrameMargins frame{2, 20, 2, 2};
    // The answer window unfolding from 95 to 250 pixels low on the screen
    // rises by what it would hang over.
    EXPECT_EQ(fitInside(Bounds{384, 274, 254, 250}, area, frame), (Bounds{384, 198, 254, 250}));
    // A window that may shrink to 700 × 300 gives up the height but keeps
    // its width, and shows its left edge.
    EXPECT_EQ(fitInside(Bounds{100, 100, 760, 562}, area, frame, {700, 300}),
              (Bounds{2, 44, 700, 404}));
    // One whose size is fixed only moves, its title bar inside the area.
    EXPECT_EQ(fitInside(Bounds{300, 200, 640, 495}, area, frame, {640, 495}),
              (Bounds{2, 44, 640, 495}));
}

TEST(WindowFit, NarrowedRowsKeepTheirOrderInsideTheWindow) {
    // The design width and more leave positions as they are.
    EXPECT_EQ(narrowed(654, 760, 760), 654);
    EXPECT_EQ(narrowed(654, 1600, 760), 654);
    // The exam screen's last button (654 + 96) at 640 pixels ends inside it.
    const int x = narrowed(654, 640, 760);
    const int w = narrowed(96, 640, 760);
    EXPECT_LE(x + w, 640);
    EXPECT_LT(narrowed(554, 640, 760) + narrowed(96, 640, 760), x);
    EXPECT_EQ(narrowed(10, 0, 760), 0);
}

}  // namespace
}  // namespace tovalo::app
