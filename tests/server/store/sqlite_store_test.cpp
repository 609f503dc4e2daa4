#include "server/store/sqlite/sqlite_store.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "store_conformance.h"

namespace tovalo::server::store::testing {

namespace {

StoreKind sqliteKind() {
    return StoreKind{
        "Sqlite",
        [](const std::string& dir) { return openSqliteStore(dir + "/tovalo.db"); },
        [](const std::string& path) { return openSqliteStore(path); },
    };
}

INSTANTIATE_TEST_SUITE_P(Sqlite, StoreConformance, ::testing::Values(sqliteKind()), kindName);

// What a plain SQLite reader finds in the file.
struct Inside {
    int version = -1;
    std::set<std::string> tables;
};

Inside inside(const std::string& path) {
    Inside found;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "PRAGMA user_version",
            [](void* out, int, char** values, char**) {
                static_cast<Inside*>(out)->version = std::atoi(values[0]);
                return 0;
            },
            &found, nullptr);
        sqlite3_exec(
            db, "SELECT name FROM sqlite_master WHERE type = 'table'",
            [](void* out, int, char** values, char**) {
                static_cast<Inside*>(out)->tables.insert(values[0]);
                return 0;
            },
            &found, nullptr);
    }
    sqlite3_close(db);
    return found;
}

const int kLatest = latestSchemaVersion();
const Migration kCourses{kLatest + 1, "courses", {"CREATE TABLE courses (id {serial})"}};
// Its first statement succeeds, its second cannot.
const Migration kBroken{
    kLatest + 2, "inbox", {"CREATE TABLE inbox (id {serial})", "CREATE TABLE inbox_read ("}};

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(SqliteStore, RefusesFilesItDidNotWriteAndLeavesThemAsTheyWere) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
        const char* reason;
    };
    const char* const notAStore = "履歴ストアのファイルではありません";
    const Case cases[] = {
        {"text",
         [](const std::string& path) { writeFile(path, "Name=a&Serial=b&Test_ID=NET-101\r\n"); },
         notAStore},
        {"SQLite header, then no database",
         [](const std::string& path) {
             writeFile(path, std::string("SQLite format 3\0", 16) + std::string(4080, 'x'));
         },
         notAStore},
        {"another program's SQLite database",
         [](const std::string& path) {
             sqlite3* db = nullptr;
             sqlite3_open(path.c_str(), &db);
             sqlite3_exec(db, "CREATE TABLE notes (text); INSERT INTO notes VALUES ('x')", nullptr,
                          nullptr, nullptr);
             sqlite3_close(db);
         },
         notAStore},
        {"store of a later release",
         [](const std::string& path) {
             ASSERT_TRUE(openSqliteStore(path, releaseWith({kCourses})).ok());
         },
         "新しい版"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempTree tree;
        const std::string path = tree.path("tovalo.db");
        c.make(path);
        const std::string bytes = tree.read("tovalo.db");
        ASSERT_FALSE(bytes.empty());

        const auto opened = openSqliteStore(path);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().file, path);
        EXPECT_NE(opened.error().describe().find(path), std::string::npos);
        EXPECT_NE(opened.error().message.find(c.reason), std::string::npos)
            << opened.error().message;
        EXPECT_TRUE(tree.read("tovalo.db") == bytes) << "the file was changed";
        EXPECT_EQ(filesIn(tree.path()), std::vector<std::string>{"tovalo.db"});
    }
}

TEST(SqliteStore, MissingOrEmptyFileBecomesAStoreOfTheLatestSchema) {
    for (const bool emptyFile : {false, true}) {
        SCOPED_TRACE(emptyFile ? "empty file" : "no file");
        const TempTree tree;
        const std::string path = tree.path("tovalo.db");
        if (emptyFile) {
            tree.file("tovalo.db", "");
        }
        auto store = openSqliteStore(path);
        ASSERT_TRUE(store.ok()) << store.error().describe();
        EXPECT_EQ(*(*store)->schemaVersion(), kLatest);
        EXPECT_TRUE((*store)->addLearner(Sender{"h", "n", "e"}).ok());
        store->reset();
        const Inside found = inside(path);
        EXPECT_EQ(found.version, kLatest);
        EXPECT_TRUE(found.tables.contains("learners") && found.tables.contains("histories"));
    }
}

