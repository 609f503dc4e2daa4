#include "server/store/sqlite/sqlite_store.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/common/safe_file.h"
#include "server/store/sql_store.h"
#include "server/store/statements.h"
#include "server/store/support.h"

namespace tovalo::server::store {

namespace {

namespace fs = std::filesystem;

// Written into every store at its first step, so that a SQLite database of
// some other program is told apart from an empty one and left alone.
constexpr int kApplicationId = 0x54564C53;
// Readers run side by side under WAL; writers queue on one lock.
constexpr int kConnections = 4;
// Another process on the same file (an admin command) holds its write lock
// only for one transaction.
constexpr int kBusyTimeoutMs = 10'000;

// What the other statements of the store belong to, one item at a time:
// SQLite answers in the process, so a statement each costs little.
constexpr const char* kFigures =
    "SELECT name, hash, version FROM course_figures WHERE version_id = ? ORDER BY position";
constexpr const char* kInboxFields =
    "SELECT name, value FROM inbox_fields WHERE receipt = ? ORDER BY position";
constexpr const char* kInboxAnswers =
    "SELECT id, text, answered_at FROM inbox_answers WHERE receipt = ? ORDER BY id";

Error failure(const std::string& path, std::string_view what, sqlite3* db) {
    std::string message(what);
    if (db != nullptr) {
        message += " (";
        message += sqlite3_errmsg(db);
        message += ")";
    }
    return Error{std::move(message), path, 0};
}

Error notAStore(const std::string& path) {
    return Error{"履歴ストアのファイルではありません", path, 0};
}

bool isNotADatabase(sqlite3* db) {
    const int code = sqlite3_errcode(db);
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

// One prepared statement in use: its values are bound in order, and it is
// reset for the next user when the scope ends.
class Query {
  public:
    explicit Query(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~Query() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // A null pointer would bind SQL NULL, which an empty text is not.
    Query& text(std::string_view value) {
        return check(sqlite3_bind_text(stmt_, ++bound_, value.empty() ? "" : value.data(),
                                       static_cast<int>(value.size()), SQLITE_TRANSIENT));
    }
    Query& bytes(std::string_view value) {
        if (value.empty()) {
            return check(sqlite3_bind_zeroblob(stmt_, ++bound_, 0));
        }
        return check(
            sqlite3_bind_blob64(stmt_, ++bound_, value.data(), value.size(), SQLITE_TRANSIENT));
    }
    Query& integer(std::int64_t value) { return check(sqlite3_bind_int64(stmt_, ++bound_, value)); }
    Query& bind(std::string_view value) { return text(value); }
    Query& bind(const Bytes& value) { return bytes(value.value); }
    Query& bind(std::int64_t value) { return integer(value); }

    // SQLITE_ROW, SQLITE_DONE or the error, a failed bind included.
    int step() { return bindError_ != SQLITE_OK ? bindError_ : sqlite3_step(stmt_); }

    [[nodiscard]] std::int64_t integerAt(int column) const {
        return sqlite3_column_int64(stmt_, column);
    }
    [[nodiscard]] std::string bytesAt(int column) const {
        const void* data = sqlite3_column_blob(stmt_, column);
        const int size = sqlite3_column_bytes(stmt_, column);
        return data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
    }

  private:
    Query& check(int rc) {
        if (rc != SQLITE_OK && bindError_ == SQLITE_OK) {
            bindError_ = rc;
        }
        return *this;
    }

    sqlite3_stmt* stmt_;
    int bound_ = 0;
    int bindError_ = SQLITE_OK;
};

// One connection to the file with the statements it has prepared. Used by
// one thread at a time.
class Connection {
  public:
    Connection(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    ~Connection() {
        for (auto& [sql, stmt] : statements_) {
            sqlite3_finalize(stmt);
        }
        sqlite3_close_v2(db_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] sqlite3* handle() const { return db_; }
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] const std::string& where() const { return path_; }

    // Runs one of the store's statements and hands each row to `each`.
    template <class Each, class... Values>
    Status eachRow(const char* sql, std::string_view failed, Each&& each, const Values&... values) {
        const Result<sqlite3_stmt*> stmt = prepared(sql);
        if (!stmt) {
            return stmt.error();
        }
        Query query(*stmt);
        (query.bind(values), ...);
        int rc = SQLITE_ROW;
        while ((rc = query.step()) == SQLITE_ROW) {
            each(query);
        }
        if (rc != SQLITE_DONE) {
            return fail(failed);
        }
        return Ok{};
    }
    // Runs a statement that gives no rows and tells how many it changed.
    template <class... Values>
    Result<std::int64_t> changes(const char* sql, std::string_view failed,
                                 const Values&... values) {
        if (Status run = eachRow(
                sql, failed, [](const Query&) {}, values...);
            !run) {
            return run.error();
        }
        return sqlite3_changes64(db_);
    }

    // The statements are string constants, so their address names them.
    Result<sqlite3_stmt*> prepared(const char* sql) {
        if (const auto found = statements_.find(sql); found != statements_.end()) {
            return found->second;
        }
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, sqlFor(sql, Dialect::Sqlite).c_str(), -1,
                               SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            return fail("履歴ストアの命令を準備できません");
        }
        statements_.emplace(sql, stmt);
        return stmt;
    }

    Status exec(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            return fail("履歴ストアを更新できません");
        }
        return Ok{};
    }

    // The first column of the first row of a statement run once, unprepared.
    Result<std::string> scalar(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            return fail("履歴ストアを読めません");
        }
        const int rc = sqlite3_step(stmt);
        const auto* text = rc == SQLITE_ROW ? sqlite3_column_text(stmt, 0) : nullptr;
        std::string value = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        sqlite3_finalize(stmt);
        if (rc != SQLITE_ROW) {
            return fail("履歴ストアを読めません");
        }
        return value;
    }
    Result<std::int64_t> number(const char* sql) {
        const Result<std::string> text = scalar(sql);
        if (!text) {
            return text.error();
        }
        return std::strtoll(text->c_str(), nullptr, 10);
    }

    [[nodiscard]] Error fail(std::string_view what) const { return failure(path_, what, db_); }

  private:
    sqlite3* db_;
    std::string path_;
    std::unordered_map<const char*, sqlite3_stmt*> statements_;
};

Result<std::unique_ptr<Connection>> connect(const std::string& path) {
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto connection = std::make_unique<Connection>(db, path);
    if (rc != SQLITE_OK) {
        return connection->fail("履歴ストアを開けません");
    }
    // SQLite falls back to reading alone when the file may not be written;
    // every upload would then fail, so the server is better not started.
    if (sqlite3_db_readonly(db, "main") == 1) {
        return Error{"履歴ストアに書き込めません", path, 0};
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Neither writes to the file: they only set how this connection works.
    if (Status set = connection->exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL");
        !set) {
        return isNotADatabase(db) ? notAStore(path) : set.error();
    }
    return connection;
}

// What the file holds before anything is written to it: the version of a
// store of ours, 0 for an empty file, or the refusal.
Result<int> storedVersion(Connection& connection, int latest) {
    // Only reads, so that a file refused here is left exactly as it was.
    std::int64_t values[3] = {};
    const char* const questions[3] = {"PRAGMA application_id", "PRAGMA user_version",
                                      "SELECT count(*) FROM sqlite_master"};
    for (int i = 0; i < 3; ++i) {
        const Result<std::int64_t> value = connection.number(questions[i]);
        if (!value) {
            return isNotADatabase(connection.handle()) ? notAStore(connection.path())
                                                       : value.error();
        }
        values[i] = *value;
    }
    const auto [applicationId, version, objects] = values;
    if (applicationId == 0 && version == 0 && objects == 0) {
        return 0;
    }
    if (applicationId != kApplicationId) {
        return notAStore(connection.path());
    }
    if (version > latest) {
        return newerSchemaError(static_cast<int>(version), latest, connection.path());
    }
    return static_cast<int>(version);
}

// Takes each step the file has not taken yet, each in a transaction of its
// own: a step that fails leaves the file at the one before. Another process
// may be doing the same; the version is read again under the write lock.
Status migrate(Connection& connection, std::span<const Migration> steps, int from) {
    for (const Migration& step : steps) {
        if (step.version <= from) {
            continue;
        }
        if (Status begun = connection.exec("BEGIN IMMEDIATE"); !begun) {
            return begun;
        }
        const Result<std::int64_t> now = connection.number("PRAGMA user_version");
        Status done = now ? Status(Ok{}) : Status(now.error());
        if (done && *now < step.version) {
            for (const std::string_view statement : step.statements) {
                done = connection.exec(sqlFor(statement, Dialect::Sqlite));
                if (!done) {
                    break;
                }
            }
            if (done && step.version == 1) {
                done = connection.exec("PRAGMA application_id = " + std::to_string(kApplicationId));
            }
            if (done) {
                done = connection.exec("PRAGMA user_version = " + std::to_string(step.version));
            }
        }
        if (done) {
            done = connection.exec("COMMIT");
        }
        if (!done) {
            (void)connection.exec("ROLLBACK");
            return Error{"履歴ストアのスキーマを版 " + std::to_string(step.version) +
                             " にできません: " + done.error().message,
                         connection.path(), 0};
        }
    }
    return Ok{};
}

class SqliteStore final : public SqlStore<SqliteStore, Connection> {
  public:
    SqliteStore(std::string path, std::vector<std::unique_ptr<Connection>> connections)
        : path_(std::move(path)), pool_(std::move(connections)) {}

    Status backup(const std::string& outPath) override;

    Result<int> schemaVersion() override {
        const Lease lease(pool_);
        const Result<std::int64_t> version = lease.connection().number("PRAGMA user_version");
        if (!version) {
            return version.error();
        }
        return static_cast<int>(*version);
    }

    PoolUsage poolUsage() const override { return pool_.usage(); }

  private:
    friend SqlStore<SqliteStore, Connection>;
    using Lease = ConnectionPool<Connection>::Lease;

    // Writers take turns on the file's write lock, so the upload committed
    // last is the one with the highest id; so do publishes.
    static constexpr const char* kFindForUpload = sql::kFindLearner;
    static Status lockPublishing(Connection&) { return Ok{}; }

    [[nodiscard]] const std::string& name() const { return path_; }

    // Runs `body`, one statement, on a connection of the pool: WAL readers
    // see the last commit and never wait for a writer.
    template <class T, class Body>
    Result<T> read(Body&& body) {
        const Lease lease(pool_);
        return body(lease.connection());
    }

    // Runs `body` in a write transaction and commits what it returns, or
    // rolls everything back when it fails. The writers of this process take
    // turns here instead of in SQLite's busy handler, which sleeps.
    template <class T, class Body>
    Result<T> write(Body&& body) {
        const std::lock_guard writer(writeMutex_);
        const Lease lease(pool_);
        return transaction<T>(lease.connection(), "BEGIN IMMEDIATE", body);
    }

    // Runs `body`, which reads with several statements, on one snapshot, so
    // that a commit between them cannot mix two states of the store.
    template <class T, class Body>
    Result<T> snapshot(Body&& body) {
        const Lease lease(pool_);
        return transaction<T>(lease.connection(), "BEGIN", body);
    }

    template <class T, class Body>
    static Result<T> transaction(Connection& connection, const char* begin, Body& body) {
        if (Status begun = connection.exec(begin); !begun) {
            return begun.error();
        }
        Result<T> result = body(connection);
        if (result) {
            // synchronous=FULL: the commit returns once the log is on disk.
            if (Status committed = connection.exec("COMMIT"); !committed) {
                result = committed.error();
            }
        }
        if (!result) {
            (void)connection.exec("ROLLBACK");
        }
        return result;
    }

    // The versions a query finds, each with its figures.
    template <class... Values>
    static Result<std::vector<CourseVersion>> courses(Connection& connection, const char* sql,
                                                      const Values&... values) {
        Result<std::vector<CourseVersion>> found = rowsOf<CourseVersion>(
            connection, sql, [](const Query& row) { return courseFrom(row); }, values...);
        if (!found) {
            return found;
        }
        for (CourseVersion& version : *found) {
            const Status read = connection.eachRow(
                kFigures, kReadFailed,
                [&](const Query& row) {
                    version.figures.push_back(
                        PublishedFigure{row.bytesAt(0), row.bytesAt(1), row.integerAt(2)});
                },
                version.id);
            if (!read) {
                return read.error();
            }
        }
        return found;
    }

    // The items a query finds, each with its fields and answers.
    template <class... Values>
    static Result<std::vector<InboxItem>> inbox(Connection& connection, const char* sql,
                                                const Values&... values) {
        Result<std::vector<InboxItem>> found = rowsOf<InboxItem>(
            connection, sql, [](const Query& row) { return inboxItemFrom(row); }, values...);
        if (!found) {
            return found;
        }
        for (InboxItem& item : *found) {
            Status read = connection.eachRow(
                kInboxFields, kReadFailed,
                [&](const Query& row) {
                    item.fields.push_back(FormField{row.bytesAt(0), row.bytesAt(1)});
                },
                item.receipt);
            if (read) {
                read = connection.eachRow(
                    kInboxAnswers, kReadFailed,
                    [&](const Query& row) {
                        item.answers.push_back(
                            InboxAnswer{row.integerAt(0), row.bytesAt(1), row.bytesAt(2)});
                    },
                    item.receipt);
            }
            if (!read) {
                return read.error();
            }
        }
        return found;
    }

    std::string path_;
    ConnectionPool<Connection> pool_;
    std::mutex writeMutex_;
};

// The copy is written under a temporary name beside the target and takes
// the target's name only when it is whole.
Status SqliteStore::backup(const std::string& outPath) {
    std::error_code ignored;
    if (fs::equivalent(outPath, path_, ignored)) {
        return Error{"履歴ストアをそれ自身に複製することはできません", outPath, 0};
    }
    const std::string temp = partialPathBeside(outPath);
    const auto removeTemp = [&] {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            fs::remove(temp + suffix, ignored);
        }
    };
    Status copied = [&]() -> Status {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(
            temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        const Connection copy(raw, outPath);
        if (rc != SQLITE_OK) {
            return copy.fail("複製を作れません");
        }
        {
            // One step under one read transaction: a snapshot of every
            // commit before it, while writers go on in the log.
            const Lease lease(pool_);
            sqlite3_backup* job =
                sqlite3_backup_init(raw, "main", lease.connection().handle(), "main");
            if (job == nullptr) {
                return copy.fail("複製を始められません");
            }
            const int stepped = sqlite3_backup_step(job, -1);
            sqlite3_backup_finish(job);
            if (stepped != SQLITE_DONE) {
                return Error{std::string("複製できません (") + sqlite3_errstr(stepped) + ")",
                             outPath, 0};
            }
        }
        // The copy stands alone as one file, with no log beside it.
        if (sqlite3_exec(raw, "PRAGMA synchronous = FULL; PRAGMA journal_mode = DELETE", nullptr,
                         nullptr, nullptr) != SQLITE_OK) {
            return copy.fail("複製を仕上げられません");
        }
        return Ok{};
    }();
    if (copied) {
        copied = renameDurably(temp, outPath);
    }
    if (!copied) {
        removeTemp();
    }
    return copied;
}

}  // namespace

Result<std::unique_ptr<Store>> openSqliteStore(const std::string& path,
                                               std::span<const Migration> steps) {
    const int latest = steps.empty() ? 0 : steps.back().version;
    std::vector<std::unique_ptr<Connection>> connections;
    Result<std::unique_ptr<Connection>> first = connect(path);
    if (!first) {
        return first.error();
    }
    const Result<int> version = storedVersion(**first, latest);
    if (!version) {
        return version.error();
    }
    // Only now that the file is known to be ours (or empty) may it change.
    const Result<std::string> mode = (*first)->scalar("PRAGMA journal_mode = WAL");
    if (!mode) {
        return mode.error();
    }
    if (*mode != "wal") {
        return Error{"履歴ストアを WAL にできません (" + *mode + ")", path, 0};
    }
    if (Status migrated = migrate(**first, steps, *version); !migrated) {
        return migrated.error();
    }
    connections.push_back(std::move(*first));
    while (connections.size() < static_cast<std::size_t>(kConnections)) {
        Result<std::unique_ptr<Connection>> more = connect(path);
        if (!more) {
            return more.error();
        }
        connections.push_back(std::move(*more));
    }
    return std::unique_ptr<Store>(std::make_unique<SqliteStore>(path, std::move(connections)));
}

Result<std::unique_ptr<Store>> openSqliteStore(const std::string& path) {
    return openSqliteStore(path, migrations());
}

}  // namespace tovalo::server::store
