#include "core/app/vendors.h"

#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/platform/doubles.h"
#include "core/text/cp932.h"

namespace tovalo::app {
namespace {

TEST(VendorList, ReadsNumberedKeysUntilTheFirstGap) {
    EXPECT_EQ(parseVendorList("[Vender]\r\n1=nexa\r\n2=sorane\r\n4=kumo\r\n"),
              (std::vector<std::string>{"nexa", "sorane"}));
    // Key order in the file does not matter, only the numbering.
    EXPECT_EQ(parseVendorList("[Vender]\n2=sorane\n1=nexa\n"),
              (std::vector<std::string>{"nexa", "sorane"}));
    EXPECT_TRUE(parseVendorList("[Vender]\n2=sorane\n").empty());
    EXPECT_TRUE(parseVendorList("[Other]\n1=nexa\n").empty());
    EXPECT_TRUE(parseVendorList("").empty());

    TempTree t;
    EXPECT_TRUE(readVendorList(t.path("Tovalo20.ini")).empty());
    t.file("Tovalo20.ini", "[Vender]\n1=nexa\n");
    EXPECT_EQ(readVendorList(t.path("Tovalo20.ini")), (std::vector<std::string>{"nexa"}));
}

TEST(VendorStrings, TextIsVerbatimAfterTheFirstEquals) {
    VendorStrings s = VendorStrings::parse(
        "\xEF\xBB\xBF"
        "1=ベンダー情報\r\n"
        "5= \n"
        "6=  上級 \n"
        "10=a=b\n"
        "11=\n"
        "garbage line\n"
        "x=ignored\n");
    EXPECT_EQ(s.get(1), "ベンダー情報");
    EXPECT_EQ(s.get(5), " ");
    EXPECT_EQ(s.get(6), "  上級 ");
    EXPECT_EQ(s.get(10), "a=b");
    EXPECT_TRUE(s.has(11));
    EXPECT_EQ(s.get(11), "");
    EXPECT_FALSE(s.has(2));
    EXPECT_EQ(s.get(2), "");
}

TEST(VendorStrings, CutAtOneHundredCp932BytesOnACharacterBoundary) {
    std::string ascii(120, 'x');
    EXPECT_EQ(VendorStrings::parse("1=" + ascii).get(1), std::string(100, 'x'));

    // Kanji take two bytes each: 50 fit, the 51st does not.
    std::string kanji;
    for (int i = 0; i < 60; ++i) {
        kanji += "漢";
    }
    std::string cut = VendorStrings::parse("2=" + kanji).get(2);
    EXPECT_EQ(text::utf8ToCp932(cut).size(), 100u);
    EXPECT_EQ(cut.size(), 50u * 3);

    // 99 bytes of ASCII leave no room for a two-byte character.
    std::string odd = std::string(99, 'a') + "漢字";
    EXPECT_EQ(limitCp932Bytes(odd, 100), std::string(99, 'a'));

    // Half-width katakana are one byte in CP932 though three in UTF-8.
    std::string kana;
    for (int i = 0; i < 100; ++i) {
        kana += "ｱ";
    }
    EXPECT_EQ(limitCp932Bytes(kana + "ｱ", 100), kana);
}

std::string stringTable(const std::string& folder, const std::string& level3 = "エキスパート") {
    return "1=" + folder + " の情報\n2=" + folder +
           "\n3=2\n4=16777215\n5=基礎\n6=応用\n7=" + level3 +
           "\n8= \n9=0\n10=ヘルプ\n11=" + folder + " 表示名\n12=ｱ\n";
}

TEST(Vendor, FieldsComeFromTheStringTable) {
    Vendor v =
        makeVendor(2, "nexa", "/x/Tovalonexa.rcc", VendorStrings::parse(stringTable("nexa")));
    EXPECT_EQ(v.number, 2);
    EXPECT_EQ(v.folder, "nexa");
    EXPECT_EQ(v.infoTooltip, "nexa の情報");
    EXPECT_EQ(v.tabPosition, 2);
    EXPECT_EQ(v.panelColor, 16777215);
    EXPECT_EQ(v.displayName, "nexa 表示名");
    EXPECT_EQ(v.choiceLabelStyle, "ｱ");
    EXPECT_TRUE(v.hasLevel(1));
    EXPECT_TRUE(v.hasLevel(3));
    EXPECT_FALSE(v.hasLevel(4));
    EXPECT_FALSE(v.hasLevel(5));

    // A table without a folder string still belongs to its listed folder;
    // a broken tab position falls back to the vendor number.
    Vendor bare = makeVendor(3, "kumo", "/x/Tovalokumo.rcc", VendorStrings::parse("3=three\n"));
    EXPECT_EQ(bare.folder, "kumo");
    EXPECT_EQ(bare.tabPosition, 3);
}

class VendorLoading : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.dir("bin");
        for (const char* folder : {"nexa", "sorane", "kumo", "Mixed"}) {
            tree.dir(std::string("QDAT/") + folder);
            loader.bundles[tree.path("bin/Tovalo") + folder + ".rcc"] = stringTable(folder);
        }
        dirs = Directories::resolve(tree.path("bin"));
    }

