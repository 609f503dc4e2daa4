#include "store_conformance.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <thread>
#include <vector>

namespace tovalo::server::store {

// Short forms for failure messages: a record may be a megabyte.
void PrintTo(const Learner& l, std::ostream* out) {
    *out << "learner " << l.id << " " << l.serialHash << " " << l.name << " " << l.email
         << (l.disabled ? " disabled " : " ") << l.createdAt;
}
void PrintTo(const HistoryVersion& v, std::ostream* out) {
    *out << "version " << v.id << " of learner " << v.learnerId << " at " << v.receivedAt << ": "
         << v.upload.testId << " " << v.upload.lastUpdate << " " << v.upload.sentOn << " "
         << v.upload.bestRate << "/" << v.upload.averageRate << "/" << v.upload.questionCount
         << ", " << v.upload.record.size() << " bytes of record";
}

namespace testing {

namespace {

Sender sender(int n) {
    return Sender{"hash" + std::to_string(n), "受講者 " + std::to_string(n),
                  "learner" + std::to_string(n) + "@example.jp"};
}

HistoryUpload upload(std::string testId, std::string lastUpdate, std::string record = "rec") {
    HistoryUpload u;
    u.testId = std::move(testId);
    u.lastUpdate = std::move(lastUpdate);
    u.sentOn = "2024/05/01";
    u.bestRate = 91;
    u.averageRate = 64;
    u.questionCount = 120;
    u.record = std::move(record);
    return u;
}

std::int64_t learnerId(Store& store, int n) {
    const auto found = store.findLearner(sender(n).serialHash);
    EXPECT_TRUE(found.ok() && found->has_value()) << "learner " << n;
    return found.ok() && found->has_value() ? (*found)->id : -1;
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

std::string kindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param.name;
}

void PrintTo(const StoreKind& kind, std::ostream* out) {
    *out << kind.name;
}

void StoreConformance::SetUp() {
    tree_.dir("store");
    reopen();
}

void StoreConformance::reopen() {
    store_.reset();
    auto opened = GetParam().open(tree_.path("store"));
    ASSERT_TRUE(opened.ok()) << opened.error().describe();
    store_ = std::move(*opened);
}

TEST_P(StoreConformance, LearnersAreAddedFoundDisabledAndUpdated) {
    Store& store = *store_;
    EXPECT_FALSE(store.findLearner("hash1")->has_value());

    const auto first = store.addLearner(sender(1));
    const auto second = store.addLearner(sender(2));
    ASSERT_TRUE(first.ok()) << first.error().describe();
    ASSERT_TRUE(second.ok()) << second.error().describe();
    EXPECT_NE(first->id, second->id);
    EXPECT_EQ(first->name, "受講者 1");
    EXPECT_FALSE(first->disabled);

    // A second registration of a hash changes nothing.
    EXPECT_FALSE(store.addLearner(Sender{"hash1", "other", "other@example.jp"}).ok());
    EXPECT_EQ((*store.findLearner("hash1"))->name, "受講者 1");

    EXPECT_TRUE(store.setLearnerDisabled("hash1", true).ok());
    EXPECT_FALSE(store.setLearnerDisabled("nobody", true).ok());
    EXPECT_TRUE(store.updateLearnerContact(second->id, "新しい 名前", "new@example.jp").ok());
    EXPECT_FALSE(store.updateLearnerContact(second->id + first->id + 100, "x", "y").ok());

    Learner disabled = *first;
    disabled.disabled = true;
    Learner renamed = *second;
    renamed.name = "新しい 名前";
    renamed.email = "new@example.jp";
    EXPECT_EQ(*store.learners(), (std::vector<Learner>{disabled, renamed}));
    EXPECT_EQ(*store.findLearner("hash2"), renamed);

    EXPECT_TRUE(store.setLearnerDisabled("hash1", false).ok());
    EXPECT_FALSE((*store.findLearner("hash1"))->disabled);
}

// Every upload stays; the current copy is the one committed last, even when
// its date is older; one course's uploads never show in another's.
TEST_P(StoreConformance, EveryVersionIsKeptAndTheLastCommittedIsCurrent) {
    struct Step {
        int learner;
        const char* testId;
        const char* lastUpdate;
    };
    const Step steps[] = {
        {1, "NET-101", "2024/01/10 10:00:00"}, {1, "SEC-201", "2024/01/11 09:00:00"},
        {2, "NET-101", "2024/01/12 08:00:00"}, {1, "NET-101", "2023/12/31 23:59:59"},
        {1, "NET-101", "2024/02/01 12:00:00"}, {2, "DB-301", "2024/02/02 12:00:00"},
        {2, "NET-101", "2023/11/30 07:00:00"},
    };
    std::map<std::pair<int, std::string>, std::vector<HistoryVersion>> expected;
    std::int64_t lastId = 0;
    for (const Step& step : steps) {
        const auto added = store_->addHistory(
            sender(step.learner), true,
            upload(step.testId, step.lastUpdate, std::string("record of ") + step.lastUpdate));
        ASSERT_TRUE(added.ok()) << added.error().describe();
        EXPECT_GT(added->id, lastId);
        lastId = added->id;
        expected[{step.learner, step.testId}].push_back(*added);
    }

    for (const int learner : {1, 2}) {
        const std::int64_t id = learnerId(*store_, learner);
        std::vector<HistoryVersion> everyCourse;
        for (const char* testId : {"DB-301", "NET-101", "SEC-201", "NONE-000"}) {
            SCOPED_TRACE(std::to_string(learner) + " " + testId);
            const std::vector<HistoryVersion>& want = expected[{learner, testId}];
            EXPECT_EQ(*store_->historyVersions(id, testId), want);
            EXPECT_EQ(*store_->currentHistory(id, testId),
                      want.empty() ? std::nullopt : std::optional(want.back()));
            everyCourse.insert(everyCourse.end(), want.begin(), want.end());
        }
        EXPECT_EQ(*store_->historyVersions(id, ""), everyCourse);
    }
}

TEST_P(StoreConformance, UploadsCarryTheSendersNameAndEmail) {
    ASSERT_TRUE(store_->addHistory(sender(1), true, upload("NET-101", "2024/01/01 00:00:00")).ok());
    const Sender moved{"hash1", "改姓 後", "moved@example.jp"};
    ASSERT_TRUE(store_->addHistory(moved, false, upload("NET-101", "2024/01/02 00:00:00")).ok());
    const auto learner = store_->findLearner("hash1");
    ASSERT_TRUE(learner.ok() && learner->has_value());
    EXPECT_EQ((*learner)->name, moved.name);
    EXPECT_EQ((*learner)->email, moved.email);
    EXPECT_EQ(store_->learners()->size(), 1u);
}

// A refused upload leaves no trace: no learner, no version, no new contact.
TEST_P(StoreConformance, RefusedUploadsStoreNothing) {
    struct Case {
        const char* name;
        bool registered;
        bool disabled;
        bool createLearner;
        bool (*refusal)(const Error&);
    };
    const Case cases[] = {
        {"unknown sender, registration closed", false, false, false, refusedAsUnknownLearner},
        {"disabled learner, registration open", true, true, true, refusedAsDisabledLearner},
        {"disabled learner, registration closed", true, true, false, refusedAsDisabledLearner},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Sender who = sender(++n);
        if (c.registered) {
            ASSERT_TRUE(store_->addLearner(who).ok());
            ASSERT_TRUE(store_->setLearnerDisabled(who.serialHash, c.disabled).ok());
        }
        const auto before = store_->findLearner(who.serialHash);
        ASSERT_TRUE(before.ok());

        const Sender sent{who.serialHash, "別の 名前", "other@example.jp"};
        const auto refused =
            store_->addHistory(sent, c.createLearner, upload("NET-101", "2024/03/01 00:00:00"));
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(c.refusal(refused.error())) << refused.error().describe();

        EXPECT_EQ(*store_->findLearner(who.serialHash), *before);
        if (before->has_value()) {
            EXPECT_TRUE(store_->historyVersions((*before)->id, "")->empty());
        }
    }
    EXPECT_EQ(store_->learners()->size(), 2u);
}

// Empty texts stay empty, not missing.
TEST_P(StoreConformance, RecordBytesComeBackExactly) {
    std::string everyByte;
    while (everyByte.size() < (1u << 20)) {
        for (int b = 0; b < 256; ++b) {
            everyByte.push_back(static_cast<char>((b * 7 + everyByte.size() / 256) & 0xFF));
        }
    }
    const std::pair<const char*, std::string> records[] = {
        {"CP932 text", "\x83\x6c\x83\x62\x83\x67\x83\x8f\x81\x5b\x83\x4e\r\n\x8a\xee\x91\x62"},
        {"NUL bytes", std::string("a\0b\0\0c\0", 7)},
        {"empty", ""},
        {"1 MiB of every byte value", everyByte},
    };
    for (const auto& [name, record] : records) {
        SCOPED_TRACE(name);
        HistoryUpload sent = upload(name, "2024/01/01 00:00:00", record);
        sent.sentOn = "";
        const auto added = store_->addHistory(Sender{"hash0", "", ""}, true, sent);
        ASSERT_TRUE(added.ok()) << added.error().describe();
        EXPECT_EQ(added->upload, sent);
        EXPECT_EQ(*store_->currentHistory(added->learnerId, name), *added);
    }
    EXPECT_EQ((*store_->findLearner("hash0"))->name, "");
}

// The store's times are UTC whatever zone the server runs in.
TEST_P(StoreConformance, TimesAreUtc) {
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone != nullptr ? zone : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    const std::string before = utcNow();
    const auto added = store_->addHistory(sender(1), true, upload("NET-101", "x"));
    const std::string after = utcNow();
    zone != nullptr ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
    tzset();

    ASSERT_TRUE(added.ok());
    const std::regex shape(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}Z)");
    for (const std::string& time :
         {added->receivedAt, (*store_->findLearner("hash1"))->createdAt}) {
        EXPECT_TRUE(std::regex_match(time, shape)) << time;
        EXPECT_LE(before, time);
        EXPECT_LE(time, after);
    }
}

TEST_P(StoreConformance, ConcurrentUploadsLoseNothing) {
    constexpr int kWriters = 8;
    constexpr int kEach = 15;
    std::mutex mutex;
    std::vector<HistoryVersion> added;
    std::atomic<int> failures = 0;
    std::atomic<bool> writing = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < kWriters; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                // Several threads register the same new learner at once.
                const auto version = store_->addHistory(
                    sender(t % 3), true,
                    upload(t % 2 == 0 ? "NET-101" : "SEC-201", "2024/01/01 00:00:00",
                           std::to_string(t) + "/" + std::to_string(i)));
                const std::lock_guard lock(mutex);
                version.ok() ? added.push_back(*version) : void(++failures);
            }
        });
    }
    std::thread reader([&] {
        while (writing) {
            if (!store_->currentHistory(1, "NET-101").ok() || !store_->learners().ok()) {
                ++failures;
            }
        }
    });
    for (std::thread& t : threads) {
        t.join();
    }
    writing = false;
    reader.join();

    EXPECT_EQ(failures, 0);
    ASSERT_EQ(added.size(), static_cast<std::size_t>(kWriters * kEach));
    std::set<std::int64_t> ids;
    std::set<std::string> records;
    for (const HistoryVersion& v : added) {
        ids.insert(v.id);
        records.insert(v.upload.record);
    }
    EXPECT_EQ(ids.size(), added.size());
    EXPECT_EQ(records.size(), added.size());
    EXPECT_EQ(store_->learners()->size(), 3u);

    // Each course holds its versions in the order of their ids, and the
    // last of them is current.
    std::set<std::int64_t> stored;
    for (int n = 0; n < 3; ++n) {
        const std::int64_t id = learnerId(*store_, n);
        for (const char* testId : {"NET-101", "SEC-201"}) {
            const auto versions = store_->historyVersions(id, testId);
            ASSERT_TRUE(versions.ok() && !versions->empty());
            for (std::size_t i = 0; i < versions->size(); ++i) {
                EXPECT_TRUE(i == 0 || (*versions)[i - 1].id < (*versions)[i].id);
                stored.insert((*versions)[i].id);
            }
            EXPECT_EQ(*store_->currentHistory(id, testId), versions->back());
        }
    }
    EXPECT_EQ(stored, ids);
}

