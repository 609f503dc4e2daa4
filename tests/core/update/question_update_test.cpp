// Whole update runs over real sockets against a loopback server: what is
// asked for, what lands on disk, what the user is told, and that no working
// file survives any run.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>

#include "common/loopback_server.h"
#include "common/temp_tree.h"
#include "core/catalog/catalog.h"
#include "core/common/safe_file.h"
#include "core/questions/qdf_builder.h"
#include "core/results/history_file.h"
#include "core/update/question_update.h"
#include "core/update/zip_maker.h"
#include "platform/posix_connector.h"
#include "platform/zip_entry_reader.h"

using namespace tovalo;
using namespace tovalo::update;
namespace fs = std::filesystem;

namespace {

std::string answer(const std::string& body, const std::string& headers = {}) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers +
           "\r\n" + body;
}

// The update server and the figure server in one: question files by the
// name asked for, everything else by its path under /img/.
class UpdateServer {
  public:
    UpdateServer() : server_([this](const std::string& request) { return respond(request); }) {}

    std::string respond(const std::string& request) {
        std::lock_guard lock(mutex_);
        const std::string line = request.substr(0, request.find("\r\n"));
        const std::string target = line.substr(4, line.rfind(" HTTP/") - 4);
        targets.push_back(target);
        const std::string cookie = "Set-Cookie: s=" + std::to_string(targets.size()) + "\r\n";
        std::string key = target;
        if (target.starts_with("/update/qdf.cgi?")) {
            const std::size_t at = target.find("QDFName=") + 8;
            key = target.substr(at, target.find('&', at) - at);
        } else if (target.starts_with("/img/")) {
            key = target.substr(5);
        }
        const auto raw = rawAnswers.find(key);
        if (raw != rawAnswers.end()) {
            return raw->second;
        }
        const auto it = files.find(key);
        if (it == files.end()) {
            return "HTTP/1.0 404 Not Found\r\n\r\n";
        }
        return answer(it->second, cookie);
    }

    [[nodiscard]] std::string address() const { return server_.hostAndPort(); }
    [[nodiscard]] std::vector<std::string> requests() const { return server_.requests(); }

    std::map<std::string, std::string> files;       // name or figure path -> body
    std::map<std::string, std::string> rawAnswers;  // name -> whole answer
    std::vector<std::string> targets;

  private:
    std::mutex mutex_;
    LoopbackServer server_;
};

class QuestionUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.dir("root/bin");
        tree.dir("root/QDAT/nexa/img");
        tree.dir("root/HIST/nexa");
        setup.directories = app::Directories::resolve(tree.path("root/bin") + "/");
        setup.profile = {"Taro Yamada", "Org", "t@example.jp", "S-1"};
        setup.readEntry = &platform::readZipEntry;
        setup.addresses = {remote.address(), "update/qdf.cgi", remote.address(), "img"};
        events.show = [this](const UpdateMessage& m) { shown.push_back(m); };
        events.fileStarted = [this](const std::string& label) { labels.push_back(label); };
        events.fetching = [this](bool on) { fetching.push_back(on); };
    }

    std::string local(const std::string& relative) const { return tree.path("root/" + relative); }
    std::string read(const std::string& relative) const { return tree.read("root/" + relative); }
    void write(const std::string& relative, const std::string& bytes) const {
        tree.file("root/" + relative, bytes);
    }

    UpdateReport run(std::vector<UpdateTarget> targets = {{"nexa", "ネクサ"}},
                     bool announce = false) {
        QuestionUpdate update(sockets, setup);
        return update.run(targets, announce, events, &cancel);
    }

    // The names in a vendor's question folder that the update works with.
    std::vector<std::string> workingFiles(const std::string& vendor = "nexa") const {
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(local("QDAT/" + vendor))) {
            const std::string name = e.path().filename().string();
            if (name.starts_with('_') || name.starts_with('#') ||
                name.find(kSaveTempMarker) != std::string::npos) {
                left.push_back(name);
            }
        }
        return left;
    }

    TempTree tree;
    UpdateServer remote;
    platform::PosixConnector sockets;
    UpdateSetup setup;
    UpdateEvents events;
    std::atomic<bool> cancel{false};
    std::vector<UpdateMessage> shown;
    std::vector<std::string> labels;
    std::vector<bool> fetching;
};

