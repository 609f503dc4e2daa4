#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/exam/page_writer.h"
#include "core/text/cp932.h"

namespace fs = std::filesystem;
using namespace tovalo;

namespace {

std::string fileBytes(const std::string& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

}  // namespace

// A page holds these lines and nothing else: a face, a style or a script
// of the viewer's own belongs in the viewer, not in the file.
TEST(WritePage, WritesExactlyTheLinesOfEachMode) {
    const std::vector<std::string> head = {
        "<html>",
        "<SCRIPT language=\"JavaScript\">",
        "function keydown() {",
        "alert(\"このウィンドウでは、キー操作できません。\");",
        "return false;",
        "}",
        "function right() {",
        "if (event.button == 2 || event.button == 3) {",
        "alert(\"右クリックはできません。\");",
        "return false;",
        "}",
        "return true;",
        "}",
        "document.onmousedown=right;",
        "window.onmousedown=right;",
        "document.onkeydown=keydown;",
        "window.onkeydown=keydown;",
        "</SCRIPT>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
    };
    const std::vector<std::string> styledHead = {
        "<head>",
        "<style>",
        "body { font-size: 9pt }",
        "td { font-size: 9pt }",
        "</style>",
        "</head>",
        "<body topmargin=\"8\" leftmargin=\"1\">",
    };
    const auto page = [&](std::vector<std::string> middle, bool styled) {
        std::vector<std::string> all = head;
        if (styled) {
            all.insert(all.end(), styledHead.begin(), styledHead.end());
        }
        all.insert(all.end(), middle.begin(), middle.end());
        if (styled) {
            all.push_back("</body>");
        }
        all.push_back("</html>");
        std::string bytes;
        for (const std::string& l : all) {
            bytes += l + "\r\n";
        }
        return text::utf8ToCp932(bytes);
    };
    const struct {
        std::string content;
        PageMode mode;
        std::string expected;
    } cases[] = {
        {"<INCLUDE IMG>@a.jpg\r\n<b>本文</b>", PageMode::DropFirstLine,
         page({"<b>本文</b>"}, false)},
        // One line only: mode 0 leaves an empty body line.
        {"only the first line", PageMode::DropFirstLine, page({""}, false)},
        {"一行目\r\n二行目", PageMode::Whole, page({"一行目", "二行目"}, false)},
        {"一行目\r\n二行目", PageMode::Styled, page({"一行目", "二行目"}, true)},
    };
    const fs::path dir = fs::temp_directory_path() / ("tovalo-lines-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "exam.htm").string();
    for (const auto& c : cases) {
        ASSERT_TRUE(WritePage(c.content, path, c.mode).ok());
        EXPECT_EQ(fileBytes(path), c.expected)
            << c.content << " in mode " << static_cast<int>(c.mode);
    }
    fs::remove_all(dir);
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
    EXPECT_NE(fileBytes(path).find(text::utf8ToCp932("次")), std::string::npos);

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
    // A figure line out of its place goes too, not the line that stands first.
    EXPECT_EQ(PageToListText("<!-- QS -->\r\n<INCLUDE IMG>@a.bmp\r\n本文", 2), "本文");
    // Plain-text courses keep the text whole, line breaks included.
    EXPECT_EQ(PageToListText("一行目\r\n<b>二行目</b>", 1), "一行目\r\n<b>二行目</b>");
    EXPECT_EQ(PageToListText("<INCLUDE IMG>@a.jpg\r\n一行目\r\n二行目", 1), "一行目\r\n二行目");
}
