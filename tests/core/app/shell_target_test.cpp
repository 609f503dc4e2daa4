#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/platform/doubles.h"
#include "core/platform/shell.h"

namespace tovalo::platform {
namespace {

TEST(ShellTarget, AddressesPassLocalFilesMustExist) {
    EXPECT_FALSE(isLocalFileTarget("http://www.example.com/faq?testid=1"));
    EXPECT_FALSE(isLocalFileTarget("mailto:support@example.com"));
    EXPECT_TRUE(isLocalFileTarget("Print/Print.htm"));
    EXPECT_TRUE(isLocalFileTarget("/opt/tovalo/QDAT/nexa/Ques.htm"));
    EXPECT_TRUE(isLocalFileTarget("FILE:///tmp/x.htm"));
    EXPECT_EQ(localFilePath("file:///tmp/a%20b.htm"), "/tmp/a b.htm");
    EXPECT_EQ(localFilePath("file://localhost/tmp/x.htm"), "/tmp/x.htm");

    TempTree t;
    t.file("Form.htm", "<html></html>");
    RecordingShell shell;
    EXPECT_TRUE(shell.open(t.path("Form.htm")).ok());
    EXPECT_TRUE(shell.open("http://www.example.com/").ok());
    Status missing = shell.open(t.path("nothing.htm"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "ファイルが見つかりません");
    EXPECT_EQ(missing.error().file, t.path("nothing.htm"));
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{t.path("Form.htm"), "http://www.example.com/"}));
    EXPECT_EQ(shell.refused, (std::vector<std::string>{t.path("nothing.htm")}));
}

}  // namespace
}  // namespace tovalo::platform
