#include "server/store/postgres/postgres_store.h"

#include <poll.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "core/common/sha256.h"
#include "postgres_cluster.h"
#include "server/protocol/metrics_text.h"
#include "server/store/counting_store.h"
#include "server/store/store_conformance.h"

namespace tovalo::server::store::testing {

namespace {

PostgresCluster& cluster() {
    PostgresCluster& shared = PostgresCluster::shared();
    EXPECT_TRUE(shared.running()) << shared.failure();
    return shared;
}

// The conformance cases keep a store under a folder: here the folder keeps
// the name of the database made for it.
std::string databaseFor(const std::string& dir) {
    const std::string marker = dir + "/database";
    std::string name;
    if (std::ifstream(marker) >> name) {
        return name;
    }
    name = cluster().freshDatabase();
    std::ofstream(marker) << name;
    return name;
}

// What a backup holds, restored into a database of its own.
std::string restored(const std::string& path) {
    const std::string url = cluster().url(cluster().freshDatabase());
    EXPECT_EQ(PostgresCluster::client(
                  {"pg_restore", "--no-owner", "--exit-on-error", "--dbname=" + url, path}),
              0);
    return url;
}

StoreKind postgresKind() {
    return StoreKind{
        "Postgres",
        [](const std::string& dir) { return openPostgresStore(cluster().url(databaseFor(dir))); },
        [](const std::string& path) { return openPostgresStore(restored(path)); },
    };
}

INSTANTIATE_TEST_SUITE_P(Postgres, StoreConformance, ::testing::Values(postgresKind()), kindName);

const int kLatest = latestSchemaVersion();

// Its tables and the store's version: what a refused open must not change.
std::string contents(const std::string& database) {
    const auto tables =
        cluster().sql(database,
                      "SELECT string_agg(relname, ',' ORDER BY relname) FROM pg_class "
                      "WHERE relnamespace = 'public'::regnamespace AND relkind = 'r'");
    const auto version = cluster().sql(database, "SELECT to_regclass('tovalo_schema') IS NOT NULL");
    return tables.value_or("?") + " / " +
           (version == "t"
                ? cluster().sql(database, "SELECT version FROM tovalo_schema").value_or("?")
                : "-");
}

TEST(PostgresStore, RefusesDatabasesItCannotReadAndLeavesThemAsTheyWere) {
    struct Case {
        const char* name;
        std::function<void(const std::string& database)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"another program's tables",
         [](const std::string& database) {
             ASSERT_TRUE(cluster().sql(database,
                                       "CREATE TABLE notes (text TEXT); INSERT INTO notes "
                                       "VALUES ('x')"));
         },
         "履歴ストアのデータベースではありません"},
        {"store of a later release",
         [](const std::string& database) {
             const Migration later{kLatest + 1, "courses", {"CREATE TABLE courses (id {serial})"}};
             ASSERT_TRUE(openPostgresStore(cluster().url(database), releaseWith({later})).ok());
         },
         "新しい版"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string database = cluster().freshDatabase();
        c.make(database);
        const std::string before = contents(database);

        const auto opened = openPostgresStore(cluster().url(database, "&password=hidden"));
        ASSERT_FALSE(opened.ok());
        EXPECT_NE(opened.error().message.find(c.reason), std::string::npos)
            << opened.error().message;
        const std::string told = opened.error().describe();
        EXPECT_NE(told.find("/" + database), std::string::npos) << told;
        EXPECT_EQ(told.find("hidden"), std::string::npos) << told;
        EXPECT_EQ(contents(database), before);
    }
}

// Servers started together on an empty database: one takes the steps, the
// others wait for it and then find nothing left to do. The first step
// lingers, so that they would all be inside it at once.
TEST(PostgresStore, ServersStartedTogetherMigrateOneAtATime) {
    std::vector<Migration> release(migrations().begin(), migrations().end());
    release.front().statements.push_back("SELECT pg_sleep(0.3)");
    const std::string url = cluster().url(cluster().freshDatabase());
    constexpr int kServers = 3;
    std::vector<std::optional<Result<std::unique_ptr<Store>>>> opened(kServers);
    std::vector<std::thread> servers;
    for (int i = 0; i < kServers; ++i) {
        servers.emplace_back([&, i] { opened[i].emplace(openPostgresStore(url, release)); });
    }
    for (std::thread& server : servers) {
        server.join();
    }
    for (const auto& store : opened) {
        ASSERT_TRUE(store->ok()) << store->error().describe();
        EXPECT_EQ(*(**store)->schemaVersion(), kLatest);
    }
    EXPECT_TRUE((**opened[0])->addLearner(Sender{"h", "n", "e"}).ok());
}

// A database restarted or a session ended by its administrator: the next
// call opens its session again instead of failing, as it has sent nothing.
TEST(PostgresStore, CallsGoOnAfterTheDatabaseEndedTheSessions) {
    const std::string database = cluster().freshDatabase();
    auto store = openPostgresStore(cluster().url(database));
    ASSERT_TRUE(store.ok()) << store.error().describe();
    const std::pair<const char*, std::function<bool(Store&)>> calls[] = {
        {"a read", [](Store& s) { return s.learners().ok(); }},
        {"a write", [](Store& s) { return s.addNews("件名", "本文").ok(); }},
        {"a read of one snapshot", [](Store& s) { return s.inboxItems().ok(); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        ASSERT_NE(cluster().sql(database,
                                "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                "WHERE datname = current_database() AND pid <> pg_backend_pid()"),
                  "0");
        EXPECT_TRUE(call(**store));
    }
    EXPECT_EQ((*store)->latestNews(5)->size(), 1u);
}

// A loop of the test's own, on its thread, for the look-ups that must not
// block one: poll() on whatever the store waits for.
class PollLoop final : public EventLoop {
  public:
    ~PollLoop() override { state_.reset(); }

    bool whenReadable(int fd, std::function<void()> ready) override {
        waits_.push_back({fd, POLLIN, std::move(ready)});
        return true;
    }
    bool whenWritable(int fd, std::function<void()> ready) override {
        waits_.push_back({fd, POLLOUT, std::move(ready)});
        return true;
    }
    void forget(int fd) override {
        std::erase_if(waits_, [fd](const Wait& w) { return w.fd == fd; });
    }
    std::unique_ptr<State>& state() override { return state_; }

    // Runs the waits until `done`, for five seconds at most.
    bool runUntil(const std::function<bool()>& done) {
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             !done() && std::chrono::steady_clock::now() < end;) {
            std::vector<pollfd> fds;
            for (const Wait& w : waits_) {
                fds.push_back({w.fd, w.events, 0});
            }
            if (::poll(fds.data(), fds.size(), 100) <= 0) {
                continue;
            }
            // Taken out before they run: they may wait again, or forget.
            std::vector<std::function<void()>> due;
            for (std::size_t i = fds.size(); i-- > 0;) {
                if (fds[i].revents != 0) {
                    due.push_back(std::move(waits_[i].ready));
                    waits_.erase(waits_.begin() + static_cast<std::ptrdiff_t>(i));
                }
            }
            for (auto& ready : due) {
                ready();
            }
        }
        return done();
    }
    [[nodiscard]] bool watching() const { return !waits_.empty(); }

  private:
    struct Wait {
        int fd;
        short events;
        std::function<void()> ready;
    };
    std::vector<Wait> waits_;
    std::unique_ptr<State> state_;
};

// The look-up that never blocks its loop, as the steps before it leave the
// database: its answer, an error while the database is down, and a new
// session once it is back, or once the one it had was ended while idle.
TEST(PostgresStore, LooksUpWithoutBlockingAndRecovers) {
    const std::string database = cluster().freshDatabase();
    auto store = openPostgresStore(cluster().url(database));
    ASSERT_TRUE(store.ok()) << store.error().describe();
    const Sender learner{"known", "受講者", "l@example.jp"};
    ASSERT_TRUE((*store)->addHistory(
        learner, true, {"NET-101", "2024/01/02 03:04:05", "", 90, 60, 100, "record"}));
    // Through the counting store, as the server asks, which counts the
    // failures it forwards.
    CountingStore counting(**store);
    PollLoop loop;
    const auto lookUp = [&](const char* hash, const char* testId) {
        std::optional<std::string> seen;
        const bool taken = counting.findLearnerCourse(
            loop, hash, testId, [&](Result<std::optional<LearnerCourse>> found) {
                seen = !found ? "error"
                       : !found->has_value()
                           ? "unknown"
                           : (*found)->learner.name + " " + (*found)->lastUpdate.value_or("-");
            });
        EXPECT_TRUE(taken);
        loop.runUntil([&] { return seen.has_value(); });
        return seen.value_or("no answer");
    };
    const auto endSessions = [&] {
        ASSERT_NE(cluster().sql(database,
                                "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                "WHERE datname = current_database() AND pid <> pg_backend_pid()"),
                  "0");
        EXPECT_TRUE(loop.runUntil([&] { return !loop.watching(); })) << "the end went unnoticed";
    };
    struct Case {
        const char* name;
        std::function<void()> before;
        const char* hash;
        const char* testId;
        const char* expected;
    };
    const Case cases[] = {
        {"a version", [] {}, "known", "NET-101", "受講者 2024/01/02 03:04:05"},
        {"no version", [] {}, "known", "NET-999", "受講者 -"},
        {"an unknown learner", [] {}, "other", "NET-101", "unknown"},
        {"the database stopped", [] { PostgresCluster::shared().stop(); }, "known", "NET-101",
         "error"},
        {"still down", [] {}, "known", "NET-101", "error"},
        {"back", [] { ASSERT_TRUE(PostgresCluster::shared().start()); }, "known", "NET-101",
         "受講者 2024/01/02 03:04:05"},
        {"the session ended while idle", endSessions, "known", "NET-101",
         "受講者 2024/01/02 03:04:05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        EXPECT_EQ(lookUp(c.hash, c.testId), c.expected);
    }
    protocol::MetricsText text;
    counting.writeMetrics(text);
    EXPECT_NE(text.text().find("tovalo_store_errors_total{operation=\"findLearnerCourse\"} 2\n"),
              std::string::npos)
        << text.text();
}

Result<std::int64_t> idOf(const auto& written) {
    if (!written) {
        return written.error();
    }
    return written->id;
}

// A version of `course` whose question file is `content`, replacing none.
Result<std::int64_t> publish(Store& store, const std::string& course, const std::string& content) {
    const StoredFile qdf{sha256Hex(content), content};
    CourseVersion version;
    version.vendor = "v";
    version.course = course;
    version.dateLine = "2024/04/01";
    version.qdfHash = qdf.hash;
    return idOf(store.publishCourse(version, {qdf}, 0));
}

// Two servers write at once what the store orders by id: the first draws its
// id and then lingers before it commits, while the second goes ahead. The
// one committed last must hold the higher id, or it would not be current
// (a history, a course) or a server that had read the highest id would
// never learn of it (latestCourseVersionId).
TEST(PostgresStore, WritesOfTwoServersCommitInTheOrderOfTheirIds) {
    const Sender learner{"hash", "受講者", "l@example.jp"};
    const auto upload = [&](Store& store) {
        const HistoryUpload sent{"NET-101", "2024/01/01 00:00:00", "", 90, 60, 100, "record"};
        return idOf(store.addHistory(learner, true, sent));
    };
    struct Case {
        const char* name;
        const char* table;  // where the first server's row lingers
        std::function<void(Store&)> before;
        std::function<Result<std::int64_t>(Store&, bool first)> write;
        // What each server takes as current once both are done.
        std::function<Result<std::int64_t>(Store&)> current;
        bool secondWins;
        std::size_t learners;
    };
    const auto currentHistory = [&](Store& store) -> Result<std::int64_t> {
        const auto found = store.findLearner(learner.serialHash);
        if (!found || !found->has_value()) {
            return Error{"no learner", {}, 0};
        }
        const auto version = store.currentHistory((*found)->id, "NET-101");
        return version && version->has_value() ? Result<std::int64_t>((*version)->id)
                                               : Error{"no history", {}, 0};
    };
    const Case cases[] = {
        {"uploads of a learner that both servers register", "histories", [](Store&) {},
         [&](Store& store, bool) { return upload(store); }, currentHistory, true, 1},
        {"uploads of a known learner", "histories",
         [&](Store& store) { ASSERT_TRUE(store.addLearner(learner).ok()); },
         [&](Store& store, bool) { return upload(store); }, currentHistory, true, 1},
        {"publishes of two courses", "course_versions", [](Store&) {},
         [](Store& store, bool first) {
             return publish(store, first ? "A.qdf" : "B.qdf", first ? "a" : "b");
         },
         [](Store& store) { return store.latestCourseVersionId(); }, true, 0},
        {"publishes of one course replacing the same version", "course_versions", [](Store&) {},
         [](Store& store, bool first) { return publish(store, "C.qdf", first ? "a" : "b"); },
         [](Store& store) -> Result<std::int64_t> {
             const auto current = store.currentCourse("C.qdf");
             return current && current->has_value() ? Result<std::int64_t>((*current)->id)
                                                    : Error{"no course", {}, 0};
         },
         false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string database = cluster().freshDatabase();
        auto second = openPostgresStore(cluster().url(database));
        ASSERT_TRUE(second.ok()) << second.error().describe();
        ASSERT_TRUE(cluster().sql(database, std::string(R"(
CREATE FUNCTION linger() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF current_setting('application_name') = 'first' THEN PERFORM pg_sleep(0.5); END IF;
    RETURN NULL;
END $$;
CREATE TRIGGER linger AFTER INSERT ON )") + c.table +
                                                " FOR EACH ROW EXECUTE FUNCTION linger()"))
            << cluster().failure();
        auto first = openPostgresStore(cluster().url(database, "&application_name=first"));
        ASSERT_TRUE(first.ok()) << first.error().describe();
        c.before(**second);

        Result<std::int64_t> firstId = Error{};
        std::thread lingering([&] { firstId = c.write(**first, true); });
        for (int waited = 0; waited < 1000 && cluster().sql(database,
                                                            "SELECT count(*) FROM pg_stat_activity "
                                                            "WHERE application_name = 'first' "
                                                            "AND wait_event = 'PgSleep'") != "1";
             ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const Result<std::int64_t> secondId = c.write(**second, false);
        lingering.join();

        ASSERT_TRUE(firstId.ok()) << firstId.error().describe();
        ASSERT_EQ(secondId.ok(), c.secondWins)
            << (secondId.ok() ? "" : secondId.error().describe());
        if (!c.secondWins) {
            EXPECT_TRUE(refusedAsStalePublish(secondId.error())) << secondId.error().describe();
        }
        const std::string byId = "SELECT string_agg(id::text, ',' ORDER BY id) FROM ";
        EXPECT_EQ(cluster().sql(database, byId + c.table),
                  cluster().sql(database,
                                "SELECT string_agg(id::text, ',' ORDER BY "
                                "pg_xact_commit_timestamp(xmin)) FROM " +
                                    std::string(c.table)));
        const std::int64_t last = c.secondWins ? std::max(*firstId, *secondId) : *firstId;
        for (Store* store : {first->get(), second->get()}) {
            const auto current = c.current(*store);
            ASSERT_TRUE(current.ok()) << current.error().describe();
            EXPECT_EQ(*current, last);
        }
        EXPECT_EQ((*second)->learners()->size(), c.learners);
    }
}

}  // namespace

}  // namespace tovalo::server::store::testing
