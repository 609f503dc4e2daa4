// Three tovalo-servers on one PostgreSQL database behind HAProxy, run with
// the repository's balancer configuration: the program's own sync and update
// go through it, and under load a server is killed and the database
// restarted.
#include <gtest/gtest.h>

#include <sys/un.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "core/update/update_rules.h"
#include "server/postgres/postgres_cluster.h"
#include "server/protocol/course_files.h"
#include "server/server_process.h"
#include "tools/tool_fixture.h"

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

namespace {

const fs::path kSample = fs::path(TOVALO_SAMPLE_DIR) / "qdat/nexa";
constexpr int kServers = 3;
constexpr int kConnections = 6;

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// What `command` printed on its standard output.
std::string output(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        out.append(buf.data(), n);
    }
    ::pclose(p);
    return out;
}

class Scale : public ToolTest {
  protected:
    static void SetUpTestSuite() {
        PostgresCluster& cluster = PostgresCluster::shared();
        ASSERT_TRUE(cluster.running()) << cluster.failure();
        database_ = cluster.freshDatabase();
        ASSERT_FALSE(database_.empty()) << cluster.failure();
        storeChoice() = [](const std::string&) { return PostgresCluster::shared().url(database_); };
        root_ = std::make_unique<TempTree>();
        // One data folder: the servers must share the secret that keys
        // learners' identifiers, as every machine of a real setup must.
        for (int i = 0; i < kServers; ++i) {
            servers_[i] = std::make_unique<ServerProcess>(data());
        }
        const std::string stats = root_->path("haproxy.sock");
        ::setenv("TOVALO_HAPROXY_STATS", stats.c_str(), 1);
        ::setenv("TOVALO_HAPROXY_LOG", "stdout", 1);
        ::setenv("TOVALO_HAPROXY_CHECK", "100ms", 1);
        balancerPort_ = freePort();
        ::setenv("TOVALO_HAPROXY_BIND", ("127.0.0.1:" + std::to_string(balancerPort_)).c_str(), 1);
        for (int i = 0; i < kServers; ++i) {
            ::setenv(("TOVALO_SERVER" + std::to_string(i + 1)).c_str(),
                     ("127.0.0.1:" + std::to_string(servers_[i]->port())).c_str(), 1);
        }
        balancer_ = ::fork();
        if (balancer_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int log =
                ::open(root_->path("haproxy.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
            ::execl(TOVALO_HAPROXY, TOVALO_HAPROXY, "-db", "-f", TOVALO_HAPROXY_CONFIG, nullptr);
            ::_exit(127);
        }
        ASSERT_TRUE(waitForStates("UP UP UP", 10s)) << states() << root_->read("haproxy.log");
    }
    static void TearDownTestSuite() {
        if (balancer_ > 0) {
            ::kill(balancer_, SIGTERM);
            ::waitpid(balancer_, nullptr, 0);
        }
        for (auto& server : servers_) {
            server.reset();
        }
        storeChoice() = nullptr;
        root_.reset();
    }

    static std::string data() { return root_->path("data"); }

    // HAProxy's answer to a stats socket command.
    static std::string balancerSays(const std::string& command) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = root_->path("haproxy.sock");
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        std::string said;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::send(fd, command.data(), command.size(), MSG_NOSIGNAL) > 0) {
            std::array<char, 16384> buf;
            ssize_t n;
            while ((n = ::recv(fd, buf.data(), buf.size(), 0)) > 0) {
                said.append(buf.data(), static_cast<std::size_t>(n));
            }
        }
        ::close(fd);
        return said;
    }
    // A column of `show stat` for s1, s2 and s3, space-separated.
    static std::string serverColumn(const std::string& column) {
        std::istringstream lines(balancerSays("show stat\n"));
        std::string line;
        // Nothing while HAProxy is still starting.
        if (!std::getline(lines, line) || !line.starts_with("# ")) {
            return "";
        }
        std::vector<std::string> head;
        std::istringstream names(line.substr(2));
        for (std::string name; std::getline(names, name, ',');) {
            head.push_back(name);
        }
        const auto at = std::find(head.begin(), head.end(), column) - head.begin();
        std::string values;
        while (std::getline(lines, line)) {
            std::vector<std::string> cells;
            std::istringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');) {
                cells.push_back(cell);
            }
            if (cells.size() > static_cast<std::size_t>(at) && cells[1].starts_with("s")) {
                values += (values.empty() ? "" : " ") + cells[at];
            }
        }
        return values;
    }
    static std::string states() { return serverColumn("status"); }
    static bool waitForStates(const std::string& wanted, std::chrono::milliseconds within) {
        const auto until = std::chrono::steady_clock::now() + within;
        while (states() != wanted) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // HAProxy's log lines of the exchanges that were not answered with 200.
    static std::string failedExchanges() {
        std::istringstream lines(root_->read("haproxy.log"));
        std::string failed;
        for (std::string line; std::getline(lines, line);) {
            if (line.find("tovalo_servers/") != std::string::npos &&
                line.find(" 200 ") == std::string::npos) {
                failed += line + "\n";
            }
        }
        return failed;
    }

    static long storedVersions() {
        return std::stol(PostgresCluster::shared()
                             .sql(database_, "SELECT count(*) FROM histories")
                             .value_or("-1"));
    }

    // tovalo-server-load through the balancer, started now: every learner's
    // history uploaded once, so that downloads find one, then the mix.
    static std::future<json> load(int seconds) {
        const std::string command = std::string(TOVALO_SERVER_LOAD) + " --port " +
                                    std::to_string(balancerPort_) + " --connections " +
                                    std::to_string(kConnections) + " --seconds " +
                                    std::to_string(seconds) +
                                    " --warmup 0 --seed 30 --timeout 5"
                                    " --mix query=45,upload=40,download=15 --json";
        return std::async(std::launch::async, [command] { return json::parse(output(command)); });
    }
    static long errors(const json& tally) {
        long sum = 0;
        for (const auto& [kind, count] : tally.at("errors").items()) {
            sum += count.get<long>();
        }
        return sum;
    }

    static std::string database_;
    static std::unique_ptr<TempTree> root_;
    static std::unique_ptr<ServerProcess> servers_[kServers];
    static int balancerPort_;
    static pid_t balancer_;
};