// The copy holds every version committed before it began, and nothing but
// the copy appears in its folder.
TEST_P(StoreConformance, BackupTakenWhileWritersRunHoldsEveryEarlierCommit) {
    std::mutex mutex;
    std::vector<HistoryVersion> committed;
    std::atomic<bool> writing = true;
    std::vector<std::thread> writers;
    for (int t = 0; t < 3; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; writing; ++i) {
                const auto v =
                    store_->addHistory(sender(t), true,
                                       upload("NET-101", "2024/01/01 00:00:00",
                                              std::to_string(t) + ":" + std::to_string(i)));
                if (v.ok()) {
                    const std::lock_guard lock(mutex);
                    committed.push_back(*v);
                }
            }
        });
    }
    auto committedSoFar = [&] {
        const std::lock_guard lock(mutex);
        return committed;
    };
    while (committedSoFar().size() < 20) {
        std::this_thread::yield();
    }
    const std::vector<HistoryVersion> before = committedSoFar();
    tree_.dir("backup");
    const std::string out = tree_.path("backup/copy.db");
    const Status backedUp = store_->backup(out);
    writing = false;
    for (std::thread& t : writers) {
        t.join();
    }
    ASSERT_TRUE(backedUp.ok()) << backedUp.error().describe();

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tree_.path("backup"))) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"copy.db"});

    auto copy = GetParam().openBackup(out);
    ASSERT_TRUE(copy.ok()) << copy.error().describe();
    std::map<std::int64_t, HistoryVersion> inCopy;
    for (int t = 0; t < 3; ++t) {
        const auto learner = (*copy)->findLearner(sender(t).serialHash);
        ASSERT_TRUE(learner.ok());
        if (!learner->has_value()) {
            continue;
        }
        const auto versions = (*copy)->historyVersions((*learner)->id, "NET-101");
        ASSERT_TRUE(versions.ok());
        for (const HistoryVersion& v : *versions) {
            inCopy.emplace(v.id, v);
        }
    }
    for (const HistoryVersion& v : before) {
        ASSERT_TRUE(inCopy.contains(v.id)) << "version " << v.id << " missing from the copy";
        EXPECT_EQ(inCopy.at(v.id), v);
    }
}

