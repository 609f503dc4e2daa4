// The staff console of a real tovalo-server, as a browser and an attacker
// meet it: who may see what, which forms count, how outside text shows.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>

#include "common/temp_tree.h"
#include "server/server_process.h"

namespace {

constexpr const char* kPassword = "correct horse 42";

struct Visitor {
    std::string cookie;  // "tovalo_console=..."
    std::string csrf;
};

std::string headerValue(const HttpAnswer& a, const std::string& name) {
    std::smatch m;
    const std::regex line("\r\n" + name + ": ([^\r]*)", std::regex::icase);
    return std::regex_search(a.head, m, line) ? m[1].str() : "";
}

std::string cookieOf(const HttpAnswer& a) {
    const std::string set = headerValue(a, "Set-Cookie");
    return set.substr(0, set.find(';'));
}

std::string csrfOf(const std::string& page) {
    std::smatch m;
    return std::regex_search(page, m, std::regex(R"(name="csrf" value="([0-9a-f]+)\")"))
               ? m[1].str()
               : "";
}

std::string urlEncoded(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) != 0 && c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// A word for the shell, whatever it holds.
std::string quoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

class ConsoleEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"hanako", "ken"}) {
            ASSERT_EQ(staffCommand(std::string("staff add ") + name, kPassword), 0);
        }
        server_ = std::make_unique<ServerProcess>(tree_.path("data"));
    }

    // `admin staff ...` with `password` typed twice.
    int staffCommand(const std::string& args, const std::string& password) {
        const std::string typed = tree_.path("typed");
        std::ofstream(typed) << password << '\n' << password << '\n';
        return serverAdmin(tree_.path("data"), args + " < '" + typed + "'").first;
    }

    HttpAnswer exchange(const std::string& method, const std::string& target,
                        const std::string& cookie, const std::string& body = {}) {
        const std::optional<HttpAnswer> a =
            httpExchange(server_->port(), browserRequest(method, target, cookie, body));
        EXPECT_TRUE(a.has_value()) << method << " " << target;
        return a.value_or(HttpAnswer{});
    }

    // The sign-in page's session and form token.
    Visitor atSignIn() {
        const HttpAnswer page = exchange("GET", "/console/signin", "");
        return {cookieOf(page), csrfOf(page.body)};
    }

    HttpAnswer trySignIn(Visitor& v, const std::string& name, const std::string& password) {
        const HttpAnswer a =
            exchange("POST", "/console/signin", v.cookie,
                     "csrf=" + v.csrf + "&name=" + name + "&password=" + urlEncoded(password));
        if (!cookieOf(a).empty()) {
            v.cookie = cookieOf(a);
        }
        return a;
    }

    Visitor signedIn(const std::string& name) {
        Visitor v = atSignIn();
        EXPECT_EQ(trySignIn(v, name, kPassword).status, 303);
        v.csrf = csrfOf(exchange("GET", "/console/news", v.cookie).body);
        EXPECT_FALSE(v.csrf.empty());
        return v;
    }

    int newsShown() {
        const HttpAnswer page = exchange("GET", "/news/index.html", "");
        int n = 0;
        for (std::size_t at = page.body.find("<h3"); at != std::string::npos;
             at = page.body.find("<h3", at + 1)) {
            ++n;
        }
        return n;
    }

    TempTree tree_;
    std::unique_ptr<ServerProcess> server_;
};

