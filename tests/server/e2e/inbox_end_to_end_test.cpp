// Questions and diagnosis requests posted to a real tovalo-server, the FAQ
// their answers become and the news, as a browser meets them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "common/temp_tree.h"
#include "core/text/cp932.h"
#include "core/views/answer_view.h"
#include "server/server_process.h"

using json = nlohmann::json;

namespace {

using namespace tovalo;

// A value as a browser sends it from a Shift_JIS page.
std::string formValue(std::string_view utf8) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text::utf8ToCp932(utf8)) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string form(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        body += (body.empty() ? "" : "&") + name + "=" + formValue(value);
    }
    return body;
}

std::string get(const std::string& target) {
    return "GET " + target + " HTTP/1.0\r\nHost: localhost\r\n\r\n";
}

class InboxEndToEnd : public ::testing::Test {
  protected:
    std::string data() { return tree_.path("data"); }
    std::pair<int, std::string> admin(const std::string& args) { return serverAdmin(data(), args); }

    TempTree tree_;
    ServerProcess server_{tree_.path("data")};
};

TEST_F(InboxEndToEnd, AnAnsweredQuestionBecomesTheFaqOfThatQuestion) {
    // The hidden values carry the line breaks the template puts around them.
    const std::string question = "<b>なぜ</b> & \"ウ\" ではないのですか？\r\n教えてください";
    const std::optional<HttpAnswer> receipt = httpExchange(
        server_.port(), postRequest("/cgi-bin/tovalo/support.cgi",
                                    form({{"serial", "\r\nS-1 2\r\n"},
                                          {"name", "\r\n山田 太郎\r\n"},
                                          {"org", "\r\n\r\n"},
                                          {"mail", "\r\nt@example.jp\r\n"},
                                          {"test", "\r\nNXN-101 : ネットワーク基礎\r\n"},
                                          {"qdfdate", "\r\n20250310093000\r\n"},
                                          {"quesnum", "\r\n12\r\n"},
                                          {"ques", "OSI 参照モデルの第3層は？"},
                                          {"answ", "A : 物理層\r\n正解 :C\r\n解答 : A "},
                                          {"question", question}})));
    ASSERT_TRUE(receipt);
    ASSERT_EQ(receipt->status, 200) << receipt->body;
    EXPECT_NE(receipt->body.find("id=\"receipt\">1<"), std::string::npos) << receipt->body;

    const auto [shown, item] = admin("inbox show 1");
    ASSERT_EQ(shown, 0);
    const json stored = json::parse(item);
    EXPECT_EQ(stored["Kind"], "question");
    EXPECT_EQ(stored["TestID"], "NXN-101");
    EXPECT_EQ(stored["QuesNum"], 12);
    EXPECT_EQ(stored["Fields"][1], json({{"Name", "name"}, {"Value", "山田 太郎"}}));
    EXPECT_EQ(stored["Fields"][9]["Value"], question);
    // The identifier is kept as the server keeps learners: hashed, never in clear.
    EXPECT_EQ(stored["Fields"][0]["Value"].get<std::string>().size(), 64u);
    EXPECT_EQ(item.find("S-1 2"), std::string::npos);

    // The FAQ the answer view opens for that question: kind while unanswered,
    // then the learner's question and the staff's answers, newest first.
    const std::string faq = faqAddress("http://localhost/faq/index.cgi", "NXN-101", 12).substr(16);
    EXPECT_EQ(httpExchange(server_.port(), get(faq))->body.find("なぜ"), std::string::npos);
    ASSERT_EQ(admin("inbox answer 1 'ネットワーク層です。'").first, 0);
    ASSERT_EQ(admin("inbox answer 1 '補足: ルータが働く層です。'").first, 0);
    const std::string page = httpExchange(server_.port(), get(faq))->body;
    EXPECT_NE(page.find("&lt;b&gt;なぜ&lt;/b&gt; &amp; &quot;ウ&quot;"), std::string::npos) << page;
    const std::size_t later = page.find("補足: ルータが働く層です。");
    const std::size_t first = page.find("ネットワーク層です。");
    ASSERT_NE(later, std::string::npos);
    ASSERT_NE(first, std::string::npos);
    EXPECT_LT(later, first);
    // Another question of the course shows none of it.
    const std::string other = faqAddress("", "NXN-101", 13);
    EXPECT_EQ(httpExchange(server_.port(), get("/faq/index.cgi" + other))->body.find("なぜ"),
              std::string::npos);

    const auto [listed, list] = admin("inbox list");
    EXPECT_EQ(listed, 0);
    EXPECT_NE(list.find("\tquestion\tNXN-101\t12\tanswered\t<b>なぜ</b>"), std::string::npos)
        << list;
}

TEST_F(InboxEndToEnd, NewsShowsTheLatestNoticesFirst) {
    EXPECT_EQ(httpExchange(server_.port(), get("/news/index.html"))->status, 200);
    for (int i = 1; i <= 22; ++i) {
        ASSERT_EQ(
            admin("news add 'お知らせ" + std::to_string(i) + "' '本文<" + std::to_string(i) + ">'")
                .first,
            0);
    }
    const std::string page = httpExchange(server_.port(), get("/news/index.html"))->body;
    EXPECT_LT(page.find("お知らせ22"), page.find("お知らせ21"));
    EXPECT_NE(page.find("本文&lt;3&gt;"), std::string::npos);
    EXPECT_EQ(page.find("お知らせ2<"), std::string::npos) << "only the last 20 are shown";
}

TEST_F(InboxEndToEnd, HostileFormsAreRefusedAndNothingIsStored) {
    std::string manyFields;
    for (int i = 0; i < 10000; ++i) {
        manyFields += "f" + std::to_string(i) + "=1&";
    }
    // What the form reader refuses is proven on its own; here, that a
    // refusal reaches the browser as a 400 and leaves nothing behind.
    const struct {
        const char* what;
        std::string request;
        int status;
    } cases[] = {
        {"10,000 fields", postRequest("/cgi-bin/tovalo/support.cgi", manyFields), 400},
        {"FAQ without a question", get("/faq/index.cgi?testid=NXN-101"), 400},
        {"FAQ with a broken number", get("/faq/index.cgi?testid=NXN-101&testno=1x"), 400},
        {"FAQ with a NUL", get("/faq/index.cgi?testid=N%00&testno=1"), 400},
    };
    for (const auto& c : cases) {
        const std::optional<HttpAnswer> a = httpExchange(server_.port(), c.request);
        ASSERT_TRUE(a) << c.what;
        EXPECT_EQ(a->status, c.status) << c.what << "\n" << a->body.substr(0, 300);
    }
    const auto [listed, list] = admin("inbox list");
    EXPECT_EQ(listed, 0);
    EXPECT_EQ(list, "");
}

}  // namespace
