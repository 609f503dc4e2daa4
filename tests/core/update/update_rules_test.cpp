#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/text/cp932.h"
#include "core/update/update_rules.h"

using namespace tovalo;
using namespace tovalo::update;

namespace {

FigureList listOf(const std::string& utf8, ListSource source = ListSource::Local) {
    Result<FigureList> list = readFigureList(text::utf8ToCp932(utf8), source, "/q/NX.ini");
    EXPECT_TRUE(list) << (list ? "" : list.error().describe());
    return list ? *list : FigureList{};
}

std::vector<std::string> namesOf(const FigureList& list) {
    std::vector<std::string> names;
    for (const FigureEntry& f : list.figures) {
        names.push_back(f.name + "=" + std::to_string(f.version));
    }
    return names;
}

}  // namespace

// The list ends at the first section or at the end of the file, and its
// last line counts like every other; only a local list forgives empty lines.
TEST(FigureListTest, ReadsEntriesUpToTheFirstSectionAndTheLastLine) {
    const FigureList local = listOf(
        "; 設定\r\n12\r\n; 図版\r\nosi.bmp 1\r\n\r\n  topo.jpg   3  \r\n"
        "[Level]\r\nnot.jpg 9\r\n");
    EXPECT_EQ(local.version, 12u);
    EXPECT_EQ(namesOf(local), (std::vector<std::string>{"osi.bmp=1", "topo.jpg=3"}));

    const FigureList toEnd = listOf("x\n18446744073709551615\nx\na b.jpg 2\nlast.jpg 7");
    EXPECT_EQ(toEnd.version, 18446744073709551615ull);
    EXPECT_EQ(namesOf(toEnd), (std::vector<std::string>{"a b.jpg=2", "last.jpg=7"}));

    const FigureList noFigures = listOf("x\n3\n", ListSource::Delivered);
    EXPECT_EQ(noFigures.version, 3u);
    EXPECT_TRUE(noFigures.figures.empty());

    // Figure names in CP932 come out as UTF-8 file names.
    EXPECT_EQ(namesOf(listOf("x\n1\nx\n図版.jpg 4\n")), std::vector<std::string>{"図版.jpg=4"});
}

TEST(FigureListTest, NumbersThatAreNotNumbersFailNamingTheLine) {
    const auto failure = [](const std::string& utf8, ListSource source) {
        Result<FigureList> list = readFigureList(utf8, source, "/q/_NX.ini");
        EXPECT_FALSE(list) << utf8;
        return list ? std::string() : list.error().describe();
    };
    const std::string emptyLine = failure("x\n2\nx\na.jpg 1\n\nb.jpg 1\n", ListSource::Delivered);
    EXPECT_NE(emptyLine.find("/q/_NX.ini"), std::string::npos) << emptyLine;
    EXPECT_NE(emptyLine.find("5"), std::string::npos) << emptyLine;
    failure("x\n2\nx\nnoversion.jpg\n", ListSource::Local);
    failure("x\n2\nx\na.jpg 1x\n", ListSource::Delivered);
    failure("x\n2\nx\na.jpg -1\n", ListSource::Delivered);
    failure("x\nversion\nx\n", ListSource::Local);
    failure("x\n18446744073709551616\n", ListSource::Local);
    failure("", ListSource::Delivered);
}

// New figures and newer ones are fetched, the same or older are not, and
// the last entry of the list is compared like the rest.
TEST(FigureListTest, FetchesNewAndNewerFiguresIncludingTheLast) {
    const FigureList local = listOf("x\n1\nx\nsame.jpg 2\nnewer.jpg 1\nolder.jpg 5\nlast.jpg 1");
    const FigureList delivered =
        listOf("x\n2\nx\nsame.jpg 2\nnewer.jpg 2\nolder.jpg 4\n added.jpg 1\nlast.jpg 2",
               ListSource::Delivered);
    EXPECT_EQ(figuresToFetch(local, delivered),
              (std::vector<std::string>{"newer.jpg", "added.jpg", "last.jpg"}));
    EXPECT_TRUE(figuresToFetch(delivered, delivered).empty());
    EXPECT_EQ(figuresToFetch(FigureList{}, listOf("x\n1\nx\nonly.jpg 0", ListSource::Delivered)),
              std::vector<std::string>{"only.jpg"});
}

TEST(FigureNameTest, RefusesNamesThatLeaveTheImageFolder) {
    for (const char* good : {"osi.bmp", "図版 1.jpg", "a.b.jpg", "x-y_z.JPG"}) {
        EXPECT_TRUE(isSafeFigureName(good)) << good;
    }
    const std::string tooLong(256, 'a');
    for (const std::string& bad : std::vector<std::string>{
             "../x.jpg", "a/b.jpg", "a\\b.jpg", ".hidden.jpg", "..", ".", "/abs.jpg", "",
             std::string("x\x01.jpg"), std::string("x\n.jpg"), std::string("x\x7f.jpg"),
             std::string("x\0.jpg", 6), "a..b.jpg", "img/../../evil.jpg", tooLong}) {
        EXPECT_FALSE(isSafeFigureName(bad)) << bad;
    }
}

