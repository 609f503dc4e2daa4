#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "common/scripted_server.h"
#include "common/temp_tree.h"
#include "core/common/safe_file.h"
#include "core/platform/doubles.h"
#include "core/questions/qdf_builder.h"
#include "core/sync/history_sync.h"
#include "platform/posix_file_attributes.h"

using namespace tovalo;
using namespace tovalo::sync;
using tovalo::net::NetStatus;

namespace {

using Clock = std::chrono::system_clock;

// A query, upload and download server for the courses of `answers`
// (test ID -> first line of the query answer) and `copies` (test ID ->
// download answer). Every answer sets a cookie the next request must bring.
class SyncServer {
  public:
    SyncServer() {
        server.block = 512;
        server.handler = [this](const std::string& request) { return answer(request); };
    }

    std::string answer(const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        const std::string body = request.substr(request.find("\r\n\r\n") + 4);
        const std::size_t id = body.find("Test_ID=") + 8;
        const std::string testId = body.substr(id, body.find('&', id) - id);
        const std::string cookie = "Set-Cookie: sid=" + std::to_string(++served) + "\r\n";
        if (line.find("/query.cgi") != std::string::npos) {
            return reply(200, cookie, answers[testId] + "\r\n");
        }
        if (line.find("/download.cgi") != std::string::npos) {
            return reply(200, cookie, copies[testId]);
        }
        uploads.push_back(line + "\n" + body);
        return reply(200, cookie, "OK\r\n");
    }

    ScriptedServer server;
    std::map<std::string, std::string> answers;
    std::map<std::string, std::string> copies;
    std::vector<std::string> uploads;
    int served = 0;
};

std::string qdfWithNumbers(int first, int second) {
    QdfBuilder::Record a;
    a.num = first;
    QdfBuilder::Record b;
    b.num = second;
    b.closing = "*EOF";
    QdfBuilder q;
    q.header("QFileFormat-x2.0", "20261201", "2")
        .category("ネットワーク", {"アドレス"})
        .plain("*CE")
        .record(a)
        .record(b);
    return q.stored();
}

std::string read(const std::string& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

class HistorySyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* id : {"NX 101", "NX-102", "NX-103", "NX-104"}) {
            CourseEntry c;
            c.QdfPath = tree.write(std::string("QDAT/nexa/") + id + ".qdf", qdfWithNumbers(7, 9));
            c.HisPath = tree.write(std::string("HIST/nexa/") + id + ".HIS", emptyHistoryFile(""));
            files.files[c.HisPath].time = localTime(2026, 12, 1, 10, 0, 0);
            courses.push_back(c);
        }
        setup.profile = {"Taro Yamada", "Org", "taro@example.jp", "S-1"};
        setup.addresses = {"his.example/sync/query.cgi", "his.example/sync/upload.cgi",
                           "his.example/sync/download.cgi"};
        clock.time = localTime(2026, 12, 9, 8, 0, 0);
    }

    static Clock::time_point localTime(int y, int mo, int d, int h, int mi, int s) {
        return toTimePoint({y, mo, d, h, mi, s});
    }

    HistorySync sync() { return HistorySync(remote.server, files, clock, setup); }

    TempTree tree;
    std::vector<CourseEntry> courses;
    platform::MemoryFileAttributes files;
    platform::ManualClock clock;
    SyncSetup setup;
    SyncServer remote;
};

}  // namespace

