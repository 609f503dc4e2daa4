#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/text/cp932.h"
#include "core/text/ini.h"

using tovalo::text::IniFile;
using tovalo::text::utf8ToCp932;

TEST(Ini, ReadsSectionsKeysAndDefaults) {
    const IniFile ini =
        IniFile::parse(utf8ToCp932("figure list line\r\n3\r\n\r\nzone.jpg 2\r\n"
                                   "[Vender]\r\n1=nexa\r\n 2 = sorane \r\n; 3=commented\r\n"
                                   "[Level]\r\nTextA=レベル:A 合格\r\nTextB=\"  quoted  \"\r\n"));
    EXPECT_EQ(ini.value("Vender", "1"), "nexa");
    EXPECT_EQ(ini.value("vender", "2"), "sorane");
    EXPECT_EQ(ini.value("Vender", "3", "*"), "*");
    EXPECT_EQ(ini.value("LEVEL", "texta"), "レベル:A 合格");
    EXPECT_EQ(ini.value("Level", "TextB"), "  quoted  ");
    EXPECT_EQ(ini.value("Level", "TextC", "レベル:C あとちょっと"), "レベル:C あとちょっと");
    EXPECT_TRUE(ini.hasSection("level"));
    EXPECT_FALSE(ini.hasKey("Vender", "zone.jpg 2"));  // text before any section is not a key
}

TEST(Ini, FirstDuplicateWinsAcrossRepeatedSections) {
    const IniFile ini = IniFile::parse("[A]\nk=first\nk=second\n[B]\nk=b\n[a]\nk=third\nm=more\n");
    EXPECT_EQ(ini.value("A", "k"), "first");
    EXPECT_EQ(ini.value("A", "m"), "more");
    EXPECT_EQ(ini.value("B", "k"), "b");
}

TEST(Ini, SkipsKeysUnderABrokenSectionHeader) {
    const IniFile ini = IniFile::parse("[A]\nk=1\n[broken\nk2=2\n[B]\nk=3\n");
    EXPECT_EQ(ini.value("A", "k"), "1");
    EXPECT_FALSE(ini.hasKey("A", "k2"));
    EXPECT_EQ(ini.value("B", "k"), "3");
}

TEST(Ini, MissingFileIsAnErrorOrEmpty) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "no-such-tovalo.ini").string();
    auto loaded = IniFile::load(path);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().message, "ファイルが見つかりません");
    EXPECT_EQ(loaded.error().file, path);
    EXPECT_EQ(IniFile::loadOrEmpty(path).value("Vender", "1", "*"), "*");
}
