#include "store_conformance.h"

#include <algorithm>
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

#include "core/common/sha256.h"

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
void PrintTo(const CourseVersion& v, std::ostream* out) {
    *out << "course version " << v.id << " " << v.vendor << "/" << v.course << " [" << v.dateLine
         << "] qdf " << v.qdfHash.substr(0, 8) << " ini " << v.iniHash.substr(0, 8) << " list "
         << v.figureListVersion << " figures " << v.figures.size() << " restores "
         << v.withdrawnFrom << " at " << v.publishedAt;
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

StoredFile file(std::string bytes) {
    return StoredFile{sha256Hex(bytes), std::move(bytes)};
}

// A version of `course` made of the given files; the first is the question
// file, the second (when any) the settings file, the rest its figures.
CourseVersion courseVersion(std::string vendor, std::string course,
                            const std::vector<StoredFile>& files, std::int64_t withdrawnFrom = 0) {
    CourseVersion v;
    v.vendor = std::move(vendor);
    v.course = std::move(course);
    v.dateLine = "2024/04/01 第" + std::to_string(files.size()) + "版";
    v.qdfHash = files.at(0).hash;
    v.iniHash = files.size() > 1 ? files[1].hash : "";
    v.figureListVersion = static_cast<std::int64_t>(files.size()) * 10;
    for (std::size_t i = 2; i < files.size(); ++i) {
        v.figures.push_back(PublishedFigure{"fig" + std::to_string(i) + ".bmp", files[i].hash,
                                            static_cast<std::int64_t>(i)});
    }
    v.withdrawnFrom = withdrawnFrom;
    return v;
}

// What publishCourse should hand back: the version with its id and time.
CourseVersion asPublished(CourseVersion sent, const Result<CourseVersion>& published) {
    if (published.ok()) {
        sent.id = published->id;
        sent.publishedAt = published->publishedAt;
    }
    return sent;
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

std::vector<Migration> releaseWith(std::vector<Migration> later) {
    std::vector<Migration> steps(migrations().begin(), migrations().end());
    steps.insert(steps.end(), later.begin(), later.end());
    return steps;
}

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
            const auto found = store_->findLearnerCourse(sender(learner).serialHash, testId);
            ASSERT_TRUE(found.ok() && found->has_value());
            EXPECT_EQ((*found)->learner.id, id);
            EXPECT_EQ((*found)->lastUpdate,
                      want.empty() ? std::nullopt : std::optional(want.back().upload.lastUpdate));
            everyCourse.insert(everyCourse.end(), want.begin(), want.end());
        }
        EXPECT_EQ(*store_->historyVersions(id, ""), everyCourse);
    }
    EXPECT_EQ(*store_->findLearnerCourse(sender(3).serialHash, "NET-101"), std::nullopt);
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
    const StoredFile qdf = file("qdf");
    const auto published = store_->publishCourse(courseVersion("v", "C.qdf", {qdf}), {qdf}, 0);
    const auto item = store_->addInboxItem(InboxItem{});
    const auto answer = store_->answerInboxItem(item.ok() ? item->receipt : 0, "回答");
    const auto news = store_->addNews("件名", "本文");
    const std::string after = utcNow();
    zone != nullptr ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
    tzset();

    ASSERT_TRUE(added.ok() && published.ok() && item.ok() && answer.ok() && news.ok());
    const std::regex shape(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}Z)");
    for (const std::string& time :
         {added->receivedAt, (*store_->findLearner("hash1"))->createdAt, published->publishedAt,
          item->receivedAt, answer->answeredAt, news->postedAt}) {
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

// Names come back in the order of their bytes, as clients and the staff's
// lists have always had them, whatever order the database's own collation
// would give.
TEST_P(StoreConformance, NamesAreOrderedByTheirBytes) {
    const std::vector<std::string> inByteOrder = {"B-2", "_c-3", "a-1", "\xC3\x84-4"};
    for (const int i : {2, 0, 3, 1}) {
        const std::string& name = inByteOrder[i];
        ASSERT_TRUE(store_->addHistory(sender(1), true, upload(name, "2024/01/01 00:00:00")).ok());
        const StoredFile qdf = file(name);
        ASSERT_TRUE(store_->publishCourse(courseVersion(name, name, {qdf}), {qdf}, 0).ok());
    }
    std::vector<std::string> testIds;
    std::vector<std::string> vendors;
    std::vector<std::string> courses;
    const auto histories = store_->historyVersions(learnerId(*store_, 1), "");
    const auto current = store_->currentCourses();
    const auto every = store_->courseVersions("");
    ASSERT_TRUE(histories.ok() && current.ok() && every.ok());
    for (const HistoryVersion& v : *histories) {
        testIds.push_back(v.upload.testId);
    }
    for (const CourseVersion& v : *current) {
        vendors.push_back(v.vendor);
    }
    for (const CourseVersion& v : *every) {
        courses.push_back(v.course);
    }
    EXPECT_EQ(testIds, inByteOrder);
    EXPECT_EQ(vendors, inByteOrder);
    EXPECT_EQ(courses, inByteOrder);
}

// A publish names the version it replaces, so a staff member working from
// an old copy of a course cannot overwrite what another published meanwhile.
TEST_P(StoreConformance, CourseVersionsArePublishedInTurnAndTheLastIsCurrent) {
    constexpr int kNew = -1;
    struct Step {
        const char* vendor;
        const char* course;
        int replacing;  // the step whose version is replaced, or kNew
        bool wins;
        int restores = kNew;  // the step whose content is published again
    };
    const Step steps[] = {
        {"beta", "ZZ-9.qdf", kNew, true},  {"alpha", "MM-5.qdf", kNew, true},
        {"beta", "AA-1.qdf", kNew, true},  {"alpha", "MM-5.qdf", 1, true},
        {"alpha", "MM-5.qdf", 1, false},    // replaces what is no longer current
        {"beta", "ZZ-9.qdf", kNew, false},  // the course exists
        {"beta", "AA-1.qdf", 0, false},     // another course's version
        {"beta", "NEW-0.qdf", 2, false},    // the course does not exist
        {"alpha", "MM-5.qdf", 3, true, 1},  // withdraws step 3: step 1 again
    };
    const StoredFile ini = file("[INI]\r\n1\r\n");
    std::vector<CourseVersion> published(std::size(steps));
    std::vector<StoredFile> refusedFiles;
    std::int64_t lastId = 0;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        const StoredFile qdf = file("question file of step " + std::to_string(i));
        const StoredFile figure = file(std::string("BM\0\0figure ", 11) + std::to_string(i));
        const bool restoring = step.restores != kNew;
        // Restoring brings no file: the store holds the earlier content.
        const std::vector<StoredFile> files =
            restoring ? std::vector<StoredFile>{} : std::vector{qdf, ini, figure};
        CourseVersion sent =
            restoring ? published[step.restores] : courseVersion(step.vendor, step.course, files);
        sent.withdrawnFrom = restoring ? sent.id : 0;
        const std::int64_t replacing = step.replacing == kNew ? 0 : published[step.replacing].id;
        const auto result = store_->publishCourse(sent, files, replacing);
        ASSERT_EQ(result.ok(), step.wins) << (result.ok() ? "" : result.error().describe());
        if (!step.wins) {
            EXPECT_TRUE(refusedAsStalePublish(result.error())) << result.error().describe();
            refusedFiles.push_back(qdf);
            continue;
        }
        EXPECT_GT(result->id, lastId);
        lastId = result->id;
        EXPECT_EQ(*result, asPublished(sent, result));
        published[i] = *result;
    }

    for (const bool reopened : {false, true}) {
        SCOPED_TRACE(reopened ? "after reopening" : "before reopening");
        if (reopened) {
            reopen();
        }
        EXPECT_EQ(*store_->latestCourseVersionId(), published[8].id);
        EXPECT_EQ(*store_->currentCourse("MM-5.qdf"), published[8]);
        EXPECT_EQ(*store_->currentCourse("NEW-0.qdf"), std::nullopt);
        EXPECT_EQ(*store_->currentCourses(),
                  (std::vector{published[8], published[2], published[0]}));
        EXPECT_EQ(*store_->courseVersions("MM-5.qdf"),
                  (std::vector{published[1], published[3], published[8]}));
        EXPECT_EQ(
            *store_->courseVersions(""),
            (std::vector{published[2], published[1], published[3], published[8], published[0]}));
        for (const StoredFile& refused : refusedFiles) {
            EXPECT_EQ(*store_->storedFile(refused.hash), std::nullopt);
        }
    }
}