// A later release appends steps; a step that fails leaves the file at the
// step before it, with what the earlier steps did.
TEST(SqliteStore, MigrationStepsRunInOrderEachInATransactionOfItsOwn) {
    const TempTree tree;
    const std::string path = tree.path("tovalo.db");
    ASSERT_TRUE(openSqliteStore(path).ok() &&
                (*openSqliteStore(path))->addLearner(Sender{"h", "n", "e"}).ok());

    const auto broken = openSqliteStore(path, releaseWith({kCourses, kBroken}));
    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(broken.error().file, path);
    const Inside found = inside(path);
    EXPECT_EQ(found.version, kLatest + 1);
    EXPECT_TRUE(found.tables.contains("courses"));
    EXPECT_FALSE(found.tables.contains("inbox"));

    auto later = openSqliteStore(path, releaseWith({kCourses}));
    ASSERT_TRUE(later.ok()) << later.error().describe();
    EXPECT_EQ(*(*later)->schemaVersion(), kLatest + 1);
    EXPECT_TRUE((*(*later)->findLearner("h")).has_value());
}

// A store the first release wrote is brought up to date on opening, with
// its learners and every version of their histories, and takes the newer
// services at once.
TEST(SqliteStore, StoreOfTheFirstSchemaMigratesKeepingLearnersAndHistories) {
    const TempTree tree;
    const std::string path = tree.path("tovalo.db");
    std::vector<Learner> learners;
    std::vector<HistoryVersion> histories;
    {
        auto first = openSqliteStore(path, migrations().first(1));
        ASSERT_TRUE(first.ok()) << first.error().describe();
        Store& store = **first;
        for (const char* who : {"h1", "h2"}) {
            for (const char* testId : {"NET-101", "SEC-201", "NET-101"}) {
                HistoryUpload upload{testId,
                                     "2024/01/01 00:00:00",
                                     "",
                                     90,
                                     60,
                                     100,
                                     std::string("\x83\x65\0", 3) + who};
                ASSERT_TRUE(
                    store.addHistory(Sender{who, "名前", "m@example.jp"}, true, upload).ok());
            }
        }
        ASSERT_TRUE(store.setLearnerDisabled("h2", true).ok());
        learners = *store.learners();
        for (const Learner& learner : learners) {
            const auto versions = *store.historyVersions(learner.id, "");
            histories.insert(histories.end(), versions.begin(), versions.end());
        }
    }
    ASSERT_EQ(inside(path).version, 1);

    auto store = openSqliteStore(path);
    ASSERT_TRUE(store.ok()) << store.error().describe();
    EXPECT_EQ(*(*store)->schemaVersion(), kLatest);
    EXPECT_EQ(*(*store)->learners(), learners);
    std::vector<HistoryVersion> kept;
    for (const Learner& learner : learners) {
        const auto versions = *(*store)->historyVersions(learner.id, "");
        kept.insert(kept.end(), versions.begin(), versions.end());
    }
    EXPECT_EQ(kept, histories);
    EXPECT_TRUE((*store)->addNews("お知らせ", "本文").ok());
    EXPECT_TRUE((*store)->addInboxItem(InboxItem{}).ok());
}

// Renamed over the live file, the copy would take the place of the store
// while its connections go on writing into the replaced one.
TEST(SqliteStore, BackupOntoItsOwnFileIsRefused) {
    const TempTree tree;
    const std::string path = tree.path("tovalo.db");
    {
        auto store = openSqliteStore(path);
        ASSERT_TRUE(store.ok());
        EXPECT_FALSE((*store)->backup(path).ok());
        EXPECT_FALSE((*store)->backup(tree.path(".") + "/tovalo.db").ok());
        ASSERT_TRUE((*store)->addLearner(Sender{"h", "n", "e"}).ok());
    }
    auto reopened = openSqliteStore(path);
    ASSERT_TRUE(reopened.ok());
    EXPECT_TRUE((*(*reopened)->findLearner("h")).has_value());
}

TEST(StoreSchema, StepsAreNumberedInOrderAndReadInEveryDialect) {
    int expected = 0;
    for (const Migration& step : migrations()) {
        EXPECT_EQ(step.version, ++expected);
        for (const Dialect dialect : {Dialect::Sqlite, Dialect::Postgres}) {
            for (const std::string_view statement : step.statements) {
                const std::string sql = sqlFor(statement, dialect);
                EXPECT_EQ(sql.find_first_of("{}"), std::string::npos) << sql;
            }
        }
    }
    EXPECT_EQ(expected, kLatest);
    EXPECT_GE(kLatest, 1);
}

}  // namespace

}  // namespace tovalo::server::store::testing