TEST_P(StoreConformance, ReopeningKeepsEverything) {
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(store_->addHistory(sender(n), true, upload("NET-101", "2024/01/01")).ok());
        ASSERT_TRUE(store_->addHistory(sender(n), true, upload("SEC-201", "2024/01/02")).ok());
    }
    ASSERT_TRUE(store_->setLearnerDisabled("hash2", true).ok());
    const auto learnersBefore = store_->learners();
    ASSERT_TRUE(learnersBefore.ok());
    std::vector<std::vector<HistoryVersion>> versionsBefore;
    for (const Learner& l : *learnersBefore) {
        versionsBefore.push_back(*store_->historyVersions(l.id, ""));
    }
    const int schema = *store_->schemaVersion();

    reopen();

    EXPECT_EQ(*store_->schemaVersion(), schema);
    ASSERT_EQ(*store_->learners(), *learnersBefore);
    std::int64_t highest = 0;
    for (std::size_t i = 0; i < learnersBefore->size(); ++i) {
        EXPECT_EQ(*store_->historyVersions((*learnersBefore)[i].id, ""), versionsBefore[i]);
        highest = std::max(highest, versionsBefore[i].back().id);
    }
    // Ids go on growing after a restart.
    const auto next = store_->addHistory(sender(1), true, upload("NET-101", "2024/01/03"));
    ASSERT_TRUE(next.ok());
    EXPECT_GT(next->id, highest);
}

}  // namespace testing

}  // namespace tovalo::server::store