// Only a signed-in session sees a page or has a form taken, and only with
// its own form token; a forged, tampered or signed-out cookie counts as
// none. Taken forms post a notice, so the news page tells what was taken.
TEST_F(ConsoleEndToEnd, PagesAndFormsAnswerOnlyTheirOwnSession) {
    const Visitor hanako = signedIn("hanako");
    const Visitor ken = signedIn("ken");
    Visitor gone = signedIn("hanako");
    // Signing out ends every session of the account; sign hanako in again.
    EXPECT_EQ(exchange("POST", "/console/signout", gone.cookie, "csrf=" + gone.csrf).status, 303);
    const Visitor again = signedIn("hanako");
    const Visitor anonymous = atSignIn();

    std::string tampered = again.cookie;
    tampered.replace(tampered.find('=') + 1, 1, "2");  // another account, same signature
    const std::string forged =
        "tovalo_console=1.1." + std::string(32, 'a') + ".1700000000." + std::string(64, '0');

    struct Case {
        const char* what;
        std::string method, path, cookie, csrf;
        int status;
        bool posted;  // a notice was added
    };
    const std::string news = "/console/news/add";
    const std::vector<Case> cases = {
        {"no cookie, a page", "GET", "/console/learners", "", "", 303, false},
        {"no cookie, the sign-in page", "GET", "/console/signin", "", "", 200, false},
        {"no cookie, a form", "POST", news, "", again.csrf, 403, false},
        {"signed-in page", "GET", "/console/learners", again.cookie, "", 200, false},
        {"every page", "GET", "/console/inbox", again.cookie, "", 200, false},
        {"unknown page", "GET", "/console/nothing", again.cookie, "", 404, false},
        {"own form", "POST", news, again.cookie, again.csrf, 303, true},
        {"another account's token", "POST", news, again.cookie, ken.csrf, 403, false},
        {"the sign-in page's token", "POST", news, again.cookie, anonymous.csrf, 403, false},
        {"no token", "POST", news, again.cookie, "", 403, false},
        {"signed out, a page", "GET", "/console/learners", gone.cookie, "", 303, false},
        {"signed out, a form", "POST", news, gone.cookie, gone.csrf, 403, false},
        {"signed out with the account's other session", "GET", "/console/learners", hanako.cookie,
         "", 303, false},
        {"other account still in", "POST", news, ken.cookie, ken.csrf, 303, true},
        {"tampered cookie", "GET", "/console/learners", tampered, "", 303, false},
        {"forged cookie", "POST", news, forged, again.csrf, 403, false},
        {"sign-in page's session, a page", "GET", "/console/courses", anonymous.cookie, "", 303,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = newsShown();
        const HttpAnswer a =
            exchange(c.method, c.path, c.cookie,
                     c.method == "POST" ? "csrf=" + c.csrf + "&title=x&text=y" : "");
        EXPECT_EQ(a.status, c.status) << a.body.substr(0, 400);
        if (c.status == 303 && c.method == "GET") {
            EXPECT_EQ(headerValue(a, "Location"), "/console/signin");
        }
        EXPECT_EQ(newsShown(), before + (c.posted ? 1 : 0));
        const std::string cookie = headerValue(a, "Set-Cookie");
        if (!cookie.empty()) {
            for (const char* flag : {"HttpOnly", "SameSite=Strict", "Path=/console/"}) {
                EXPECT_NE(cookie.find(flag), std::string::npos) << cookie;
            }
        }
    }
}

// What learners and staff wrote reaches every page as text.
TEST_F(ConsoleEndToEnd, OutsideTextIsShownAsText) {
    const std::string script = "<script>alert(\"x\")</script>&'";
    ASSERT_EQ(serverAdmin(tree_.path("data"), "learners add S-1 " + quoted(script)).first, 0);
    ASSERT_EQ(
        serverAdmin(tree_.path("data"), "news add " + quoted(script) + " " + quoted(script)).first,
        0);
    const Visitor v = signedIn("hanako");
    const std::string escaped = "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39;";
    const HttpAnswer list =
        exchange("GET", "/console/learners?q=" + urlEncoded("<script>"), v.cookie);
    std::smatch link;
    ASSERT_TRUE(std::regex_search(list.body, link, std::regex(R"(/console/learners/(\d+))")))
        << list.body;
    for (const std::string& page : {std::string("/console/learners?q=") + urlEncoded(script),
                                    link[0].str(), std::string("/console/news")}) {
        SCOPED_TRACE(page);
        const HttpAnswer a = exchange("GET", page, v.cookie);
        EXPECT_EQ(a.status, 200);
        EXPECT_NE(a.body.find(escaped), std::string::npos);
        EXPECT_EQ(a.body.find("<script"), std::string::npos);
        EXPECT_NE(headerValue(a, "Content-Security-Policy").find("default-src 'none'"),
                  std::string::npos);
    }
}

// Five wrong passwords go through; then even the right one is refused
// unchecked and answered late, from that address and for that account.
TEST_F(ConsoleEndToEnd, SignInFloodIsHeldBack) {
    Visitor v = atSignIn();
    for (int i = 0; i < 5; ++i) {
        v.csrf = csrfOf(exchange("GET", "/console/signin", v.cookie).body);
        const HttpAnswer a = trySignIn(v, "hanako", "wrong password");
        EXPECT_EQ(a.status, 401) << "attempt " << i + 1;
        EXPECT_NE(a.body.find("職員名かパスワードが違います"), std::string::npos);
    }
    for (const char* name : {"hanako", "ken"}) {
        SCOPED_TRACE(name);
        v.csrf = csrfOf(exchange("GET", "/console/signin", v.cookie).body);
        const auto start = std::chrono::steady_clock::now();
        const HttpAnswer a = trySignIn(v, name, kPassword);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(a.status, 429);
        EXPECT_FALSE(headerValue(a, "Retry-After").empty());
        EXPECT_GE(took, std::chrono::milliseconds(1500));
        EXPECT_EQ(exchange("GET", "/console/learners", v.cookie).status, 303);
    }
}

// A new password or a removal made on the command line ends the account's
// sessions at once; neither the old password nor the removed name signs in.
TEST_F(ConsoleEndToEnd, NewPasswordsAndRemovalsEndSessions) {
    const Visitor hanako = signedIn("hanako");
    const Visitor ken = signedIn("ken");
    const std::string fresh = "another horse 7";
    ASSERT_EQ(staffCommand("staff passwd hanako", fresh), 0);
    ASSERT_EQ(staffCommand("staff remove ken", ""), 0);
    EXPECT_NE(staffCommand("staff remove ken", ""), 0);
    EXPECT_NE(staffCommand("staff passwd nobody", fresh), 0);

    EXPECT_EQ(exchange("GET", "/console/learners", hanako.cookie).status, 303);
    EXPECT_EQ(exchange("GET", "/console/learners", ken.cookie).status, 303);
    struct Case {
        const char* name;
        std::string password;
        int status;
    };
    for (const Case& c : {Case{"hanako", kPassword, 401}, Case{"ken", kPassword, 401},
                          Case{"hanako", fresh, 303}}) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.password);
        Visitor v = atSignIn();
        EXPECT_EQ(trySignIn(v, c.name, c.password).status, c.status);
    }
}

}  // namespace
