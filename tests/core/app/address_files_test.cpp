#include "core/app/address_files.h"

#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/common/files.h"
#include "core/text/cp932.h"

namespace tovalo::app {
namespace {

TEST(AddressFiles, LinesAreDecodedAndTrimmed) {
    TempTree t;
    t.file("CGI_URL", "  http://diag.example/cgi-bin/post.cgi \r\nsecond line\r\n");
    Result<std::string> url = readFirstAddress(t.path("CGI_URL"));
    ASSERT_TRUE(url.ok()) << url.error().describe();
    EXPECT_EQ(*url, "http://diag.example/cgi-bin/post.cgi");

    t.file("online", text::utf8ToCp932("\thttp://news.example/お知らせ.html\n"));
    Result<std::vector<std::string>> lines = readAddressLines(t.path("online"));
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(*lines, (std::vector<std::string>{"http://news.example/お知らせ.html"}));

    t.file("empty", "");
    Result<std::string> none = readFirstAddress(t.path("empty"));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(*none, "");
}

TEST(AddressFiles, MissingFileNamesTheFile) {
    TempTree t;
    Result<std::string> url = readFirstAddress(t.path("CGI_URL"));
    ASSERT_FALSE(url.ok());
    EXPECT_EQ(url.error().message, "ファイルが見つかりません");
    EXPECT_EQ(url.error().file, t.path("CGI_URL"));
    EXPECT_NE(url.error().describe().find("CGI_URL"), std::string::npos);
}

}  // namespace
}  // namespace tovalo::app