const std::string kOlder = "20261101120000";  // a month earlier, at noon
const std::string kNewer = "20261201090000";  // a month later, in the morning

}  // namespace

// One vendor, three courses: a zipped copy a month newer (earlier in the
// day), a plain copy a month older (later in the day), an identical one;
// then the figures of the first course's list, its last line included.
TEST_F(QuestionUpdateTest, ReplacesNewerCoursesAndFetchesChangedFigures) {
    write("QDAT/nexa/NX-101.qdf", smallCourse("NX-101", "基礎", kOlder));
    write("QDAT/nexa/NX-102.qdf", smallCourse("NX-102", "応用", kNewer));
    const std::string same = smallCourse("NX-103", "上級", kNewer);
    write("QDAT/nexa/NX-103.qdf", same);
    write("QDAT/nexa/NX-101.ini",
          "; NX-101\r\n1\r\n; 図版\r\nsame.jpg 1\r\nnewer.jpg 1\r\n\r\nlast.jpg 1\r\n"
          "[Level]\r\nTextA=旧\r\n");
    const std::string ini102 = "; NX-102\r\n3\r\n; 図版\r\nx.jpg 1\r\n";
    write("QDAT/nexa/NX-102.ini", ini102);
    for (const char* f : {"same.jpg", "newer.jpg", "last.jpg", "x.jpg"}) {
        write(std::string("QDAT/nexa/img/") + f, std::string("old ") + f);
    }
    for (const char* h : {"NX-101.HIS", "NX-101.ADP", "NX-102.his", "NX-103.HIS", "NX-103.ADP"}) {
        write(std::string("HIST/nexa/") + h, "history");
    }
    const std::string new101 = smallCourse("NX-101", "基礎 改訂", kNewer);
    const std::string new102 = smallCourse("NX-102", "応用 改訂", kOlder);
    const std::string ini101 =
        "; NX-101\r\n2\r\n; 図版\r\nsame.jpg 1\r\nnewer.jpg 2\r\nadded.bmp 1\r\nlast.jpg 2\r\n"
        "[Level]\r\nTextA=新\r\n";
    remote.files = {{"NX-101.qdf", makeZip({{"#NX-101.qdf", new101}})},
                    {"NX-102.qdf", new102},
                    {"NX-103.qdf", same},
                    {"NX-101.ini", ini101},
                    {"NX-102.ini", "; NX-102 served\r\n3\r\n; 図版\r\nx.jpg 9\r\n"},
                    {"same.jpg", "must not be fetched"},
                    {"newer.jpg", "new newer"},
                    {"added.bmp", "new added"},
                    {"last.jpg", "new last"}};

    const UpdateReport report = run();

    const std::vector<std::string> replaced = {"NX-101 : 基礎 改訂", "NX-102 : 応用 改訂"};
    EXPECT_EQ(report.replaced, replaced);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_TRUE(report.endsProgram());
    EXPECT_EQ(shown, (std::vector<UpdateMessage>{{kInfoCaption, replacedList(replaced)},
                                                 {kInfoCaption, kMustRestart}}));
    EXPECT_EQ(report.messages, shown);
    EXPECT_EQ(fetching, (std::vector<bool>{true, false}));

    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), new101);
    EXPECT_EQ(read("QDAT/nexa/NX-102.qdf"), new102);
    EXPECT_EQ(read("QDAT/nexa/NX-103.qdf"), same);
    EXPECT_EQ(read("QDAT/nexa/NX-101.ini"), ini101);
    EXPECT_EQ(read("QDAT/nexa/NX-102.ini"), ini102);  // same list version: kept
    EXPECT_EQ(read("QDAT/nexa/img/same.jpg"), "old same.jpg");
    EXPECT_EQ(read("QDAT/nexa/img/newer.jpg"), "new newer");
    EXPECT_EQ(read("QDAT/nexa/img/added.bmp"), "new added");
    EXPECT_EQ(read("QDAT/nexa/img/last.jpg"), "new last");
    EXPECT_EQ(read("QDAT/nexa/img/x.jpg"), "old x.jpg");
    EXPECT_TRUE(workingFiles().empty());

    for (const char* gone : {"NX-101.HIS", "NX-101.ADP", "NX-102.his"}) {
        EXPECT_FALSE(tree.exists(std::string("root/HIST/nexa/") + gone)) << gone;
    }
    EXPECT_EQ(read("HIST/nexa/NX-103.HIS"), "history");
    EXPECT_EQ(read("HIST/nexa/NX-103.ADP"), "history");

    EXPECT_EQ(remote.targets, (std::vector<std::string>{
                                  "/update/qdf.cgi?Name=Taro%20Yamada&Serial=S-1&QDFName=NX-101.qdf"
                                  "&date=20261101120000&Email=t@example.jp",
                                  "/update/qdf.cgi?Name=Taro%20Yamada&Serial=S-1&QDFName=NX-102.qdf"
                                  "&date=20261201090000&Email=t@example.jp",
                                  "/update/qdf.cgi?Name=Taro%20Yamada&Serial=S-1&QDFName=NX-103.qdf"
                                  "&date=20261201090000&Email=t@example.jp",
                                  "/img/NX-101.ini", "/img/newer.jpg", "/img/added.bmp",
                                  "/img/last.jpg", "/img/NX-102.ini"}));
    const std::vector<std::string> requests = remote.requests();
    ASSERT_EQ(requests.size(), 8u);
    EXPECT_TRUE(requests[0].starts_with("GET /update/qdf.cgi?"));
    EXPECT_NE(requests[0].find("\r\nUser-Agent: Mozilla/4.0+(compatible;+TovaloV2)\r\n"),
              std::string::npos)
        << requests[0];
    EXPECT_EQ(requests[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nCookie: s=1\r\n"), std::string::npos) << requests[1];
    EXPECT_NE(requests[7].find("\r\nCookie: s=7\r\n"), std::string::npos) << requests[7];
    EXPECT_EQ(labels.front(), "模擬問題NX-101.qdfをダウンロード中");
    EXPECT_EQ(labels[3], "模擬問題NX-101.iniをダウンロード中");
    EXPECT_EQ(labels.size(), 8u);

    // The course menu lists the replaced courses with fresh, empty histories.
    const Catalog catalog =
        buildCatalog(local("QDAT/nexa/"), local("HIST/nexa/"), emptyHistoryFiles(""));
    ASSERT_EQ(catalog.courses.size(), 3u);
    EXPECT_EQ(catalog.courses[0].ExamTitle, "基礎 改訂");
    EXPECT_EQ(catalog.courses[0].QdfDate, "2026/12/01");
    EXPECT_EQ(read("HIST/nexa/NX-101.HIS"), emptyHistoryFile(""));
    EXPECT_EQ(read("HIST/nexa/NX-103.HIS"), "history");

    // Straight away again: everything is current.
    shown.clear();
    remote.files["NX-101.qdf"] = new101;
    remote.files["NX-102.qdf"] = new102;
    const UpdateReport again = run();
    EXPECT_TRUE(again.replaced.empty());
    EXPECT_FALSE(again.endsProgram());
    EXPECT_EQ(shown, (std::vector<UpdateMessage>{{kInfoCaption, kNothingNew}}));
    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), new101);
    EXPECT_TRUE(workingFiles().empty());
}

