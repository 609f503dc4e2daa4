// The program's own question file update (`tovalo-tool update`) against a
// real tovalo-server that publishes the sample courses.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/text/cp932.h"
#include "core/update/update_rules.h"
#include "server/protocol/course_files.h"
#include "server/server_process.h"
#include "server/zip_entry.h"
#include "tools/tool_fixture.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

using namespace tovalo;
using namespace tovalo::server;

const fs::path kSample = fs::path(TOVALO_SAMPLE_DIR) / "qdat/nexa";
const char* const kCourses[] = {"NXN-101", "NXS-210", "NXA-330"};

std::string get(const std::string& target, int version = 10, const std::string& extra = "") {
    return "GET " + target + (version == 10 ? " HTTP/1.0" : " HTTP/1.1") +
           "\r\nHost: localhost\r\nConnection: close\r\n" + extra + "\r\n";
}

class UpdateEndToEnd : public ToolTest {
  protected:
    void SetUp() override {
        server_ = std::make_unique<ServerProcess>(tree_.path("data"));
        for (const char* code : kCourses) {
            publish("nexa " + (kSample / (std::string(code) + ".txt")).string());
        }
        write("inst/bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n");
        pointAt(server_->port());
        // Installed exactly as the sample installation is staged.
        for (const char* code : kCourses) {
            const std::string base = (dir_ / "inst/QDAT/nexa" / code).string();
            fs::create_directories(dir_ / "inst/QDAT/nexa");
            ASSERT_EQ(tool("qdf pack " + (kSample / (std::string(code) + ".txt")).string() + " " +
                           base + ".qdf")
                          .code,
                      0);
            ASSERT_EQ(tool("text encode " + (kSample / (std::string(code) + ".ini")).string() +
                           " " + base + ".ini")
                          .code,
                      0);
            write(std::string("inst/HIST/nexa/") + code + ".HIS", "history");
            write(std::string("inst/HIST/nexa/") + code + ".ADP", "adaptive");
        }
        fs::copy(kSample / "img", dir_ / "inst/QDAT/nexa/img", fs::copy_options::recursive);
        profile_ = write("me.json",
                         R"({"Name": "Taro Yamada", "Serial": "S-1", "Email": "t@example.jp"})");
    }

    void pointAt(int questionPort, int figurePort = 0) {
        const std::string q = "127.0.0.1:" + std::to_string(questionPort);
        const std::string f =
            "127.0.0.1:" + std::to_string(figurePort != 0 ? figurePort : questionPort);
        write("inst/bin/SRV_INFO", q + "\r\nupdate/qdf.cgi\r\n" + f + "\r\nupdate/img\r\n");
    }

    void publish(const std::string& args) {
        const auto [code, out] = serverAdmin(tree_.path("data"), "publish " + args);
        ASSERT_EQ(code, 0) << args << "\n" << out;
    }

    json update() {
        const ToolRun r = tool("update " + (dir_ / "inst").string() +
                               " nexa --timeout 5 --profile " + profile_ + " --yes");
        EXPECT_EQ(r.code, 0) << r.err;
        return r.code == 0 ? json::parse(r.out) : json();
    }

    std::string installed(const std::string& name) {
        return read((dir_ / "inst/QDAT/nexa" / name).string());
    }
    bool exists(const std::string& name) { return fs::exists(dir_ / "inst" / name); }

    // A copy of the sample's course source with another date line and title.
    std::string edited(const char* code, const std::string& date, const std::string& title) {
        std::string source =
            protocol::withDateLine(read((kSample / (std::string(code) + ".txt")).string()), date);
        std::size_t at = 0;
        for (int line = 1; line < 5; ++line) {
            at = source.find('\n', at) + 1;
        }
        source.replace(at, source.find('\n', at) - at, title);
        const std::string path = "edit-" + date + "/" + code + ".txt";
        write(path, source);
        return tree_.path(path);
    }

    std::unique_ptr<ServerProcess> server_;
    std::string profile_;
};

