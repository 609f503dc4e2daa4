// How a published course's files are numbered and rewritten for clients.
#include <gtest/gtest.h>

#include "core/text/cp932.h"
#include "core/update/update_rules.h"
#include "server/protocol/course_files.h"
#include "server/service/courses.h"
#include "server/service/zip_pack.h"
#include "server/zip_entry.h"

namespace {

using namespace tovalo;
using namespace tovalo::server;

store::CourseVersion served(std::int64_t listVersion, std::vector<store::PublishedFigure> figures) {
    store::CourseVersion v;
    v.figureListVersion = listVersion;
    v.figures = std::move(figures);
    return v;
}

service::CourseDraft draft(
    std::uint64_t listed,
    std::vector<std::tuple<std::string, std::string, std::uint64_t>> figures) {
    service::CourseDraft d;
    d.listedVersion = listed;
    for (auto& [name, hash, number] : figures) {
        d.figures.push_back({name, hash, number, std::nullopt});
    }
    return d;
}

TEST(CourseRules, FiguresAreRenumberedExactlyWhenTheirPictureChanges) {
    const std::vector<store::CourseVersion> twoVersions = {
        served(3, {{"a.bmp", "A1", 1}, {"gone.bmp", "G", 4}}),
        served(4, {{"a.bmp", "A1", 1}, {"b.jpg", "B1", 2}}),
    };
    struct Case {
        const char* what;
        service::CourseDraft draft;
        bool settingsChanged;
        std::vector<store::CourseVersion> history;
        std::uint64_t list;
        std::vector<std::uint64_t> figures;
    };
    const Case cases[] = {
        {"first publish keeps the author's numbers",
         draft(1, {{"a.bmp", "A1", 1}}),
         false,
         {},
         1,
         {1}},
        {"nothing changed: nothing grows",
         draft(1, {{"a.bmp", "A1", 1}, {"b.jpg", "B1", 1}}),
         false,
         twoVersions,
         4,
         {1, 2}},
        {"only the settings text changed",
         draft(1, {{"a.bmp", "A1", 1}, {"b.jpg", "B1", 2}}),
         true,
         twoVersions,
         5,
         {1, 2}},
        {"a changed picture gets a higher number, the other keeps its own",
         draft(1, {{"a.bmp", "A1", 1}, {"b.jpg", "B2", 2}}),
         false,
         twoVersions,
         5,
         {1, 3}},
        {"an author's higher number is never lowered",
         draft(9, {{"a.bmp", "A1", 7}, {"b.jpg", "B1", 2}}),
         false,
         twoVersions,
         9,
         {7, 2}},
        {"a figure dropped from the list is a change",
         draft(1, {{"a.bmp", "A1", 1}}),
         false,
         twoVersions,
         5,
         {1}},
        {"a name served long ago with another picture comes back higher",
         draft(1, {{"a.bmp", "A1", 1}, {"b.jpg", "B1", 2}, {"gone.bmp", "G2", 1}}),
         false,
         twoVersions,
         5,
         {1, 2, 5}},
        {"a withdrawal back to an earlier picture is a change too",
         draft(0, {{"a.bmp", "A1", 0}, {"b.jpg", "B0", 0}}),
         false,
         twoVersions,
         5,
         {1, 3}},
    };
    for (const Case& c : cases) {
        const service::FigureNumbers n =
            service::numberFigures(c.draft, c.settingsChanged, c.history);
        EXPECT_EQ(n.listVersion, c.list) << c.what;
        EXPECT_EQ(n.figures, c.figures) << c.what;
    }
}

TEST(CourseRules, ServedFilesDifferFromTheGivenOnesOnlyWhereClientsLook) {
    // Line 2 and each figure's number are rewritten; names, blanks, tabs,
    // comments, sections and line ends stay as written.
    const std::string ini = text::utf8ToCp932(
        "; 設定\r\n1\r\n; 図版\r\nfig one.bmp\t1\r\nb.jpg  12 \r\n[Level]\r\nTextA=合格\r\n");
    const std::uint64_t numbers[] = {3, 100};
    const std::string rewritten = protocol::withFigureVersions(ini, 7, numbers);
    EXPECT_EQ(
        text::cp932ToUtf8(rewritten),
        "; 設定\r\n7\r\n; 図版\r\nfig one.bmp\t3\r\nb.jpg  100 \r\n[Level]\r\nTextA=合格\r\n");
    // What a client reads from it is what was meant.
    Result<update::FigureList> read =
        update::readFigureList(rewritten, update::ListSource::Delivered, "x.ini");
    ASSERT_TRUE(read) << read.error().describe();
    EXPECT_EQ(read->version, 7u);
    ASSERT_EQ(read->figures.size(), 2u);
    EXPECT_EQ(read->figures[0].name, "fig one.bmp");
    EXPECT_EQ(read->figures[1].version, 100u);

    const std::string qdf = "a\nb\r\nc\nd\ne\nf\ng\nh\n20250310093000 x\r\nrest\x01\x02";
    EXPECT_EQ(protocol::withDateLine(qdf, "20261209100000 x"),
              "a\nb\r\nc\nd\ne\nf\ng\nh\n20261209100000 x\r\nrest\x01\x02");
    EXPECT_EQ(update::dateLineOf(protocol::withDateLine(qdf, "20261209100000")), "20261209100000");

    EXPECT_EQ(protocol::secondAfter("20251231235959"), "20260101000000");
    EXPECT_EQ(protocol::secondAfter("20240228235959"), "20240229000000");

    // Settings kept in UTF-8 are installed as CP932 with CR LF; CP932 stays
    // byte for byte; neither is refused naming the file.
    Result<std::string> fromUtf8 = protocol::installedSettingsFile("; 設定\n1\n", "s.ini");
    ASSERT_TRUE(fromUtf8);
    EXPECT_EQ(*fromUtf8, text::utf8ToCp932("; 設定\r\n1\r\n"));
    Result<std::string> kept = protocol::installedSettingsFile(ini, "s.ini");
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, ini);
    Result<std::string> neither = protocol::installedSettingsFile("\x81\x20\xff", "bad.ini");
    ASSERT_FALSE(neither);
    EXPECT_EQ(neither.error().file, "bad.ini");
}

// Both branches: no real question file is small enough to travel plain.
// That a server makes the same archive again is proven end to end.
TEST(CourseRules, AQuestionFileTravelsInTheSmallerForm) {
    std::string large;
    for (int i = 0; i < 2000; ++i) {
        large += "Null\r\n*AE\r\n" + std::to_string(i) + "\r\n";
    }
    for (const auto& [file, zipped] :
         {std::pair<std::string, bool>{"QFileFormat-v1.4\r\n", false}, {large, true}}) {
        Result<std::string> sent = service::smallerForm("C-1.qdf", file, 1765000000);
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent->starts_with("PK"), zipped) << file.size();
        if (zipped) {
            std::string name;
            EXPECT_EQ(onlyEntry(*sent, name), file);
            EXPECT_EQ(name, "#C-1.qdf");
            EXPECT_LT(sent->size(), file.size());
        } else {
            EXPECT_EQ(*sent, file);
        }
    }
}

}  // namespace