// A date line too short to compare fails that course with the download
// error; the course before it stays installed, the one after is not tried.
TEST_F(QuestionUpdateTest, ShortDateLineFailsWithTheDownloadError) {
    write("QDAT/nexa/NX-100.qdf", smallCourse("NX-100", "入門", kOlder));
    const std::string shortLine = smallCourse("NX-101", "基礎", "2026110112");
    write("QDAT/nexa/NX-101.qdf", shortLine);
    const std::string untouched = smallCourse("NX-102", "応用", kOlder);
    write("QDAT/nexa/NX-102.qdf", untouched);
    const std::string new100 = smallCourse("NX-100", "入門 改訂", kNewer);
    remote.files = {{"NX-100.qdf", new100},
                    {"NX-101.qdf", smallCourse("NX-101", "基礎 改訂", kNewer)},
                    {"NX-102.qdf", smallCourse("NX-102", "応用 改訂", kNewer)}};

    const UpdateReport report = run();

    EXPECT_EQ(report.replaced, std::vector<std::string>{"NX-100 : 入門 改訂"});
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].caption, kErrorCaption);
    EXPECT_TRUE(report.failures[0].text.starts_with("ダウンロードに失敗しました。 (ﾒｯｾｰｼﾞ:"));
    EXPECT_NE(report.failures[0].text.find("NX-101.qdf"), std::string::npos);
    EXPECT_NE(report.failures[0].text.find("2026110112"), std::string::npos);
    EXPECT_EQ(remote.targets[1].find("&date=2026110112&"), remote.targets[1].find("&date="));
    EXPECT_EQ(read("QDAT/nexa/NX-100.qdf"), new100);
    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), shortLine);
    EXPECT_EQ(read("QDAT/nexa/NX-102.qdf"), untouched);
    EXPECT_TRUE(workingFiles().empty());
    // The failure ends the vendor's update; the list of what it replaced
    // before that follows it.
    EXPECT_EQ(shown, (std::vector<UpdateMessage>{report.failures[0],
                                                 {kInfoCaption, replacedList(report.replaced)},
                                                 {kInfoCaption, kMustRestart}}));
}