// Files are kept by content: a version may name a file that an earlier one
// brought, and every byte comes back as it was sent.
TEST_P(StoreConformance, PublishedFilesAreKeptOnceByContentAndComeBackExactly) {
    std::string bitmap = std::string("BM\x36\x10\0\0\0\0\0\0\x36\0\0\0", 14);
    for (int b = 0; b < 4096; ++b) {
        bitmap.push_back(static_cast<char>(b * 31));
    }
    const StoredFile qdfA = file(std::string("[FILE_INFO]\r\n\x83\x65\x83\x58\x83\x67\0\r\n", 20));
    const StoredFile qdfB = file("\x8a\xee\x91\x62\r\n");
    const StoredFile ini = file("[INI]\r\n2\r\nfig2.bmp\r\n");
    const StoredFile shared = file(bitmap);
    const StoredFile jpeg = file(std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
    const StoredFile empty = file("");

    const CourseVersion a = courseVersion("nexa", "A.qdf", {qdfA, ini, shared, jpeg, empty});
    const CourseVersion b = courseVersion("nexa", "B.qdf", {qdfB, ini, shared});
    const auto first = store_->publishCourse(a, {qdfA, ini, shared, jpeg, empty}, 0);
    ASSERT_TRUE(first.ok()) << first.error().describe();
    // Only the file the store does not hold yet travels; one it holds may
    // come again.
    const auto second = store_->publishCourse(b, {qdfB}, 0);
    ASSERT_TRUE(second.ok()) << second.error().describe();
    const auto third = store_->publishCourse(a, {qdfA, shared}, first->id);
    ASSERT_TRUE(third.ok()) << third.error().describe();

    for (const bool reopened : {false, true}) {
        SCOPED_TRACE(reopened ? "after reopening" : "before reopening");
        if (reopened) {
            reopen();
        }
        EXPECT_EQ(*store_->currentCourse("B.qdf"), asPublished(b, second));
        EXPECT_EQ(*store_->currentCourse("A.qdf"), asPublished(a, third));
        for (const StoredFile& f : {qdfA, qdfB, ini, shared, jpeg, empty}) {
            const auto bytes = store_->storedFile(f.hash);
            ASSERT_TRUE(bytes.ok() && bytes->has_value()) << f.hash;
            EXPECT_TRUE(**bytes == f.bytes) << f.hash << ": " << (*bytes)->size() << " bytes";
        }
        EXPECT_EQ(*store_->storedFile(sha256Hex("never sent")), std::nullopt);
    }
}

TEST_P(StoreConformance, PublishThatCannotBeServedWholeStoresNothing) {
    const StoredFile qdf = file("qdf v1");
    const auto current = store_->publishCourse(courseVersion("v", "C.qdf", {qdf}), {qdf}, 0);
    ASSERT_TRUE(current.ok()) << current.error().describe();
    const auto other =
        store_->publishCourse(courseVersion("v", "D.qdf", {file("d")}), {file("d")}, 0);
    ASSERT_TRUE(other.ok()) << other.error().describe();

    const StoredFile brought = file("brought along");
    const StoredFile absent = file("never sent");
    struct Case {
        const char* name;
        CourseVersion version;
        std::vector<StoredFile> files;
    };
    CourseVersion restoresOther = courseVersion("v", "C.qdf", {qdf});
    restoresOther.withdrawnFrom = other->id;
    CourseVersion restoresNothing = courseVersion("v", "C.qdf", {qdf});
    restoresNothing.withdrawnFrom = other->id + 100;
    const Case cases[] = {
        {"question file not held", courseVersion("v", "C.qdf", {absent}), {brought}},
        {"settings file not held", courseVersion("v", "C.qdf", {qdf, absent}), {brought}},
        {"a figure not held",
         courseVersion("v", "C.qdf", {qdf, brought, brought, absent}),
         {brought}},
        {"bytes that are not the content of their hash",
         courseVersion("v", "C.qdf", {brought}),
         {StoredFile{brought.hash, "tampered"}}},
        {"restores another course's version", restoresOther, {brought}},
        {"restores a version that does not exist", restoresNothing, {brought}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto refused = store_->publishCourse(c.version, c.files, current->id);
        ASSERT_FALSE(refused.ok());
        EXPECT_FALSE(refusedAsStalePublish(refused.error())) << refused.error().describe();
        EXPECT_EQ(*store_->storedFile(brought.hash), std::nullopt);
        EXPECT_EQ(*store_->latestCourseVersionId(), other->id);
        EXPECT_EQ(*store_->currentCourse("C.qdf"), *current);
    }
}

TEST_P(StoreConformance, ConcurrentPublishesOfOneCourseHaveOneWinner) {
    constexpr int kPublishers = 6;
    std::int64_t replacing = 0;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::atomic<bool> go = false;
        std::atomic<int> stale = 0;
        std::vector<Result<CourseVersion>> results(kPublishers, Error{});
        std::vector<std::thread> threads;
        for (int t = 0; t < kPublishers; ++t) {
            threads.emplace_back([&, t] {
                const StoredFile qdf = file(std::to_string(round) + "/" + std::to_string(t));
                while (!go) {
                    std::this_thread::yield();
                }
                results[t] =
                    store_->publishCourse(courseVersion("v", "C.qdf", {qdf}), {qdf}, replacing);
                if (!results[t].ok() && refusedAsStalePublish(results[t].error())) {
                    ++stale;
                }
            });
        }
        go = true;
        for (std::thread& t : threads) {
            t.join();
        }
        std::vector<CourseVersion> winners;
        for (const auto& r : results) {
            if (r.ok()) {
                winners.push_back(*r);
            }
        }
        ASSERT_EQ(winners.size(), 1u);
        EXPECT_EQ(stale, kPublishers - 1);
        EXPECT_EQ(*store_->currentCourse("C.qdf"), winners[0]);
        EXPECT_EQ(store_->courseVersions("C.qdf")->size(), static_cast<std::size_t>(round + 1));
        replacing = winners[0].id;
    }
}

// Learners see the answered questions about the question they are on, the
// one answered last first; everything else waits for the staff.
TEST_P(StoreConformance, InboxKeepsItemsAndAnswersAndShowsAnsweredQuestions) {
    struct Posted {
        InboxKind kind;
        const char* testId;
        int quesNum;
    };
    const Posted posted[] = {
        {InboxKind::Question, "NET-101", 7},   // 0: answered first, and again last
        {InboxKind::Question, "NET-101", 7},   // 1: answered once, in between
        {InboxKind::Question, "NET-101", 7},   // 2: not answered
        {InboxKind::Question, "SEC-201", 7},   // 3: another course
        {InboxKind::Question, "NET-101", 8},   // 4: another question
        {InboxKind::Diagnosis, "NET-101", 7},  // 5: a diagnosis request
        {InboxKind::Question, "", 0},          // 6: about no question
    };
    const int answeredInTurn[] = {0, 3, 4, 5, 1, 6, 0};

    std::vector<InboxItem> expected;
    for (std::size_t i = 0; i < std::size(posted); ++i) {
        InboxItem item;
        item.kind = posted[i].kind;
        item.testId = posted[i].testId;
        item.quesNum = posted[i].quesNum;
        item.fields = {{"Name", "受講者 " + std::to_string(i)},
                       {"Q_TEXT", "質問\r\n" + std::to_string(i)},
                       {"Q_TEXT", ""},
                       {"Mail", ""}};
        item.answers = {InboxAnswer{1, "posted answers are not kept", "2000-01-01T00:00:00Z"}};
        const auto added = store_->addInboxItem(item);
        ASSERT_TRUE(added.ok()) << added.error().describe();
        item.answers.clear();
        item.receipt = added->receipt;
        item.receivedAt = added->receivedAt;
        EXPECT_EQ(*added, item);
        EXPECT_TRUE(expected.empty() || expected.back().receipt < item.receipt);
        expected.push_back(item);
    }
    for (const int i : answeredInTurn) {
        const auto answer = store_->answerInboxItem(
            expected[i].receipt, "回答 " + std::to_string(expected[i].answers.size()));
        ASSERT_TRUE(answer.ok()) << answer.error().describe();
        expected[i].answers.push_back(*answer);
    }
    const std::int64_t unknown = expected.back().receipt + 1;
    EXPECT_FALSE(store_->answerInboxItem(unknown, "誰にも届かない").ok());

    for (const bool reopened : {false, true}) {
        SCOPED_TRACE(reopened ? "after reopening" : "before reopening");
        if (reopened) {
            reopen();
        }
        EXPECT_EQ(*store_->inboxItems(), expected);
        for (const InboxItem& item : expected) {
            EXPECT_EQ(*store_->inboxItem(item.receipt), item);
        }
        EXPECT_EQ(*store_->inboxItem(unknown), std::nullopt);
        EXPECT_EQ(*store_->answeredQuestions("NET-101", 7),
                  (std::vector{expected[0], expected[1]}));
        EXPECT_EQ(*store_->answeredQuestions("SEC-201", 7), std::vector{expected[3]});
        EXPECT_TRUE(store_->answeredQuestions("NET-101", 9)->empty());
    }
}

TEST_P(StoreConformance, NewsComesNewestFirstUpToTheLimit) {
    std::vector<NewsItem> posted;
    for (int i = 0; i < 4; ++i) {
        const auto added = store_->addNews("お知らせ " + std::to_string(i),
                                           i == 2 ? "" : "本文\n" + std::to_string(i));
        ASSERT_TRUE(added.ok()) << added.error().describe();
        posted.insert(posted.begin(), *added);
    }
    for (const bool reopened : {false, true}) {
        if (reopened) {
            reopen();
        }
        for (const int limit : {-1, 0, 1, 3, 4, 10}) {
            SCOPED_TRACE(std::to_string(limit) + (reopened ? " after reopening" : ""));
            const auto shown = posted.begin() + std::clamp(limit, 0, 4);
            EXPECT_EQ(*store_->latestNews(limit), std::vector(posted.begin(), shown));
        }
    }
}

}  // namespace testing

}  // namespace tovalo::server::store