std::string Scale::database_;
std::unique_ptr<TempTree> Scale::root_;
std::unique_ptr<ServerProcess> Scale::servers_[kServers];
int Scale::balancerPort_ = 0;
pid_t Scale::balancer_ = -1;

TEST_F(Scale, TheProgramSyncsAndUpdatesThroughTheBalancer) {
    const std::string before = serverColumn("stot");
    // Installed: an older copy of a course the servers publish.
    const std::string source = read((kSample / "NXN-101.txt").string());
    write("old/NXN-101.txt", tovalo::server::protocol::withDateLine(source, "20000101000000"));
    fs::create_directories(dir_ / "inst/QDAT/nexa");
    ASSERT_EQ(tool("qdf pack " + tree_.path("old/NXN-101.txt") + " " +
                   tree_.path("inst/QDAT/nexa/NXN-101.qdf"))
                  .code,
              0);
    ASSERT_EQ(tool("text encode " + (kSample / "NXN-101.ini").string() + " " +
                   tree_.path("inst/QDAT/nexa/NXN-101.ini"))
                  .code,
              0);
    const auto [published, said] =
        serverAdmin(data(), "publish nexa " + (kSample / "NXN-101.txt").string() + " --ini " +
                                (kSample / "NXN-101.ini").string() + " --figures " +
                                (kSample / "img").string());
    ASSERT_EQ(published, 0) << said;
    const std::string balancer = "127.0.0.1:" + std::to_string(balancerPort_);
    write("inst/bin/Tovalo20.ini", "[Vender]\r\n1=nexa\r\n");
    write("inst/bin/SRV_INFO",
          balancer + "\r\nupdate/qdf.cgi\r\n" + balancer + "\r\nupdate/img\r\n");
    write("inst/bin/His_srv", balancer + "/sync/query.cgi\r\n" + balancer + "/sync/upload.cgi\r\n" +
                                  balancer + "/sync/download.cgi\r\n");
    const std::string profile =
        write("me.json", R"({"Name": "Taro", "Serial": "S-1", "Email": "t@example.jp"})");
    const std::string inst = (dir_ / "inst").string();

    const ToolRun updated =
        tool("update " + inst + " nexa --timeout 5 --profile " + profile + " --yes");
    ASSERT_EQ(updated.code, 0) << updated.err;
    EXPECT_EQ(json::parse(updated.out).at("replaced").size(), 1u) << updated.out;
    ASSERT_EQ(
        tool("qdf pack " + (kSample / "NXN-101.txt").string() + " " + tree_.path("NXN-101.qdf"))
            .code,
        0);
    EXPECT_EQ(tovalo::update::dateLineOf(read(tree_.path("inst/QDAT/nexa/NXN-101.qdf"))),
              tovalo::update::dateLineOf(read(tree_.path("NXN-101.qdf"))));

    // An upload, then each of the next questions reaches another server,
    // and every one of them knows it.
    write("inst/HIST/nexa/NXN-101.HIS", tovalo::emptyHistoryFile(""));
    const std::string sync = "sync " + inst + " nexa --profile " + profile;
    ASSERT_EQ(tool(sync + " --yes").code, 0);
    for (int i = 0; i < kServers; ++i) {
        const ToolRun asked = tool(sync);
        ASSERT_EQ(asked.code, 0) << asked.err;
        EXPECT_EQ(json::parse(asked.out).at(0).at("State"), "同期済み") << asked.out;
    }
    std::istringstream was(before), is(serverColumn("stot"));
    for (int i = 0; i < kServers; ++i) {
        long a = 0, b = 0;
        was >> a;
        is >> b;
        EXPECT_GT(b, a) << "s" << i + 1 << " served nothing: " << before << " / "
                        << serverColumn("stot");
    }
}