// A whole run: proposal, uploads, downloads, cookies, and a second query
// that finds everything in step.
TEST_F(HistorySyncTest, ProposesTransfersAndEndsInStep) {
    HistoryFile used;
    used.QuestionFilePath = "/x/NX-103.qdf";
    used.exams[0] = {5, 12, 1, 9, 0, 60, 1, 300};
    used.CorrectCount[1] = 4;
    ASSERT_TRUE(saveHistoryFile(courses[2].HisPath, used));
    files.files[courses[2].HisPath].time = localTime(2026, 12, 1, 10, 0, 0);

    remote.answers = {{"NX%20101", "NOTFOUND"},
                      {"NX-102", "2026/11/20 07:30:00"},
                      {"NX-103", "2026/11/20 07:30:00"},
                      {"NX-104", "ERROR2"}};
    remote.copies["NX-102"] =
        "[DLDATA]\r\nTEST_ID=NX-103\r\nQAMNT00=300\r\nDATE00=11200730\r\nMAX=90\r\nCORR001=3\r\n";
    HistorySync run = sync();
    std::vector<int> started;
    SyncEvents events;
    events.rowStarted = [&](int row, const std::string&) { started.push_back(row); };
    Result<std::vector<SyncRow>> rows = run.query(courses, events);
    ASSERT_TRUE(rows) << rows.error().message;
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ(started, (std::vector<int>{1, 2, 3, 4}));
    const SyncRow& first = (*rows)[0];
    EXPECT_EQ(first.testId, "NX 101");
    EXPECT_EQ(first.state, SyncState::ClientNewer);
    EXPECT_EQ(first.shownServerDate(), "----");
    EXPECT_EQ(first.clientDate, "2026/12/01 10:00:00");
    EXPECT_EQ((*rows)[1].state, SyncState::ServerNewer);  // empty here, a copy there
    EXPECT_EQ((*rows)[2].state, SyncState::ClientNewer);
    EXPECT_EQ((*rows)[3].state, SyncState::Unavailable);

    const std::vector<std::string> queries = remote.server.requestsSoFar();
    ASSERT_EQ(queries.size(), 4u);
    EXPECT_TRUE(queries[0].starts_with("POST /sync/query.cgi HTTP/1.0\r\nHost: his.example\r\n"));
    EXPECT_EQ(queries[0].find("Cookie:"), std::string::npos);
    EXPECT_TRUE(
        queries[0].ends_with("\r\n\r\nName=Taro%20Yamada&Serial=S-1&Test_ID=NX%20101"
                             "&Email=taro@example.jp\r\n"));
    EXPECT_NE(queries[3].find("\r\nCookie: sid=3\r\n"), std::string::npos);

    ASSERT_TRUE(run.transfer(*rows, courses, events));
    EXPECT_TRUE((*rows)[0].done);
    EXPECT_TRUE((*rows)[1].done);
    EXPECT_TRUE((*rows)[2].done);
    EXPECT_FALSE((*rows)[3].done);
    ASSERT_EQ(remote.uploads.size(), 2u);
    EXPECT_TRUE(
        remote.uploads[0].starts_with("POST /sync/upload.cgi?2026/12/09 HTTP/1.0\n"
                                      "SERIAL=S-1&EMAIL=taro@example.jp&NAME=Taro%20Yamada"
                                      "&TEST_ID=NX%20101&SENDQNUM=2&"));
    EXPECT_NE(remote.uploads[1].find("&QAMNT00=300&"), std::string::npos);
    EXPECT_NE(remote.uploads[1].find("&QNUM001=9&CORR001=4&"), std::string::npos);
    // The download names another course; it still lands in this one's file.
    const std::string fetched = read(courses[1].HisPath);
    ASSERT_EQ(fetched.size(), kHistoryFileSize);
    EXPECT_EQ(fetched.substr(4, courses[1].QdfPath.size()), courses[1].QdfPath);
    EXPECT_EQ(static_cast<unsigned char>(fetched[512 + 7]), 44);
    EXPECT_EQ(static_cast<unsigned char>(fetched[512 + 8]), 1);
    EXPECT_EQ(static_cast<unsigned char>(fetched[602]), 90);
    EXPECT_EQ(static_cast<unsigned char>(fetched[961]), 3);
    EXPECT_EQ(read(courses[2].HisPath), historyFileBytes(used));
    EXPECT_EQ(files.files[courses[1].HisPath].time, localTime(2026, 11, 20, 7, 30, 0));

    Result<std::vector<SyncRow>> again = sync().query(courses);
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)[1].state, SyncState::Synced);
    EXPECT_EQ((*again)[1].clientDate, "2026/11/20 07:30:00");
}

TEST_F(HistorySyncTest, RefusalsAndBadDatesEndTheRunWritingNothing) {
    const std::string before = read(courses[1].HisPath);
    remote.answers = {{"NX%20101", "2026/11/20 07:30:00"},
                      {"NX-102", "ERROR1:この利用者は登録されていません。"}};
    Result<std::vector<SyncRow>> rows = sync().query(courses);
    ASSERT_FALSE(rows);
    EXPECT_EQ(rows.error().message, "この利用者は登録されていません。");
    EXPECT_EQ(remote.server.requestsSoFar().size(), 2u);

    remote.answers = {{"NX%20101", "2026/11/20 07:30:00"}, {"NX-102", "2026/11/31 07:30:00"}};
    rows = sync().query(courses);
    ASSERT_FALSE(rows);
    EXPECT_EQ(rows.error().message, kCommunicationFailed);
    EXPECT_EQ(read(courses[1].HisPath), before);
    EXPECT_EQ(read(courses[0].HisPath), before);
}

