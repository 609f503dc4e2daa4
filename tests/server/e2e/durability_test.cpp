// Uploads while the server is killed at random moments: every upload that
// was answered must be in the store afterwards, and the store must open.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <set>

#include "common/temp_tree.h"
#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "server/server_process.h"
#include "server/service/learner_keys.h"
#include "server/store/store.h"
#include "store_choice.h"

namespace {

using namespace tovalo;

int fromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

std::string uploadOf(int n) {
    app::Profile p;
    p.name = "Taro";
    p.serial = "S-" + std::to_string(n % 3);
    QuestionBank bank;
    bank.QuesTotal = 0;
    HistoryFile h;
    h.BestRate = n % 101;
    // Each upload its own date, so the store tells them apart.
    const platform::LocalDateTime when{
        2020 + n / 100000, 1 + n / 10000 % 10, 1 + n / 400 % 25, n / 60 % 24, n % 60, n % 60};
    return sync::uploadBody(p, "NX-" + std::to_string(n % 5), sync::formatSyncDate(when), bank, h);
}

// TOVALO_DURABILITY_UPLOADS and TOVALO_DURABILITY_KILLS make it a longer run.
TEST(ServerDurability, AnsweredUploadsSurviveKills) {
    const int uploads = fromEnvironment("TOVALO_DURABILITY_UPLOADS", 200);
    const int kills = fromEnvironment("TOVALO_DURABILITY_KILLS", 20);
    TempTree tree;
    const std::string data = tree.path("data");
    std::mt19937 random(12345);

    std::vector<std::string> acknowledged;
    std::atomic<int> answered = 0;
    int failed = 0, killed = 0;
    auto server = std::make_unique<ServerProcess>(data);
    std::atomic<int> port = server->port();
    std::atomic<bool> done = false;
    std::thread client([&] {
        for (int n = 0; n < uploads; ++n) {
            const std::string body = uploadOf(n);
            for (;;) {
                const std::optional<HttpAnswer> a =
                    httpExchange(port, postRequest("/sync/upload.cgi?2026/12/10", body));
                if (a && a->status == 200) {
                    acknowledged.push_back(body);
                    ++answered;
                    break;
                }
                ++failed;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        done = true;
    });
    // Kills land at random moments, spaced from the pace the uploads keep,
    // so that they are spread over the whole run and hit every phase of an
    // upload: reading it, committing it, answering it.
    // The pace of uploads with nobody killing the server, once the first
    // ones have opened the store's sessions: taken from the very first, it
    // can be slow enough that the uploads end before the first kill.
    const auto answeredAt = [&](int count) {
        while (answered < std::min(count, uploads) && !done) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return std::make_pair(std::chrono::steady_clock::now(), answered.load());
    };
    const auto [warm, warmCount] = answeredAt(5);
    const auto [paced, pacedCount] = answeredAt(15);
    const double pace = std::chrono::duration<double, std::micro>(paced - warm).count() /
                        std::max(pacedCount - warmCount, 1);
    while (!done && killed < kills) {
        const double gap = 1.5 * pace * (uploads - answered) / (kills - killed);
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, static_cast<long>(gap))(random)));
        if (done) {
            break;
        }
        server->stop(SIGKILL);
        ++killed;
        server = std::make_unique<ServerProcess>(data);
        port = server->port();
    }
    client.join();
    server->stop(SIGTERM);
    std::printf("%d uploads answered, %d attempts failed, %d kills\n", answered.load(), failed,
                killed);
    EXPECT_EQ(answered, uploads);
    EXPECT_GE(killed, kills * 3 / 4) << "the kills should fall within the uploads";

    Result<std::unique_ptr<server::store::Store>> opened = e2e::openStoreOf(data);
    ASSERT_TRUE(opened) << opened.error().describe();
    server::store::Store& store = **opened;
    Result<std::string> secret = server::service::loadOrCreateSecret(data);
    ASSERT_TRUE(secret);
    const server::service::SerialHasher hasher(*secret);
    std::multiset<std::string> kept;
    for (int s = 0; s < 3; ++s) {
        auto learner = store.findLearner(hasher.hash("S-" + std::to_string(s)));
        ASSERT_TRUE(learner && *learner);
        auto versions = store.historyVersions((*learner)->id, "");
        ASSERT_TRUE(versions);
        for (const auto& v : *versions) {
            kept.insert(v.upload.testId + " " + v.upload.lastUpdate);
        }
    }
    for (int n = 0; n < uploads; ++n) {
        const std::string body = acknowledged[n];
        const std::size_t at = body.find("&LASTUPDATE=") + 12;
        std::string date = body.substr(at, body.find('&', at) - at);
        date.replace(date.find("%20"), 3, " ");
        EXPECT_TRUE(kept.contains("NX-" + std::to_string(n % 5) + " " + date)) << n;
    }
}

}  // namespace