TEST_F(UpdateEndToEnd, ClientsTakeExactlyWhatWasPublished) {
    const std::string osi = installed("img/nxn_osi.bmp");

    // Everything installed is what the server publishes: nothing moves.
    json out = update();
    EXPECT_EQ(out["replaced"], json::array());
    EXPECT_NE(out["messages"].dump().find(update::kNothingNew), std::string::npos) << out;
    EXPECT_TRUE(exists("HIST/nexa/NXN-101.HIS"));

    // A newer course replaces the installed one and clears its histories.
    const std::string newer = edited("NXN-101", "20261201090000", "ネットワーク基礎 改訂");
    publish("nexa " + newer + " --ini " + (kSample / "NXN-101.ini").string() + " --figures " +
            (kSample / "img").string());
    out = update();
    EXPECT_EQ(out["replaced"], json::array({"NXN-101 : ネットワーク基礎 改訂"}));
    EXPECT_EQ(update::dateLineOf(installed("NXN-101.qdf")), "20261201090000");
    EXPECT_FALSE(exists("HIST/nexa/NXN-101.HIS"));
    EXPECT_FALSE(exists("HIST/nexa/NXN-101.ADP"));
    EXPECT_TRUE(exists("HIST/nexa/NXS-210.HIS"));

    // One changed figure: only that one is fetched. The other figure's
    // local copy is spoilt on purpose; fetched, it would be mended.
    fs::copy(kSample / "img", dir_ / "figs", fs::copy_options::recursive);
    std::string changed = osi;
    changed[changed.size() / 2] ^= 0x55;
    write("figs/nxn_osi.bmp", changed);
    write("inst/QDAT/nexa/img/nxn_topology.jpg", "spoilt");
    const std::string third = edited("NXN-101", "20261202090000", "ネットワーク基礎 第3版");
    publish("nexa " + third + " --ini " + (kSample / "NXN-101.ini").string() + " --figures " +
            tree_.path("figs"));
    out = update();
    EXPECT_EQ(out["replaced"].size(), 1u) << out;
    EXPECT_TRUE(installed("img/nxn_osi.bmp") == changed);
    EXPECT_EQ(installed("img/nxn_topology.jpg"), "spoilt");
    Result<update::FigureList> list = update::readFigureList(
        installed("NXN-101.ini"), update::ListSource::Delivered, "NXN-101.ini");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->version, 2u);

    // Withdrawn: the version before comes back under a later date, with its
    // figure.
    const auto [withdrawn, said] = serverAdmin(tree_.path("data"), "withdraw nexa NXN-101");
    ASSERT_EQ(withdrawn, 0) << said;
    out = update();
    EXPECT_EQ(out["replaced"], json::array({"NXN-101 : ネットワーク基礎 改訂"}));
    const std::string back = installed("NXN-101.qdf");
    EXPECT_GT(update::dateLineOf(back), "20261202090000");
    ASSERT_EQ(tool("qdf pack " + newer + " " + tree_.path("v2.qdf")).code, 0);
    EXPECT_TRUE(back ==
                protocol::withDateLine(read(tree_.path("v2.qdf")), update::dateLineOf(back)));
    EXPECT_TRUE(installed("img/nxn_osi.bmp") == osi);

    const auto [listed, courses] = serverAdmin(tree_.path("data"), "courses");
    EXPECT_EQ(listed, 0);
    EXPECT_NE(courses.find("nexa\tNXN-101.qdf\t"), std::string::npos) << courses;
    EXPECT_NE(courses.find("withdrawn to"), std::string::npos) << courses;
}

TEST_F(UpdateEndToEnd, WhatClientsCouldNotUseIsNeverPublished) {
    const std::string sample = (kSample / "NXN-101.txt").string();
    std::string source = read(sample);
    write("broken/NXN-101.txt", source.substr(0, source.size() / 2));
    write("noimg/NXN-101.ini", read((kSample / "NXN-101.ini").string()));
    write("noimg/img/nxn_osi.bmp", "BM");
    write("badlist/NXN-101.ini", "; x\n1\n; figures\nnxn_osi.bmp\n[Level]\n");
    write("unsafe/NXN-101.ini", "; x\n1\n; figures\n../data/secret 1\n");
    const struct {
        std::string args;
        std::string said;  // the file and line named
    } cases[] = {
        {"nexa " + tree_.path("broken/NXN-101.txt"), tree_.path("broken/NXN-101.txt") + ":"},
        {"nexa " + sample + " --ini " + tree_.path("noimg/NXN-101.ini") + " --figures " +
             tree_.path("noimg/img"),
         tree_.path("noimg/NXN-101.ini") + ":5: 図版が見つかりません"},
        {"nexa " + sample + " --ini " + tree_.path("badlist/NXN-101.ini"),
         tree_.path("badlist/NXN-101.ini") + ":4: 'nxn_osi.bmp' は数値ではありません"},
        {"nexa " + sample + " --ini " + tree_.path("unsafe/NXN-101.ini"),
         tree_.path("unsafe/NXN-101.ini") + ":4: 図版のファイル名が正しくありません"},
        // Published already with this date.
        {"nexa " + sample, "NXN-101.qdf:9: 日付の行 20250310093000 が公開中の版の"},
        {"sorane " + edited("NXN-101", "20261201090000", "別ベンダー"), "ベンダー nexa"},
        {"'../x' " + sample, "ベンダー名"},
    };
    for (const auto& c : cases) {
        const auto [code, said] = serverAdmin(tree_.path("data"), "publish " + c.args + " 2>&1");
        EXPECT_EQ(code, 1) << c.args;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.args << "\n" << said;
    }
    const auto [listed, courses] = serverAdmin(tree_.path("data"), "courses");
    EXPECT_EQ(std::count(courses.begin(), courses.end(), '\n'), 4) << courses;
}

