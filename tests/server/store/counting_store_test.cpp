#include "server/store/counting_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

#include "common/temp_tree.h"
#include "server/protocol/metrics_text.h"
#include "server/store/support.h"

namespace tovalo::server::store {
namespace {

// An alert on store errors must not fire for a closed registration's
// strangers or a disabled learner: those are answers the clients get.
TEST(CountingStore, CountsFailedCallsButNotTheRefusalsCallersExpect) {
    TempTree tree;
    Result<std::unique_ptr<Store>> inner = openSqliteStore(tree.path("tovalo.db"));
    ASSERT_TRUE(inner.ok());
    CountingStore store(**inner);
    ASSERT_TRUE(store.addLearner({"disabled", "名前", "d@example.jp"}).ok());
    ASSERT_TRUE(store.setLearnerDisabled("disabled", true).ok());
    const HistoryUpload upload{"NET-101", "2024/03/01 00:00:00", "", 0, 0, 0, "record"};

    const struct {
        const char* call;
        std::function<bool()> succeeded;
    } failing[] = {
        {"unknown learner",
         [&] {
             return store.addHistory({"nobody", "", ""}, false, upload).ok();
         }},
        {"disabled learner",
         [&] {
             return store.addHistory({"disabled", "", ""}, true, upload).ok();
         }},
        {"unknown receipt", [&] { return store.answerInboxItem(99, "答え").ok(); }},
        {"backup into no folder", [&] { return store.backup(tree.path() + "/none/out").ok(); }},
    };
    for (const auto& c : failing) {
        EXPECT_FALSE(c.succeeded()) << c.call;
    }
    protocol::MetricsText text;
    store.writeMetrics(text);
    for (const std::string_view line : {
             "tovalo_store_errors_total{operation=\"addHistory\"} 0\n",
             "tovalo_store_errors_total{operation=\"answerInboxItem\"} 1\n",
             "tovalo_store_errors_total{operation=\"backup\"} 1\n",
             "tovalo_store_errors_total{operation=\"setLearnerDisabled\"} 0\n",
             "tovalo_store_pool_connections{state=\"busy\"} 0\n",
         }) {
        EXPECT_NE(text.text().find(line), std::string::npos) << line << text.text();
    }
}

TEST(ConnectionPool, ShowsBusyConnectionsAndTheCallsThatWaited) {
    std::vector<std::unique_ptr<int>> connections;
    connections.push_back(std::make_unique<int>(0));
    ConnectionPool<int> pool(std::move(connections));
    std::optional<ConnectionPool<int>::Lease> held(std::in_place, pool);
    EXPECT_EQ(pool.usage().busy, 1u);
    EXPECT_EQ(pool.usage().idle, 0u);

    std::thread second([&] { const ConnectionPool<int>::Lease lease(pool); });
    while (pool.usage().waits == 0) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    held.reset();
    second.join();
    const PoolUsage after = pool.usage();
    EXPECT_EQ(after.idle, 1u);
    EXPECT_EQ(after.busy, 0u);
    EXPECT_EQ(after.waits, 1u);
    EXPECT_GT(after.waitedSeconds, 0.0);
}

}  // namespace
}  // namespace tovalo::server::store
