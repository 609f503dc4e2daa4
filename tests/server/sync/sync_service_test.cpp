#include "server/service/sync_service.h"

#include <gtest/gtest.h>

#include "common/temp_tree.h"
#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"

namespace tovalo::server::service {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

http::Request post(std::string body, std::string from = "192.0.2.1") {
    http::Request r;
    r.method = "POST";
    r.body = std::move(body);
    r.remoteAddress = std::move(from);
    return r;
}

std::string person(const std::string& serial, const std::string& course = "NX-101") {
    return "Name=Taro&Serial=" + serial + "&Test_ID=" + course + "&Email=t@x.jp\r\n";
}

std::string uploadOf(const std::string& serial, const std::string& course,
                     const std::string& when) {
    app::Profile p;
    p.name = "Taro";
    p.serial = serial;
    return sync::uploadBody(p, course, when, QuestionBank{}, HistoryFile{});
}

class SyncServiceTest : public ::testing::Test {
  protected:
    SyncService& service(Registration registration) {
        auto opened = store::openSqliteStore(tree_.path("store.sqlite3"));
        EXPECT_TRUE(opened);
        store_ = std::move(*opened);
        SyncOptions options;
        options.registration = registration;
        service_ = std::make_unique<SyncService>(*store_, SerialHasher("k"), options);
        return *service_;
    }
    TempTree tree_;
    std::unique_ptr<store::Store> store_;
    std::unique_ptr<SyncService> service_;
};

// What each request answers, by what the learner and the body are.
TEST_F(SyncServiceTest, EachRequestAnswersWhatTheClientCanUse) {
    SyncService& open = service(Registration::Open);
    struct Case {
        const char* what;
        http::Response (SyncService::*call)(const http::Request&);
        std::string body;
        int status;
        std::string answer;
    };
    const std::vector<Case> cases = {
        {"query, nobody yet", &SyncService::query, person("S1"), 200, "NOTFOUND\r\n"},
        {"download, nobody yet", &SyncService::download, person("S1"), 404, "NOTFOUND\r\n"},
        {"upload", &SyncService::upload, uploadOf("S1", "NX-101", "2026/12/01 10:00:00"), 200,
         "OK\r\n"},
        {"upload, later", &SyncService::upload, uploadOf("S1", "NX-101", "2026/12/02 11:00:00"),
         200, "OK\r\n"},
        {"upload, other course", &SyncService::upload,
         uploadOf("S1", "NX-102", "2026/11/01 09:00:00"), 200, "OK\r\n"},
        {"query finds the last", &SyncService::query, person("S1"), 200, "2026/12/02 11:00:00\r\n"},
        {"query, other course", &SyncService::query, person("S1", "NX-102"), 200,
         "2026/11/01 09:00:00\r\n"},
        {"query, other learner", &SyncService::query, person("S2"), 200, "NOTFOUND\r\n"},
        {"query, not the protocol", &SyncService::query, "Serial=S1\r\n", 400, "ERROR2\r\n"},
        {"download, not the protocol", &SyncService::download, "", 400, "ERROR2\r\n"},
        {"download, unknown course", &SyncService::download, person("S1", "NX-9"), 404,
         "NOTFOUND\r\n"},
    };
    for (const Case& c : cases) {
        const http::Response r = (open.*c.call)(post(c.body));
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.body, c.answer) << c.what;
    }
    const http::Response got = open.download(post(person("S1")));
    ASSERT_EQ(got.status, 200);
    EXPECT_TRUE(got.body.starts_with("[DLDATA]\r\nSERIAL=S1\r\n")) << got.body.substr(0, 40);
    EXPECT_NE(got.body.find("\r\nUPDATE=2026/12/02 11:00:00\r\n"), std::string::npos);
}

// Refusals say nothing by their speed, and an address that keeps trying
// waits longer and longer while others do not.
TEST_F(SyncServiceTest, RefusalsAreNeverQuickAndSlowDownPerAddress) {
    SyncService& closed = service(Registration::Closed);
    const steady_clock::time_point start = steady_clock::now();
    for (int i = 0; i < 5; ++i) {
        const http::Response r = closed.query(post(person("S" + std::to_string(i))));
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.body, "ERROR1 " + text::utf8ToCp932(kNotRegistered) + "\r\n");
        ASSERT_TRUE(r.notBefore);
        EXPECT_GE(*r.notBefore - start, milliseconds(50));
        EXPECT_LT(*r.notBefore - steady_clock::now(), milliseconds(1000)) << "within the burst";
    }
    const http::Response slowed = closed.query(post(person("S9")));
    EXPECT_GE(*slowed.notBefore - steady_clock::now(), milliseconds(1500));
    const http::Response elsewhere = closed.query(post(person("S9"), "192.0.2.2"));
    EXPECT_LT(*elsewhere.notBefore - steady_clock::now(), milliseconds(1000));

    // A refused download must fail at the client, never read as a history.
    EXPECT_EQ(closed.download(post(person("S9"), "192.0.2.3")).status, 403);
    EXPECT_EQ(
        closed.upload(post(uploadOf("S9", "NX-101", "2026/12/01 10:00:00"), "192.0.2.3")).status,
        403);
    auto learners = store_->learners();
    ASSERT_TRUE(learners);
    EXPECT_TRUE(learners->empty());
}

}  // namespace
}  // namespace tovalo::server::service