// A body shorter than its announced length, a body that is no question
// file, a full disk: each ends the update with its own message, and every
// downloaded file goes.
TEST_F(QuestionUpdateTest, FailuresLeaveTheCoursesAsTheyWere) {
    const std::string old100 = smallCourse("NX-100", "入門", kOlder);
    const std::string old101 = smallCourse("NX-101", "基礎", kOlder);
    write("QDAT/nexa/NX-100.qdf", old100);
    write("QDAT/nexa/NX-101.qdf", old101);
    write("QDAT/nexa/NX-101.ini", "x\r\n1\r\nx\r\n");
    remote.files = {{"NX-100.qdf", smallCourse("NX-100", "入門 改訂", kNewer)},
                    {"NX-101.ini", "x\r\n1\r\nx\r\n"}};
    const std::string new101 = smallCourse("NX-101", "基礎 改訂", kNewer);
    remote.rawAnswers["NX-101.qdf"] =
        "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(new101.size()) + "\r\n\r\n" +
        new101.substr(0, 100);
    const auto unchanged = [&] {
        EXPECT_EQ(read("QDAT/nexa/NX-100.qdf"), old100);
        EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), old101);
        EXPECT_EQ(read("QDAT/nexa/NX-101.ini"), "x\r\n1\r\nx\r\n");
        EXPECT_TRUE(workingFiles().empty());
    };

    UpdateReport report = run();
    EXPECT_EQ(report.failures, (std::vector<UpdateMessage>{{"更新エラー", kCutTransfer}}));
    EXPECT_EQ(shown, report.failures);
    EXPECT_EQ(fetching, (std::vector<bool>{true, false}));
    EXPECT_FALSE(report.endsProgram());
    unchanged();

    // A page of the server's in place of the course: refused, not installed.
    shown.clear();
    remote.rawAnswers.clear();
    remote.files["NX-101.qdf"] = "<html>お探しのページは見つかりません</html>";
    report = run();
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_NE(report.failures[0].text.find("#NX-101.qdf"), std::string::npos)
        << report.failures[0].text;
    // NX-100 came before the bad copy and was installed; put it back.
    EXPECT_EQ(report.replaced, std::vector<std::string>{"NX-100 : 入門 改訂"});
    write("QDAT/nexa/NX-100.qdf", old100);
    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), old101);
    EXPECT_TRUE(workingFiles().empty());

    // The disk fills while the second course's archive is unpacked: the
    // first two saves are the downloads, the third the unpacked copy.
    shown.clear();
    remote.files["NX-101.qdf"] = makeZip({{"#NX-101.qdf", new101}});
    remote.files["NX-100.qdf"] = old100;
    static int saves = 0;
    saves = 0;
    setSaveFaultHookForTesting([](SaveStep step) {
        if (step == SaveStep::Created) {
            ++saves;
        }
        return step == SaveStep::Written && saves == 4 ? SaveFault::DiskFull : SaveFault::None;
    });
    report = run();
    setSaveFaultHookForTesting(nullptr);
    EXPECT_EQ(report.failures, (std::vector<UpdateMessage>{{kInfoCaption, kDiskFull}}));
    EXPECT_TRUE(report.replaced.empty());
    unchanged();

    // A full disk on the very first download says the same.
    setSaveFaultHookForTesting([](SaveStep step) {
        return step == SaveStep::Written ? SaveFault::DiskFull : SaveFault::None;
    });
    report = run();
    setSaveFaultHookForTesting(nullptr);
    EXPECT_EQ(report.failures, (std::vector<UpdateMessage>{{kInfoCaption, kDiskFull}}));
    unchanged();
}