namespace tovalo::server::store::testing {

// What the staff console lists: learners found by a piece of their name or
// e-mail, a page at a time with the number found in all; each learner's
// current copy per course; how many learners keep each course.
TEST_P(StoreConformance, ConsoleFindsLearnersAndCountsTheirCourses) {
    const std::vector<Sender> people = {
        {"h1", "山田 太郎", "taro@example.jp"},   {"h2", "Yamada Hanako", "hana@Example.jp"},
        {"h3", "佐藤 次郎", "jiro@school.jp"},    {"h4", "100%_done", "pct@example.jp"},
        {"h5", "Sato Yamato", "sato@example.jp"},
    };
    for (const Sender& p : people) {
        ASSERT_TRUE(store_->addLearner(p).ok());
    }
    // learner index, course
    const std::pair<int, const char*> uploads[] = {
        {0, "NET-101"}, {0, "SEC-201"}, {0, "NET-101"}, {2, "NET-101"}, {4, "DB-301"}};
    std::map<int, HistoryVersion> last;
    for (const auto& [who, course] : uploads) {
        const Sender& p = people[who];
        const auto added = store_->addHistory(p, false, upload(course, "2024/05/01 10:00:00"));
        ASSERT_TRUE(added.ok()) << added.error().describe();
        last[who] = *added;
    }
    const auto ids = [&](const LearnerPage& page) {
        std::vector<std::string> names;
        for (const LearnerSummary& s : page.rows) {
            names.push_back(s.learner.name);
        }
        return names;
    };
    struct Search {
        const char* text;
        std::int64_t offset, limit;
        std::vector<std::string> names;
        std::int64_t total;
    };
    const Search searches[] = {
        {"", 0, 10, {"山田 太郎", "Yamada Hanako", "佐藤 次郎", "100%_done", "Sato Yamato"}, 5},
        {"", 1, 2, {"Yamada Hanako", "佐藤 次郎"}, 5},
        {"", 4, 2, {"Sato Yamato"}, 5},
        {"yama", 0, 10, {"Yamada Hanako", "Sato Yamato"}, 2},  // letters in any case
        {"山田", 0, 10, {"山田 太郎"}, 1},
        {"EXAMPLE.JP", 0, 1, {"山田 太郎"}, 4},  // e-mail too; the page is one row
        {"%", 0, 10, {"100%_done"}, 1},          // no pattern characters
        {"_", 0, 10, {"100%_done"}, 1},
        {"nobody", 0, 10, {}, 0},
    };
    for (const Search& s : searches) {
        SCOPED_TRACE(std::string("search \"") + s.text + "\" from " + std::to_string(s.offset));
        const auto page = store_->findLearners(s.text, s.offset, s.limit);
        ASSERT_TRUE(page.ok()) << page.error().describe();
        EXPECT_EQ(ids(*page), s.names);
        EXPECT_EQ(page->total, s.total);
    }
    const auto all = *store_->findLearners("", 0, 10);
    const std::pair<int, std::string> counted[] = {{2, last[0].receivedAt},
                                                   {0, ""},
                                                   {1, last[2].receivedAt},
                                                   {0, ""},
                                                   {1, last[4].receivedAt}};
    for (std::size_t i = 0; i < all.rows.size(); ++i) {
        EXPECT_EQ(all.rows[i].courses, counted[i].first) << all.rows[i].learner.name;
        EXPECT_EQ(all.rows[i].lastUpload, counted[i].second) << all.rows[i].learner.name;
    }
    EXPECT_EQ(*store_->learner(all.rows[2].learner.id), all.rows[2].learner);
    EXPECT_EQ(*store_->learner(all.rows[4].learner.id + 100), std::nullopt);

    // The second NET-101 upload is the current one; SEC-201 has one.
    const auto current = *store_->currentHistories(all.rows[0].learner.id);
    ASSERT_EQ(current.size(), 2u);
    EXPECT_EQ(current[0], last[0]);
    EXPECT_EQ(current[1].upload.testId, "SEC-201");
    EXPECT_TRUE(store_->currentHistories(all.rows[1].learner.id)->empty());
    EXPECT_EQ(*store_->learnersPerCourse(),
              (std::vector<CourseLearners>{{"DB-301", 1}, {"NET-101", 2}, {"SEC-201", 1}}));
}

// Staff accounts, done marks and removed notices survive reopening; a
// session epoch only grows.
TEST_P(StoreConformance, StaffAccountsDoneMarksAndRemovedNewsAreKept) {
    const auto hana = store_->addStaff("hanako", "$argon2id$v=19$m=65536,t=2,p=1$aa$bb");
    const auto ken = store_->addStaff("ken", "$argon2id$other");
    ASSERT_TRUE(hana.ok() && ken.ok());
    EXPECT_FALSE(store_->addStaff("hanako", "$argon2id$again").ok());
    EXPECT_EQ(hana->sessionEpoch, 0);
    EXPECT_EQ(*store_->endStaffSessions(hana->id), 1);
    EXPECT_EQ(*store_->endStaffSessions(hana->id), 2);
    EXPECT_FALSE(store_->endStaffSessions(ken->id + 100).ok());
    // A new password ends the sessions too; a removed account's id, the
    // last one handed out, is not handed out again.
    const auto sora = store_->addStaff("sora", "$argon2id$first");
    ASSERT_TRUE(sora.ok());
    EXPECT_TRUE(store_->setStaffPassword("sora", "$argon2id$second").ok());
    EXPECT_FALSE(store_->setStaffPassword("nobody", "$argon2id$x").ok());
    StaffAccount changed = *sora;
    changed.passwordHash = "$argon2id$second";
    changed.sessionEpoch = 1;
    EXPECT_EQ(*store_->staffAccount(sora->id), changed);
    EXPECT_TRUE(store_->removeStaff("sora").ok());
    EXPECT_FALSE(store_->removeStaff("sora").ok());
    EXPECT_EQ(*store_->staffAccount(sora->id), std::nullopt);
    const auto soraAgain = store_->addStaff("sora", "$argon2id$third");
    ASSERT_TRUE(soraAgain.ok());
    EXPECT_GT(soraAgain->id, sora->id);

    InboxItem item;
    item.testId = "NET-101";
    item.quesNum = 3;
    const auto open = store_->addInboxItem(item);
    const auto done = store_->addInboxItem(item);
    ASSERT_TRUE(open.ok() && done.ok());
    EXPECT_TRUE(store_->setInboxDone(done->receipt, true).ok());
    EXPECT_TRUE(store_->setInboxDone(open->receipt, true).ok());
    EXPECT_TRUE(store_->setInboxDone(open->receipt, false).ok());
    EXPECT_FALSE(store_->setInboxDone(done->receipt + 100, true).ok());

    const auto kept = store_->addNews("残す", "本文");
    const auto gone = store_->addNews("消す", "本文");
    ASSERT_TRUE(kept.ok() && gone.ok());
    EXPECT_TRUE(store_->removeNews(gone->id).ok());
    EXPECT_FALSE(store_->removeNews(gone->id).ok());

    reopen();
    StaffAccount signedOut = *hana;
    signedOut.sessionEpoch = 2;
    EXPECT_EQ(*store_->findStaff("hanako"), signedOut);
    EXPECT_EQ(*store_->staffAccount(ken->id), *ken);
    EXPECT_EQ(*store_->findStaff("nobody"), std::nullopt);
    EXPECT_EQ(*store_->staffAccounts(), (std::vector<StaffAccount>{signedOut, *ken, *soraAgain}));
    EXPECT_EQ((*store_->inboxItem(open->receipt))->doneAt, "");
    const std::string doneAt = (*store_->inboxItem(done->receipt))->doneAt;
    EXPECT_TRUE(std::regex_match(doneAt, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")))
        << doneAt;
    EXPECT_EQ(*store_->latestNews(10), std::vector{*kept});
}

}  // namespace tovalo::server::store::testing
