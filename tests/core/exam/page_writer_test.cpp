#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/exam/page_writer.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

std::vector<std::string> pageLines(std::string_view content, PageMode mode) {
    const std::string utf8 = text::cp932ToUtf8(pageBytes(content, mode));
    std::vector<std::string> out;
    for (auto l : text::splitLines(utf8))
        out.emplace_back(l);
    return out;
}

}  // namespace

TEST(WritePage, LinesOfEachMode) {
    const auto drop = pageLines("<INCLUDE IMG>@a.jpg\r\n<b>本文</b>", PageMode::DropFirstLine);
    ASSERT_EQ(drop.size(), 22u);
    EXPECT_EQ(drop[0], "<html>");
    EXPECT_EQ(drop[1], "<SCRIPT language=\"JavaScript\">");
    EXPECT_EQ(drop[3], "alert(\"このウィンドウでは、キー操作できません。\");");
    EXPECT_EQ(drop[8], "alert(\"右クリックはできません。\");");
    EXPECT_EQ(drop[17], "</SCRIPT>");
    EXPECT_EQ(drop[18],
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">");
    // Every page, whatever its mode, sets Latin and Japanese in the same
    // Gothic face rather than leaving Latin to the browser's serif default.
    EXPECT_EQ(drop[19],
              "<style>body, td, th { font-family: \"IPAPGothic\", \"IPAGothic\", "
              "sans-serif }</style>");
    EXPECT_EQ(drop[20], "<b>本文</b>");
    EXPECT_EQ(drop[21], "</html>");

    const auto whole = pageLines("一行目\r\n二行目", PageMode::Whole);
    ASSERT_EQ(whole.size(), 23u);
    EXPECT_EQ(whole[19], drop[19]);
    EXPECT_EQ(whole[20], "一行目");
    EXPECT_EQ(whole[21], "二行目");

    const auto styled = pageLines("一行目\r\n二行目", PageMode::Styled);
    ASSERT_EQ(styled.size(), whole.size() + 8);
    EXPECT_EQ(styled[19], drop[19]);
    EXPECT_EQ(styled[20], "<head>");
    EXPECT_EQ(styled[22], "body { font-size: 9pt }");
    EXPECT_EQ(styled[26], "<body topmargin=\"8\" leftmargin=\"1\">");
    EXPECT_EQ(styled[27], "一行目");
    EXPECT_EQ(styled[29], "</body>");
    EXPECT_EQ(styled[30], "</html>");

    // A fragment of one line has no page body in mode 0.
    EXPECT_EQ(pageLines("only the first line", PageMode::DropFirstLine)[20], "");
}

TEST(WritePage, BytesAreCp932WithCrLfAndNothingIsCut) {
    const std::string big(20000, 'x');
    const std::string bytes =
        pageBytes("図\r\n" + big + "\xF0\x9F\x98\x80", PageMode::DropFirstLine);
    EXPECT_NE(bytes.find(big + "&#128512;\r\n</html>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(text::utf8ToCp932("右クリックはできません。")), std::string::npos);
    EXPECT_EQ(bytes.find("\n", 0), bytes.find("\r\n", 0) + 1);
}

TEST(WritePage, WritesOverAReadOnlyPageAndKeepsThePageOnFailure) {
    const fs::path dir = fs::temp_directory_path() / ("tovalo-page-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "exam.htm").string();
    ASSERT_TRUE(WritePage("x\r\n最初", path, PageMode::DropFirstLine).ok());
    ::chmod(path.c_str(), 0444);
    ASSERT_TRUE(WritePage("x\r\n次", path, PageMode::DropFirstLine).ok());
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_NE(ss.str().find(text::utf8ToCp932("次")), std::string::npos);

    const Status failed = WritePage("x", (dir / "missing/exam.htm").string(), PageMode::Whole);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().file, (dir / "missing/exam.htm").string());
    fs::remove_all(dir);
}

TEST(PageToListText, StripsTheMarkUpItKnows) {
    EXPECT_EQ(PageToListText("<!-- QS -->\r\n<b>IPv6</b> &amp; NAT<br>続き\r\n三行目", 2),
              "IPv6 & NAT");
    EXPECT_EQ(PageToListText("前 <img src=\"a.gif\" width=3> 後", 2), "前 <<画像>> 後");
    EXPECT_EQ(PageToListText("<img src=\"a.gif\"", 2), "<<画像>>");
    EXPECT_EQ(PageToListText("<object></object><br>\r\n説明<sup>2</sup>と&lt;tag&gt;", 2),
              "説明2と<tag>");
    EXPECT_EQ(PageToListText("A<BR>B &quot;c&quot;&nbsp;d <em>e</em>", 2),
              "A B \"c\" d <em>e</em>");
    EXPECT_EQ(PageToListText("&amp;lt;", 2), "&lt;");
    EXPECT_EQ(PageToListText("<br>先頭で切れる", 2), "");
    EXPECT_EQ(PageToListText("<INCLUDE IMG>@a.jpg\r\n<i>問</i>題", 2), "問題");
    // Plain-text courses keep the text whole, line breaks included.
    EXPECT_EQ(PageToListText("一行目\r\n<b>二行目</b>", 1), "一行目\r\n<b>二行目</b>");
    EXPECT_EQ(PageToListText("<INCLUDE IMG>@a.jpg\r\n一行目\r\n二行目", 1), "一行目\r\n二行目");
}