TEST_F(UpdateEndToEnd, AnswersAreTheSmallerFormAndTheSameBytesEachTime) {
    for (const std::string course : {"NXN-101.qdf", "NXS-210.qdf", "NXA-330.qdf"}) {
        const std::string target =
            "/update/qdf.cgi?Name=Taro%20Yamada&Serial=S-1&QDFName=" + course +
            "&date=20250101000000&Email=";
        const std::optional<HttpAnswer> a = httpExchange(server_->port(), get(target));
        ASSERT_TRUE(a) << course;
        ASSERT_EQ(a->status, 200) << course;
        const std::string file = installed(course);
        if (a->body.starts_with("PK")) {
            std::string name;
            EXPECT_TRUE(onlyEntry(a->body, name) == file) << course;
            EXPECT_EQ(name, "#" + course);
            EXPECT_LT(a->body.size(), file.size());
        } else {
            EXPECT_TRUE(a->body == file) << course;
        }
        // HTTP/1.0 has no validators: the same bytes every time.
        EXPECT_TRUE(httpExchange(server_->port(), get(target))->body == a->body);

        // HTTP/1.1 revalidates with the tag.
        const std::optional<HttpAnswer> tagged = httpExchange(server_->port(), get(target, 11));
        ASSERT_TRUE(tagged);
        const std::size_t at = tagged->head.find("ETag: ");
        ASSERT_NE(at, std::string::npos);
        const std::string etag =
            tagged->head.substr(at + 6, tagged->head.find("\r\n", at) - at - 6);
        const std::optional<HttpAnswer> again = httpExchange(
            server_->port(), get(target, 11, "If-None-Match: W/\"x\", " + etag + "\r\n"));
        ASSERT_TRUE(again);
        EXPECT_EQ(again->status, 304);
        EXPECT_EQ(again->body, "");
    }

    // A restarted server makes the very same archive.
    const std::string target = "/update/qdf.cgi?QDFName=NXA-330.qdf";
    const std::string before = httpExchange(server_->port(), get(target))->body;
    server_.reset();
    server_ = std::make_unique<ServerProcess>(tree_.path("data"));
    EXPECT_TRUE(httpExchange(server_->port(), get(target))->body == before);
}

TEST_F(UpdateEndToEnd, HostileNamesAreRefusedAndNeverReachTheDisk) {
    write("data/outside.bmp", "secret");
    const std::string longName(4096, 'a');
    const struct {
        std::string target;
        int status;
    } cases[] = {
        {"/update/qdf.cgi?QDFName=NXN-101.qdf&Extra=1&QDFName=x", 200},
        {"/update/qdf.cgi?Foo=%zz&QDFName=NXN-101.qdf", 200},
        {"/update/qdf.cgi?QDFName=../tovalo.sqlite3", 400},
        {"/update/qdf.cgi?QDFName=..%2ftovalo.sqlite3", 400},
        {"/update/qdf.cgi?QDFName=a%00.qdf", 400},
        {"/update/qdf.cgi?QDFName=%2", 400},
        {"/update/qdf.cgi?QDFName=" + longName, 400},
        {"/update/qdf.cgi?QDFName=NOPE.qdf", 404},
        {"/update/qdf.cgi", 400},
        {"/update/img/NXN-101.ini", 200},
        {"/update/img/nxn_osi.bmp", 200},
        {"/update/img/../outside.bmp", 400},
        {"/update/img/..%2foutside.bmp", 400},
        {"/update/img/%2e%2e%2foutside.bmp", 400},
        {"/update/img/sub/nxn_osi.bmp", 400},
        {"/update/img/outside.bmp", 404},
        {"/update/img/" + longName, 400},
    };
    for (const auto& c : cases) {
        const std::optional<HttpAnswer> a = httpExchange(server_->port(), get(c.target));
        ASSERT_TRUE(a) << c.target.substr(0, 80);
        EXPECT_EQ(a->status, c.status) << c.target.substr(0, 80) << "\n" << a->body;
    }
}