// What an earlier run left behind goes with this run's working files; a
// history that cannot be removed beside a replaced course, and a vendor
// folder that cannot be listed, fail the run instead of passing unseen.
TEST_F(QuestionUpdateTest, LeftoversGoAndWhatCannotBeTouchedFails) {
    const std::string same = smallCourse("NX-100", "入門", kOlder);
    write("QDAT/nexa/NX-100.qdf", same);
    write("QDAT/nexa/#NX-100.qdf", "half an archive");
    write("QDAT/nexa/_NX-100.qdf", "half a download");
    // Temporary copies of an update killed while it saved, of a course no
    // longer listed among them.
    write("QDAT/nexa/_NX-099.qdf.tovalo-save-999999999-17", "half a download");
    write("QDAT/nexa/#NX-099.qdf.tovalo-save-42", "half an archive");
    write("QDAT/nexa/img/fig.jpg.tovalo-save-999999999-5", "half a figure");
    write("QDAT/nexa/img/fig.jpg", "figure");
    remote.files = {{"NX-100.qdf", same}};
    UpdateReport report = run();
    EXPECT_TRUE(report.failures.empty());
    EXPECT_TRUE(workingFiles().empty());
    EXPECT_EQ(read("QDAT/nexa/NX-100.qdf"), same);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(local("QDAT/nexa/img")), fs::directory_iterator()), 1);

    // A folder where the history file should be: it cannot be removed.
    tree.file("root/HIST/nexa/NX-100.HIS/keep", "x");
    const std::string newer = smallCourse("NX-100", "入門 改訂", kNewer);
    remote.files = {{"NX-100.qdf", newer}};
    report = run();
    EXPECT_EQ(report.replaced, std::vector<std::string>{"NX-100 : 入門 改訂"});
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].caption, kErrorCaption);
    EXPECT_NE(report.failures[0].text.find("NX-100.HIS"), std::string::npos)
        << report.failures[0].text;
    EXPECT_TRUE(report.endsProgram());
    EXPECT_EQ(read("QDAT/nexa/NX-100.qdf"), newer);

    shown.clear();
    const std::size_t asked = remote.targets.size();
    report = run({{"ghost", "ゴースト"}});
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_NE(report.failures[0].text.find("QDAT/ghost"), std::string::npos)
        << report.failures[0].text;
    EXPECT_EQ(remote.targets.size(), asked);  // nothing asked for the unlisted vendor
}