    TempTree tree;
    platform::FakeBundleLoader loader;
    Directories dirs;
};

TEST_F(VendorLoading, SkipsFoldersWithoutQuestionsAndBundlesThatFail) {
    loader.bundles.erase(tree.path("bin/Tovalosorane.rcc"));
    std::vector<Vendor> vendors = loadVendors(dirs, {"nexa", "missing", "sorane", "kumo"}, loader);

    ASSERT_EQ(vendors.size(), 2u);
    EXPECT_EQ(vendors[0].folder, "nexa");
    EXPECT_EQ(vendors[0].number, 1);
    EXPECT_EQ(vendors[1].folder, "kumo");
    EXPECT_EQ(vendors[1].number, 2);
    EXPECT_EQ(vendors[1].bundleFile, tree.path("bin/Tovalokumo.rcc"));
    // A folder without a question directory never gets its bundle opened.
    EXPECT_EQ(loader.attempts, (std::vector<std::string>{tree.path("bin/Tovalonexa.rcc"),
                                                         tree.path("bin/Tovalosorane.rcc"),
                                                         tree.path("bin/Tovalokumo.rcc")}));
    EXPECT_EQ(loader.loaded.at(2), tree.path("bin/Tovalokumo.rcc"));

    unloadVendors(vendors, loader);
    EXPECT_TRUE(loader.loaded.empty());
    EXPECT_EQ(loader.unloaded, (std::vector<int>{1, 2}));
}

TEST_F(VendorLoading, StoredIndexIsClampedToTheVendorsPresent) {
    std::vector<Vendor> three = loadVendors(dirs, {"nexa", "sorane", "kumo"}, loader);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(selectVendor(5, three, ""), 3);
    EXPECT_EQ(selectVendor(2, three, ""), 2);
    EXPECT_EQ(selectVendor(0, three, ""), 1);
    EXPECT_EQ(selectVendor(1, {}, ""), 0);
}

TEST_F(VendorLoading, ArgumentIsLowerCasedBeforeItMeetsTheFolderNames) {
    std::vector<Vendor> vendors = loadVendors(dirs, {"nexa", "sorane", "Mixed"}, loader);
    ASSERT_EQ(vendors.size(), 3u);

    EXPECT_EQ(selectVendor(1, vendors, "SORANE"), 2);
    EXPECT_EQ(selectVendor(1, vendors, "sorane"), 2);
    // A folder name with capitals can never equal a lower-cased argument.
    EXPECT_EQ(selectVendor(1, vendors, "Mixed"), 1);
    EXPECT_EQ(selectVendor(1, vendors, "MIXED"), 1);
    EXPECT_EQ(selectVendor(2, vendors, "unknown"), 2);
}

}  // namespace
}  // namespace tovalo::app