TEST_F(Scale, AKilledServerCostsOnlyItsRequestsInFlight) {
    const long stored = storedVersions();
    std::future<json> running = load(6);
    std::this_thread::sleep_for(2s);
    const int port = servers_[1]->port();
    servers_[1]->stop(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitForStates("UP DOWN UP", 3s)) << states();
    const auto out = std::chrono::steady_clock::now();
    servers_[1] = std::make_unique<ServerProcess>(
        data(), std::vector<std::string>{"--listen", "127.0.0.1:" + std::to_string(port)});
    EXPECT_TRUE(waitForStates("UP UP UP", 3s)) << states();
    const auto in = std::chrono::steady_clock::now();
    const json tally = running.get();
    std::printf("taken out after %lld ms, back %lld ms after its restart: %s\n",
                static_cast<long long>((out - killed) / 1ms),
                static_cast<long long>((in - out) / 1ms), tally.dump().c_str());

    // Only exchanges the killed server had begun may fail; connections
    // it refused went to the others.
    EXPECT_LE(errors(tally), kConnections) << tally << failedExchanges();
    const long acknowledged =
        tally.at("seeded").get<long>() + tally.at("answered").at("upload").get<long>();
    EXPECT_GT(acknowledged, 100) << tally;
    // Every upload answered is stored; beyond them, only those cut off.
    const long added = storedVersions() - stored;
    EXPECT_GE(added, acknowledged);
    EXPECT_LE(added, acknowledged + errors(tally) + kConnections);
    std::printf("%ld uploads answered, %ld versions stored\n", acknowledged, added);
}

TEST_F(Scale, ServersOutliveADatabaseRestart) {
    std::future<json> running = load(6);
    std::this_thread::sleep_for(2s);
    PostgresCluster& cluster = PostgresCluster::shared();
    cluster.stop("fast");
    // Down: each server says the exchange failed, and none goes away.
    tovalo::app::Profile taro;
    taro.name = "Taro";
    taro.serial = "S-1";
    const std::string query =
        postRequest("/sync/query.cgi", tovalo::sync::queryBody(taro, "NXN-101"));
    for (int i = 0; i < kServers; ++i) {
        const std::optional<HttpAnswer> a = httpExchange(servers_[i]->port(), query);
        ASSERT_TRUE(a) << "s" << i + 1;
        EXPECT_EQ(a->status, 503) << "s" << i + 1;
        EXPECT_EQ(a->body, "ERROR2\r\n") << "s" << i + 1;
    }
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(cluster.start()) << cluster.failure();
    const json tally = running.get();
    std::printf("%s\n", tally.dump().c_str());
    EXPECT_GT(tally.at("errors").at("status").get<long>(), 0) << tally;

    // Back: each server answers again without having been restarted.
    for (int i = 0; i < kServers; ++i) {
        EXPECT_TRUE(servers_[i]->running()) << "s" << i + 1;
        const std::optional<HttpAnswer> a = httpExchange(servers_[i]->port(), query);
        ASSERT_TRUE(a) << "s" << i + 1;
        EXPECT_EQ(a->status, 200) << "s" << i + 1 << " " << a->body;
    }
    EXPECT_EQ(states(), "UP UP UP");
    // The load went on after the restart.
    const json after = load(1).get();
    EXPECT_EQ(errors(after), 0) << after;
    EXPECT_GT(after.at("requests").get<long>(), 0) << after;
}

}  // namespace