// What a monitoring system scrapes: answers counted under the route that
// took them, so that paths clients make up never become label values.
TEST_F(UpdateEndToEnd, MetricsCountAnswersByRoutePattern) {
    const std::string requests[] = {
        get("/update/qdf.cgi?QDFName=NXN-101.qdf"),
        get("/update/qdf.cgi?QDFName=NXS-210.qdf"),
        get("/update/img/NXN-101.ini"),
        get("/update/img/nxn_osi.bmp"),
        get("/no-such-page-7f3a?x=1"),
        postRequest("/health", ""),
    };
    for (const std::string& request : requests) {
        ASSERT_TRUE(httpExchange(server_->port(), request)) << request;
    }
    const std::optional<HttpAnswer> m = httpExchange(server_->port(), get("/metrics"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->status, 200);
    EXPECT_NE(m->head.find("Content-Type: text/plain; version=0.0.4; charset=utf-8"),
              std::string::npos);
    for (const std::string_view line : {
             "tovalo_http_requests_total{route=\"/update/qdf.cgi\",method=\"GET\",status=\"200\"} "
             "2\n",
             "tovalo_http_requests_total{route=\"/update/img/*\",method=\"GET\",status=\"200\"} "
             "2\n",
             "tovalo_http_requests_total{route=\"other\",method=\"GET\",status=\"404\"} 1\n",
             "tovalo_http_requests_total{route=\"/health\",method=\"POST\",status=\"405\"} 1\n",
             "tovalo_http_request_duration_seconds_bucket{route=\"/update/img/*\",le=\"+Inf\"} 2\n",
             "tovalo_http_request_duration_seconds_count{route=\"other\"} 1\n",
             "tovalo_http_connections_accepted_total 7\n",
             "tovalo_store_errors_total{operation=\"currentCourse\"} 0\n",
             "tovalo_store_pool_connections{state=\"busy\"} 0\n",
             "# TYPE process_start_time_seconds gauge\n",
             "# TYPE tovalo_build_info gauge\n",
         }) {
        EXPECT_NE(m->body.find(line), std::string::npos) << line << m->body;
    }
    EXPECT_EQ(m->body.find("no-such-page"), std::string::npos);
}

// The client's check of a transfer shorter than announced, against a server
// that dies in the middle of an answer: a relay passes the head and half of
// the body on, then kills the server.
TEST_F(UpdateEndToEnd, AServerKilledMidAnswerLeavesTheInstallationAsItWas) {
    publish("nexa " + edited("NXA-330", "20261201090000", "改訂"));
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    const int serverPort = server_->port();
    std::thread relay([&] {
        const int client = ::accept(listener, nullptr, nullptr);
        std::string request;
        std::array<char, 65536> buf;
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(client, buf.data(), buf.size(), 0);
            if (n <= 0) {
                break;
            }
            request.append(buf.data(), static_cast<std::size_t>(n));
        }
        const std::optional<HttpAnswer> whole = httpExchange(serverPort, request);
        if (whole) {
            const std::string half =
                whole->head + "\r\n\r\n" + whole->body.substr(0, whole->body.size() / 2);
            ::send(client, half.data(), half.size(), MSG_NOSIGNAL);
        }
        server_->stop(SIGKILL);
        ::close(client);
    });
    pointAt(ntohs(address.sin_port), serverPort);
    const std::string before = installed("NXN-101.qdf");
    const ToolRun r = tool("update " + (dir_ / "inst").string() + " nexa --timeout 5 --profile " +
                           profile_ + " --yes");
    relay.join();
    ::close(listener);
    EXPECT_NE((r.out + r.err).find(update::kCutTransfer), std::string::npos) << r.out << r.err;
    EXPECT_EQ(installed("NXN-101.qdf"), before);
    EXPECT_TRUE(exists("HIST/nexa/NXN-101.HIS"));
    for (const auto& entry : fs::directory_iterator(dir_ / "inst/QDAT/nexa")) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.starts_with("_") || name.starts_with("#")) << name;
    }
}

}  // namespace