// A hostile server: archives that try to leave the folder, figure names
// that do, lists that are not lists. Nothing is written outside the
// vendor's folder and the local files stay.
TEST_F(QuestionUpdateTest, HostileAnswersAreRefusedAndWriteNothingOutside) {
    const std::string old101 = smallCourse("NX-101", "基礎", kOlder);
    write("QDAT/nexa/NX-101.qdf", old101);
    const std::string new101 = smallCourse("NX-101", "基礎 改訂", kNewer);
    const auto everyFile = [&] {
        std::vector<std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(tree.path())) {
            all.push_back(fs::relative(e.path(), tree.path()).string());
        }
        std::sort(all.begin(), all.end());
        return all;
    };
    const std::vector<std::string> before = everyFile();

    const std::vector<std::pair<std::string, int>> archives = {
        {makeZip({{"../NX-101.qdf", new101}}), 12},
        {makeZip({{"#NX-101.qdf", "/etc/passwd", S_IFLNK | 0777}}), 13},
        {makeZip({{"#NX-101.qdf", new101}, {"../../HIST/nexa/NX-101.HIS", "x"}}), 12},
        {makeZip({{"NX-101.qdf", new101}}), 14},
        {makeZip({{"#NX-101.qdf", std::string(8 * 1024 * 1024, ' ')}}), 15},
    };
    for (const auto& [zip, code] : archives) {
        shown.clear();
        remote.files = {{"NX-101.qdf", zip}};
        const UpdateReport report = run();
        EXPECT_EQ(report.failures,
                  (std::vector<UpdateMessage>{{kInfoCaption, uncompressFailed(code)}}));
        EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), old101);
        EXPECT_EQ(everyFile(), before) << code;
    }

    write("QDAT/nexa/NX-101.ini", "x\r\n1\r\nx\r\nkeep.jpg 1\r\n");
    const std::vector<std::string> withIni = everyFile();
    remote.files = {{"NX-101.qdf", old101}, {"evil.jpg", "x"}, {"ok.jpg", "fine"}};
    for (const char* figure :
         {"../../../evil.jpg", "../evil.jpg", "sub/evil.jpg", ".evil.jpg", "evil\x01.jpg"}) {
        shown.clear();
        remote.files["NX-101.ini"] = "x\r\n2\r\nx\r\nok.jpg 1\r\n" + std::string(figure) + " 1\r\n";
        const UpdateReport report = run();
        ASSERT_EQ(report.failures.size(), 1u) << figure;
        EXPECT_NE(report.failures[0].text.find("図版のファイル名"), std::string::npos);
        EXPECT_EQ(everyFile(), withIni) << figure;  // not even ok.jpg
        EXPECT_EQ(read("QDAT/nexa/NX-101.ini"), "x\r\n1\r\nx\r\nkeep.jpg 1\r\n");
    }

    // A delivered list with an empty line is no list.
    remote.files["NX-101.ini"] = "x\r\n2\r\nx\r\nok.jpg 1\r\n\r\n";
    const UpdateReport malformed = run();
    ASSERT_EQ(malformed.failures.size(), 1u);
    EXPECT_NE(malformed.failures[0].text.find("_NX-101.ini:5"), std::string::npos)
        << malformed.failures[0].text;
    EXPECT_EQ(everyFile(), withIni);
}