// Either part of the date line decides; a line too short to hold both is
// an error about that file, not a verdict.
TEST(DateLineTest, EitherGreaterPartMakesTheDeliveredFileNewer) {
    const auto newer = [](const char* local, const char* delivered) {
        Result<bool> r = deliveredIsNewer(local, delivered, "NX-101.qdf");
        EXPECT_TRUE(r) << local << " / " << delivered;
        return r && *r;
    };
    EXPECT_TRUE(newer("20261101120000", "20261201090000"));   // month later, earlier time
    EXPECT_TRUE(newer("20261201090000", "20261101120000"));   // month earlier, later time
    EXPECT_FALSE(newer("20261201090000", "20261201090000"));  // identical
    EXPECT_FALSE(newer("20261201090000", "20261101080000"));  // both earlier
    EXPECT_TRUE(newer("20261201090000      N", "20261201090001"));

    for (const auto& [local, delivered] :
         std::vector<std::pair<const char*, const char*>>{{"2026120109000", "20261201090000"},
                                                          {"20261201090000", "20261201"},
                                                          {"20261201090000", ""},
                                                          {"2026-12-01 09:00", "20261201090000"}}) {
        Result<bool> r = deliveredIsNewer(local, delivered, "NX-101.qdf");
        ASSERT_FALSE(r) << local << " / " << delivered;
        EXPECT_NE(r.error().message.find("NX-101.qdf"), std::string::npos);
    }

    EXPECT_EQ(dateLineOf("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n20261201093000 N\r\n10\r\n"),
              "20261201093000 N");
    EXPECT_EQ(dateLineOf("a\nb\n"), "");
    EXPECT_EQ(stampOf("20261201093000 N"), "20261201093000");
    EXPECT_EQ(stampOf("2026"), "2026");
}

TEST(UpdateRequestTest, AddressesAndStatusText) {
    const UpdateAddresses a{"upd.example:8080", "update/qdf.cgi", "img.example", "update/img"};
    const app::Profile p{"Taro Yamada", "Org", "t@example.jp", "S 1"};
    EXPECT_EQ(questionFileAddress(a, p, "NX-101.qdf", "20261201093000"),
              "http://upd.example:8080/update/qdf.cgi?Name=Taro%20Yamada&Serial=S%201"
              "&QDFName=NX-101.qdf&date=20261201093000&Email=t@example.jp");
    EXPECT_EQ(figureAddress(a, "nx osi.bmp"), "http://img.example/update/img/nx%20osi.bmp");
    const app::Profile japanese{"山田", "", "", ""};
    EXPECT_NE(
        questionFileAddress(a, japanese, "A.qdf", "").find("Name=" + text::utf8ToCp932("山田")),
        std::string::npos);

    EXPECT_EQ(transferText(512, 1024), "512 bytes / 1024 bytes");
    EXPECT_EQ(transferText(2047, 1025), "1 KB / 1 KB");
    EXPECT_EQ(transferText(300 * 1024 + 5, 2 * 1024 * 1024), "300 KB / 2048 KB");
    EXPECT_EQ(transferText(100, std::nullopt), "100 bytes");
    EXPECT_EQ(transferText(4096, std::nullopt), "4 KB");

    EXPECT_EQ(replacedList({"NX-101 : 基礎", "NX-102 : 応用"}),
              "以下の問題ファイルが更新されました。\n\nNX-101 : 基礎\nNX-102 : 応用");
    EXPECT_EQ(downloadFailed("x"), "ダウンロードに失敗しました。 (ﾒｯｾｰｼﾞ:x)");
    EXPECT_EQ(uncompressFailed(12), "Uncompressに失敗しました。ｴﾗｰｺｰﾄﾞ: 12");
}

TEST(UpdateRequestTest, ReadsFourServerLines) {
    TempTree tree;
    tree.file("bin/SRV_INFO", " upd.example \r\nupdate/qdf.cgi\r\nimg.example\r\nupdate/img\r\n");
    Result<UpdateAddresses> a = readUpdateAddresses(tree.path("bin") + "/");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->updateHost, "upd.example");
    EXPECT_EQ(a->figurePath, "update/img");
    tree.file("bin/SRV_INFO", "a\r\nb\r\nc\r\n");
    Result<UpdateAddresses> short3 = readUpdateAddresses(tree.path("bin") + "/");
    ASSERT_FALSE(short3);
    EXPECT_NE(short3.error().file.find("SRV_INFO"), std::string::npos);
    EXPECT_FALSE(readUpdateAddresses(tree.path("nowhere") + "/"));
}