// A failing download leaves its file as it was, bytes and time; the files
// fetched before it stay fetched.
TEST_F(HistorySyncTest, FailedTransfersLeaveUnfinishedFilesAlone) {
    for (const auto& c : courses) {
        remote.answers[testIdOf(c.QdfPath) == "NX 101" ? "NX%20101" : testIdOf(c.QdfPath)] =
            "2026/11/20 07:30:00";
    }
    HistorySync run = sync();
    Result<std::vector<SyncRow>> rows = run.query(courses);
    ASSERT_TRUE(rows);
    const std::string before = read(courses[1].HisPath);
    const Clock::time_point beforeTime = files.files[courses[1].HisPath].time;

    struct Case {
        ScriptedServer::Reply reply;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{NetStatus::Ok, reply(200, "", std::string(net::kMaxBodyBytes + 1, 'x'))},
         kCommunicationFailed},
        {{NetStatus::Ok, "HTTP/1.0 200 OK\r\nX-Pad: " + std::string(net::kMaxHeadBytes, 'y')},
         kCommunicationFailed},
        {{NetStatus::Ok, reply(200, "Content-Length: 4000\r\n", "[DLDATA]\r\nMAX=5\r\n")},
         kCommunicationFailed},
        {{NetStatus::Ok, reply(500, "", "[DLDATA]\r\n")}, kCommunicationFailed},
        {{NetStatus::Ok, reply(200, "", "[DLDATA]\r\nCORR000=many\r\n")}, kCommunicationFailed},
        // Connected and asked: an answer that breaks off, in its head or
        // after it, is a failed exchange, not a failed connection.
        {{NetStatus::Ok, "HTTP/1.0 200 OK\r\n\r\n[DLDATA]\r\nMAX=5", NetStatus::Broken},
         kCommunicationFailed},
        {{NetStatus::Ok, "HTTP/1.0 200 OK\r\nContent-Le"}, kCommunicationFailed},
        {{NetStatus::Ok, "HTTP/1.0 200 OK\r\nContent-Le", NetStatus::TimedOut},
         kCommunicationFailed},
        {{NetStatus::ConnectionFailed, ""}, kConnectFailed},
        {{NetStatus::InvalidHost, ""}, kNameNotResolved},
    };
    for (const Case& c : cases) {
        remote.server.handler = nullptr;
        remote.server.replies = {{NetStatus::Ok, reply(200, "", "[DLDATA]\r\nMAX=66\r\n")},
                                 c.reply};
        std::vector<SyncRow> two = *rows;
        Status moved = run.transfer(two, courses);
        ASSERT_FALSE(moved) << c.message;
        EXPECT_EQ(moved.error().message, c.message);
        EXPECT_TRUE(two[0].done);
        EXPECT_FALSE(two[1].done);
        EXPECT_EQ(static_cast<unsigned char>(read(courses[0].HisPath)[602]), 66);
        EXPECT_EQ(read(courses[1].HisPath), before) << c.message;
        EXPECT_EQ(files.files[courses[1].HisPath].time, beforeTime);
    }

    std::atomic<bool> cancel{true};
    Status stopped = run.transfer(*rows, courses, {}, &cancel);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().message, kSyncCancelled);
}

namespace {

SaveStep gKillAt;
SaveFault killAt(SaveStep step) {
    return step == gKillAt ? SaveFault::Crash : SaveFault::None;
}

}  // namespace

