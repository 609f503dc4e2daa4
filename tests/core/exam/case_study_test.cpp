#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/exam/case_study.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

const std::string kImg = "/inst/QDAT/v/img/";

std::optional<CaseStudy> parse(const std::string& utf8) {
    return parseCaseStudy(text::utf8ToCp932(utf8), kImg);
}

std::string sourceSettings(const char* vendor, const char* course) {
    std::ifstream in(fs::path(TOVALO_TEST_DATA) / "qdat" / vendor / (std::string(course) + ".ini"));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(CaseStudy, SampleCoursesInBothFormats) {
    const auto text = parse(sourceSettings("sorane", "SRD-120"));
    ASSERT_TRUE(text.has_value());
    EXPECT_FALSE(text->html);
    EXPECT_EQ(text->text.substr(0, text->text.find("\r\n")),
              "そらね書房 オンライン書店の注文管理データベース");
    EXPECT_NE(text->text.find("\r\n\r\nそらね書房は、"), std::string::npos);
    EXPECT_EQ(text->text.find("[CASE STUDY IMAGE]"), std::string::npos);
    EXPECT_EQ(text->figures[0], kImg + "srd_er.jpg");
    EXPECT_EQ(text->figures[2], kImg + "srd_sample.jpg");
    EXPECT_EQ(text->figures[3], "");

    const auto html = parse(sourceSettings("nexa", "NXA-330"));
    ASSERT_TRUE(html.has_value());
    EXPECT_TRUE(html->html);
    EXPECT_EQ(html->text.substr(0, html->text.find("\r\n")),
              "<body topmargin=\"4\" leftmargin=\"8\">");
    EXPECT_EQ(html->figures[1], kImg + "nxa_case_target.bmp");
    EXPECT_EQ(html->figures[2], "");

    EXPECT_FALSE(parse(sourceSettings("nexa", "NXN-101")).has_value());
}

TEST(CaseStudy, SectionLinesAndDefaults) {
    // The marker is found trimmed and in any letter case; the text stops at
    // the first line that opens a section, even one the file never uses.
    const auto study = parse(
        "; comment\r\n  [Case Study]  \r\n第1行\r\n [字下げは本文]\r\n第3行\r\n[other]\r\n"
        "残り\r\n[CASE STUDY IMAGE]\r\nIMG2=fig.bmp\r\nIMG3=\r\nFMT=HTML\r\n");
    ASSERT_TRUE(study.has_value());
    EXPECT_EQ(study->text, "第1行\r\n [字下げは本文]\r\n第3行");
    EXPECT_EQ(study->figures[0], "");
    EXPECT_EQ(study->figures[1], kImg + "fig.bmp");
    EXPECT_EQ(study->figures[2], "");
    EXPECT_TRUE(study->html);

    const auto bare = parse("[case study]\nただ一行\n");
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->text, "ただ一行");
    EXPECT_FALSE(bare->html);
    for (const std::string& f : bare->figures) {
        EXPECT_EQ(f, "");
    }

    const auto empty = parse("[case study]");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->text, "");

    EXPECT_FALSE(parse("[case  study]\r\nx\r\n").has_value());
    EXPECT_FALSE(readCaseStudy("/nonexistent/course.ini", kImg).has_value());
}