// The network's own failures, each with the message meant for it.
TEST_F(QuestionUpdateTest, NetworkFailuresShowTheirMessages) {
    write("QDAT/nexa/NX-101.qdf", smallCourse("NX-101", "基礎", kOlder));
    const auto failureOf = [&] {
        shown.clear();
        const UpdateReport report = run();
        EXPECT_TRUE(workingFiles().empty());
        return report.failures.empty() ? UpdateMessage{} : report.failures.front();
    };
    EXPECT_EQ(failureOf(), (UpdateMessage{kConfirmCaption, kTransferError}));  // 404
    // Connected and asked, but the answer ends inside its head: the
    // download error, not the connection's.
    remote.rawAnswers["NX-101.qdf"] = "HTTP/1.0 200 OK\r\nContent-Le";
    const UpdateMessage cut = failureOf();
    EXPECT_EQ(cut.caption, kErrorCaption);
    EXPECT_TRUE(cut.text.starts_with("ダウンロードに失敗しました。 (ﾒｯｾｰｼﾞ:")) << cut.text;
    remote.rawAnswers.clear();

    int closedPort = 0;
    {
        LoopbackServer gone([](const std::string&) { return std::string(); });
        closedPort = gone.port();
    }
    setup.addresses.updateHost = "127.0.0.1:" + std::to_string(closedPort);
    EXPECT_EQ(failureOf(), (UpdateMessage{kNetworkCaption, kConnectFailed}));

    setup.addresses.updateHost = "no-such-host.invalid";
    EXPECT_EQ(failureOf(), (UpdateMessage{kNetworkCaption, kNoNetwork}));
    setup.proxyHost = "no-such-proxy.invalid";
    EXPECT_EQ(failureOf(), (UpdateMessage{kNetworkCaption, kBadProxy}));
}

// All vendors: each is named and confirmed on its own; a declined vendor is
// skipped, and the stop button ends the whole run between reads.
TEST_F(QuestionUpdateTest, AllVendorsAreConfirmedOneByOneAndCanBeStopped) {
    tree.dir("root/QDAT/sorane/img");
    tree.dir("root/HIST/sorane");
    const std::string oldNx = smallCourse("NX-101", "基礎", kOlder);
    write("QDAT/nexa/NX-101.qdf", oldNx);
    write("QDAT/sorane/SR-1.qdf", smallCourse("SR-1", "入門", kOlder));
    remote.files = {{"NX-101.qdf", smallCourse("NX-101", "基礎 改訂", kNewer)},
                    {"SR-1.qdf", smallCourse("SR-1", "入門 改訂", kNewer)}};
    std::vector<std::string> asked;
    std::deque<bool> answers = {false, true};
    events.confirm = [&](const std::string& text) {
        asked.push_back(text);
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    };
    const std::vector<UpdateTarget> both = {{"nexa", "ネクサ"}, {"sorane", "ソラネ"}};

    const UpdateReport report = run(both, true);

    EXPECT_EQ(asked, (std::vector<std::string>{kConfirmClear, kConfirmClear}));
    EXPECT_EQ(report.replaced, std::vector<std::string>{"SR-1 : 入門 改訂"});
    EXPECT_EQ(shown, (std::vector<UpdateMessage>{{kInfoCaption, "ネクサ の更新を行います。"},
                                                 {kInfoCaption, "ソラネ の更新を行います。"},
                                                 {kInfoCaption, replacedList({"SR-1 : 入門 改訂"})},
                                                 {kInfoCaption, kMustRestart}}));
    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), oldNx);
    EXPECT_EQ(remote.targets.size(), 1u);

    // Stopped while the first file is on its way: nothing more is asked for.
    shown.clear();
    answers = {true, true};
    events.fileStarted = [&](const std::string&) { cancel = true; };
    const UpdateReport stopped = run(both, true);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.failures.empty());
    EXPECT_TRUE(stopped.replaced.empty());
    EXPECT_EQ(shown.back(), (UpdateMessage{kUpdateCaption, kUpdateCancelled}));
    EXPECT_EQ(answers.size(), 1u);  // the second vendor was never asked
    EXPECT_EQ(read("QDAT/nexa/NX-101.qdf"), oldNx);
    EXPECT_TRUE(workingFiles("nexa").empty());
}