// Killed at any step of saving a download, the file on disk keeps its bytes
// and its time together: the old history with its own time, or the server's
// with the server's. The server's bytes with the time of the kill would
// read as a newer local copy, and the next run would send them back.
TEST_F(HistorySyncTest, AKilledDownloadLeavesBytesAndTimeTogether) {
    platform::PosixFileAttributes disk;
    const std::vector<CourseEntry> one = {courses[1]};
    const std::string& path = one[0].HisPath;
    const std::string oldBytes = read(path);
    const Clock::time_point oldTime = localTime(2020, 12, 1, 10, 0, 0);
    remote.answers["NX-102"] = "2020/11/20 07:30:00";
    remote.copies["NX-102"] = "[DLDATA]\r\nMAX=66\r\n";
    for (SaveStep step : {SaveStep::Created, SaveStep::Written, SaveStep::Synced, SaveStep::Closed,
                          SaveStep::Renamed}) {
        tree.write("HIST/nexa/NX-102.HIS", oldBytes);
        ASSERT_TRUE(disk.setFileTimes(path, oldTime));
        HistorySync run(remote.server, disk, clock, setup);
        Result<std::vector<SyncRow>> rows = run.query(one);
        ASSERT_TRUE(rows);
        ASSERT_EQ((*rows)[0].state, SyncState::ServerNewer);
        gKillAt = step;
        setSaveFaultHookForTesting(killAt);
        (void)run.transfer(*rows, one);
        setSaveFaultHookForTesting(nullptr);

        const bool fetched = read(path) != oldBytes;
        EXPECT_EQ(fetched, step == SaveStep::Renamed) << static_cast<int>(step);
        EXPECT_EQ(*disk.lastWriteTime(path), fetched ? localTime(2020, 11, 20, 7, 30, 0) : oldTime)
            << static_cast<int>(step);
        Result<std::vector<SyncRow>> again =
            HistorySync(remote.server, disk, clock, setup).query(one);
        ASSERT_TRUE(again);
        EXPECT_EQ((*again)[0].state, fetched ? SyncState::Synced : SyncState::ServerNewer)
            << static_cast<int>(step);
        removeLeftoverSaveFiles(tree.path("HIST/nexa"));
    }
}

TEST_F(HistorySyncTest, AddressesComeFromTheServerFile) {
    tree.write("bin/His_srv", "q.example/q.cgi\r\nu.example/u.cgi\r\nd.example:81/d.cgi\r\n");
    Result<SyncAddresses> a = readSyncAddresses(tree.path("bin") + "/");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->download, "d.example:81/d.cgi");
    tree.write("bin/His_srv", "q.example/q.cgi\r\n");
    EXPECT_FALSE(readSyncAddresses(tree.path("bin") + "/"));

    // Through a proxy every request names the whole address.
    setup.proxyHost = "proxy.lan";
    setup.proxyPort = 3128;
    remote.answers = {{"NX%20101", "NOTFOUND"}};
    std::vector<CourseEntry> one(courses.begin(), courses.begin() + 1);
    ASSERT_TRUE(sync().query(one));
    EXPECT_EQ(remote.server.hosts.back(), "proxy.lan:3128");
    EXPECT_TRUE(remote.server.requestsSoFar().back().starts_with(
        "POST http://his.example/sync/query.cgi HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"));
}

// A line that names https goes over TLS; a bare line stays plain http, as
// every installation written before has it.
TEST_F(HistorySyncTest, HttpsLinesOfTheServerFileGoOverTls) {
    setup.addresses = {"https://his.example:8443/sync/query.cgi",
                       "HTTP://his.example/sync/upload.cgi", "his.example/sync/download.cgi"};
    remote.answers = {{"NX%20101", "NOTFOUND"}, {"NX-102", "2026/11/20 07:30:00"}};
    remote.copies["NX-102"] = "[DLDATA]\r\nMAX=66\r\n";
    std::vector<CourseEntry> two(courses.begin(), courses.begin() + 2);
    HistorySync run = sync();
    Result<std::vector<SyncRow>> rows = run.query(two);
    ASSERT_TRUE(rows);
    ASSERT_TRUE(run.transfer(*rows, two));
    EXPECT_TRUE((*rows)[0].done && (*rows)[1].done);

    const std::vector<std::string> sent = remote.server.requestsSoFar();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(remote.server.hosts, std::vector<std::string>({"his.example:8443", "his.example:8443",
                                                             "his.example:80", "his.example:80"}));
    ASSERT_EQ(remote.server.handshakes.size(), 2u);
    EXPECT_EQ(remote.server.handshakes[1].host, "his.example");
    EXPECT_TRUE(sent[1].starts_with("POST /sync/query.cgi HTTP/1.0\r\nHost: his.example\r\n"));
    EXPECT_NE(sent[1].find("\r\nCookie: sid=1\r\n"), std::string::npos);
    EXPECT_TRUE(sent[2].starts_with("POST /sync/upload.cgi?2026/12/09 HTTP/1.0\r\n")) << sent[2];
    EXPECT_TRUE(sent[3].starts_with("POST /sync/download.cgi HTTP/1.0\r\n"));
}
