#include "server/protocol/multipart.h"

#include <gtest/gtest.h>

namespace tovalo::server::protocol {
namespace {

constexpr std::string_view kType = "multipart/form-data; boundary=----Bnd7";

// What a browser sends for the publish form: a text field, a file chosen
// with a folder in its name (old browsers), and a file input left empty.
TEST(Multipart, ReadsWhatBrowsersSendAndRefusesWhatIsCutShort) {
    const std::string browser =
        "------Bnd7\r\nContent-Disposition: form-data; name=\"vendor\"\r\n\r\nnexa\r\n"
        "------Bnd7\r\nContent-Disposition: form-data; name=\"qdf\"; "
        "filename=\"C:\\\\q\\\\a;b.qdf\"\r\nContent-Type: application/octet-stream\r\n\r\n"
        "x\r\n--y\r\n\r\n"
        "------Bnd7\r\nContent-Disposition: form-data; name=\"ini\"; filename=\"\"\r\n\r\n"
        "\r\n------Bnd7--\r\n";
    const Result<std::vector<FormPart>> parts = parseMultipart(browser, kType);
    ASSERT_TRUE(parts.ok()) << parts.error().message;
    ASSERT_EQ(parts->size(), 3U);
    EXPECT_EQ(partValue(*parts, "vendor"), "nexa");
    EXPECT_EQ((*parts)[1].filename, "a;b.qdf");
    EXPECT_EQ((*parts)[1].data, "x\r\n--y\r\n");  // a line that only looks like a boundary
    EXPECT_TRUE((*parts)[2].isFile);
    EXPECT_EQ((*parts)[2].filename, "");

    struct Refused {
        const char* why;
        std::string body;
        std::string_view type;
    };
    const std::vector<Refused> refused = {
        {"no closing boundary", browser.substr(0, browser.size() - 12), kType},
        {"another media type", browser, "application/x-www-form-urlencoded"},
        {"no boundary", browser, "multipart/form-data"},
        {"a part without a name",
         "------Bnd7\r\nContent-Disposition: form-data\r\n\r\nv\r\n------Bnd7--", kType},
        {"a head that never ends", "------Bnd7\r\nContent-Disposition: form-data; name=\"a\"",
         kType},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.why);
        const Result<std::vector<FormPart>> got = parseMultipart(r.body, r.type);
        ASSERT_FALSE(got.ok());
        EXPECT_FALSE(got.error().message.empty());
    }
}

}  // namespace
}  // namespace tovalo::server::protocol
