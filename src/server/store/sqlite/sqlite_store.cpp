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

constexpr const char* kFindLearner =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners "
    "WHERE serial_hash = ?";
constexpr const char* kAllLearners =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners ORDER BY id";
constexpr const char* kAddLearner =
    "INSERT INTO learners (serial_hash, name, email, disabled, created_at) "
    "VALUES (?, ?, ?, 0, ?)";
constexpr const char* kSetDisabled = "UPDATE learners SET disabled = ? WHERE serial_hash = ?";
constexpr const char* kSetContact = "UPDATE learners SET name = ?, email = ? WHERE id = ?";
constexpr const char* kAddHistory =
    "INSERT INTO histories (learner_id, test_id, last_update, sent_on, received_at, best_rate, "
    "average_rate, question_count, record) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
#define TOVALO_HISTORY_COLUMNS                                                       \
    "SELECT id, learner_id, received_at, test_id, last_update, sent_on, best_rate, " \
    "average_rate, question_count, record FROM histories "
constexpr const char* kCurrentHistory =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? AND test_id = ? ORDER BY id DESC LIMIT 1";
constexpr const char* kCourseVersions =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? AND test_id = ? ORDER BY id";
constexpr const char* kAllVersions =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? ORDER BY test_id, id";
#undef TOVALO_HISTORY_COLUMNS

constexpr const char* kAddFile =
    "INSERT INTO files (hash, bytes) VALUES (?, ?) ON CONFLICT (hash) DO NOTHING";
constexpr const char* kHeldFile = "SELECT 1 FROM files WHERE hash = ?";
constexpr const char* kFileBytes = "SELECT bytes FROM files WHERE hash = ?";
constexpr const char* kCurrentCourseId =
    "SELECT COALESCE(max(id), 0) FROM course_versions WHERE course = ?";
constexpr const char* kVersionOfCourse =
    "SELECT 1 FROM course_versions WHERE id = ? AND course = ?";
constexpr const char* kLatestCourseVersionId = "SELECT COALESCE(max(id), 0) FROM course_versions";
constexpr const char* kAddCourseVersion =
    "INSERT INTO course_versions (vendor, course, date_line, qdf_hash, ini_hash, "
    "figure_list_version, withdrawn_from, published_at) "
    "VALUES (?, ?, ?, ?, NULLIF(?, ''), ?, NULLIF(?, 0), ?)";
constexpr const char* kAddFigure =
    "INSERT INTO course_figures (version_id, position, name, hash, version) "
    "VALUES (?, ?, ?, ?, ?)";
constexpr const char* kFigures =
    "SELECT name, hash, version FROM course_figures WHERE version_id = ? ORDER BY position";
#define TOVALO_COURSE_COLUMNS                                                  \
    "SELECT id, vendor, course, date_line, qdf_hash, COALESCE(ini_hash, ''), " \
    "figure_list_version, COALESCE(withdrawn_from, 0), published_at FROM course_versions "
constexpr const char* kCurrentCourse =
    TOVALO_COURSE_COLUMNS "WHERE course = ? ORDER BY id DESC LIMIT 1";
constexpr const char* kCurrentCourses = TOVALO_COURSE_COLUMNS
    "WHERE id IN (SELECT max(id) FROM course_versions GROUP BY course) ORDER BY vendor, course";
constexpr const char* kVersionsOfCourse = TOVALO_COURSE_COLUMNS "WHERE course = ? ORDER BY id";
constexpr const char* kEveryCourseVersion = TOVALO_COURSE_COLUMNS "ORDER BY course, id";
#undef TOVALO_COURSE_COLUMNS

constexpr const char* kAddInboxItem =
    "INSERT INTO inbox_items (kind, received_at, test_id, ques_num) VALUES (?, ?, ?, ?)";
constexpr const char* kAddInboxField =
    "INSERT INTO inbox_fields (receipt, position, name, value) VALUES (?, ?, ?, ?)";
constexpr const char* kAddInboxAnswer =
    "INSERT INTO inbox_answers (receipt, text, answered_at) VALUES (?, ?, ?)";
constexpr const char* kHasInboxItem = "SELECT 1 FROM inbox_items WHERE receipt = ?";
constexpr const char* kInboxFields =
    "SELECT name, value FROM inbox_fields WHERE receipt = ? ORDER BY position";
constexpr const char* kInboxAnswers =
    "SELECT id, text, answered_at FROM inbox_answers WHERE receipt = ? ORDER BY id";
#define TOVALO_INBOX_COLUMNS \
    "SELECT i.receipt, i.kind, i.received_at, i.test_id, i.ques_num FROM inbox_items i "
constexpr const char* kEveryInboxItem = TOVALO_INBOX_COLUMNS "ORDER BY i.receipt";
constexpr const char* kInboxItem = TOVALO_INBOX_COLUMNS "WHERE i.receipt = ?";
// Answer ids grow in commit order, unlike their times, which share a second.
constexpr const char* kAnsweredQuestions = TOVALO_INBOX_COLUMNS
    "JOIN inbox_answers a ON a.receipt = i.receipt "
    "WHERE i.kind = ? AND i.test_id = ? AND i.ques_num = ? "
    "GROUP BY i.receipt, i.kind, i.received_at, i.test_id, i.ques_num ORDER BY max(a.id) DESC";
#undef TOVALO_INBOX_COLUMNS

constexpr const char* kAddNews = "INSERT INTO news (title, text, posted_at) VALUES (?, ?, ?)";
constexpr const char* kLatestNews =
    "SELECT id, title, text, posted_at FROM news ORDER BY id DESC LIMIT ?";

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

    // The statements are string constants, so their address names them.
    Result<sqlite3_stmt*> prepared(const char* sql) {
        if (const auto found = statements_.find(sql); found != statements_.end()) {
            return found->second;
        }
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
            SQLITE_OK) {
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

class SqliteStore final : public Store {
  public:
    SqliteStore(std::string path, std::vector<std::unique_ptr<Connection>> connections)
        : path_(std::move(path)), pool_(std::move(connections)) {}

    Result<std::optional<Learner>> findLearner(std::string_view serialHash) override {
        const Lease lease(pool_);
        return findIn(lease.connection(), serialHash);
    }

    Result<Learner> addLearner(const Sender& learner) override {
        return write<Learner>([&](Connection& connection) -> Result<Learner> {
            const Result<std::optional<Learner>> existing = findIn(connection, learner.serialHash);
            if (!existing) {
                return existing.error();
            }
            if (existing->has_value()) {
                return Error{"この学習者はすでに登録されています", path_, 0};
            }
            return insertLearner(connection, learner);
        });
    }

    Status setLearnerDisabled(std::string_view serialHash, bool disabled) override {
        return write<Ok>([&](Connection& connection) -> Status {
            const Result<sqlite3_stmt*> stmt = connection.prepared(kSetDisabled);
            if (!stmt) {
                return stmt.error();
            }
            Query query(*stmt);
            query.integer(disabled ? 1 : 0).text(serialHash);
            return changedOne(connection, query.step());
        });
    }

    Status updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                std::string_view email) override {
        return write<Ok>([&](Connection& connection) -> Status {
            return setContact(connection, learnerId, name, email);
        });
    }

    Result<std::vector<Learner>> learners() override {
        const Lease lease(pool_);
        std::vector<Learner> all;
        const Status read = eachRow(
            lease.connection(), kAllLearners, [](Query&) {},
            [&](const Query& row) { all.push_back(learnerFrom(row)); });
        if (!read) {
            return read.error();
        }
        return all;
    }

    Result<HistoryVersion> addHistory(const Sender& sender, bool createLearner,
                                      const HistoryUpload& upload) override {
        return write<HistoryVersion>([&](Connection& connection) -> Result<HistoryVersion> {
            Result<std::optional<Learner>> known = findIn(connection, sender.serialHash);
            if (!known) {
                return known.error();
            }
            Learner learner;
            if (known->has_value()) {
                learner = std::move(**known);
                if (learner.disabled) {
                    return disabledLearnerError();
                }
                if (learner.name != sender.name || learner.email != sender.email) {
                    if (Status set = setContact(connection, learner.id, sender.name, sender.email);
                        !set) {
                        return set.error();
                    }
                }
            } else if (!createLearner) {
                return unknownLearnerError();
            } else {
                Result<Learner> added = insertLearner(connection, sender);
                if (!added) {
                    return added.error();
                }
                learner = std::move(*added);
            }
            return insertHistory(connection, learner.id, upload);
        });
    }

    Result<std::optional<HistoryVersion>> currentHistory(std::int64_t learnerId,
                                                         std::string_view testId) override {
        const Lease lease(pool_);
        std::optional<HistoryVersion> current;
        const Status read = eachRow(
            lease.connection(), kCurrentHistory,
            [&](Query& query) { query.integer(learnerId).text(testId); },
            [&](const Query& row) { current = versionFrom(row); });
        if (!read) {
            return read.error();
        }
        return current;
    }

    Result<std::vector<HistoryVersion>> historyVersions(std::int64_t learnerId,
                                                        std::string_view testId) override {
        const Lease lease(pool_);
        std::vector<HistoryVersion> versions;
        const auto collect = [&](const Query& row) { versions.push_back(versionFrom(row)); };
        const Status read =
            testId.empty()
                ? eachRow(
                      lease.connection(), kAllVersions,
                      [&](Query& query) { query.integer(learnerId); }, collect)
                : eachRow(
                      lease.connection(), kCourseVersions,
                      [&](Query& query) { query.integer(learnerId).text(testId); }, collect);
        if (!read) {
            return read.error();
        }
        return versions;
    }

    Result<CourseVersion> publishCourse(const CourseVersion& version,
                                        const std::vector<StoredFile>& files,
                                        std::int64_t replacing) override {
        if (Status checked = checkFileHashes(files); !checked) {
            return Error{checked.error().message, path_, 0};
        }
        return write<CourseVersion>([&](Connection& connection) -> Result<CourseVersion> {
            const Result<std::optional<std::int64_t>> current = firstInteger(
                connection, kCurrentCourseId, [&](Query& query) { query.text(version.course); });
            if (!current) {
                return current.error();
            }
            if (current->value_or(0) != replacing) {
                return stalePublishError();
            }
            if (version.withdrawnFrom != 0) {
                const Result<std::optional<std::int64_t>> restored =
                    firstInteger(connection, kVersionOfCourse, [&](Query& query) {
                        query.integer(version.withdrawnFrom).text(version.course);
                    });
                if (!restored) {
                    return restored.error();
                }
                if (!restored->has_value()) {
                    return Error{
                        "戻す版がこの講座にありません: " + std::to_string(version.withdrawnFrom),
                        path_, 0};
                }
            }
            for (const StoredFile& file : files) {
                const Result<std::int64_t> added =
                    insert(connection, kAddFile, "ファイルを保存できません",
                           [&](Query& query) { query.text(file.hash).bytes(file.bytes); });
                if (!added) {
                    return added.error();
                }
            }
            std::vector<std::string_view> named{version.qdfHash};
            if (!version.iniHash.empty()) {
                named.push_back(version.iniHash);
            }
            for (const PublishedFigure& figure : version.figures) {
                named.push_back(figure.hash);
            }
            for (const std::string_view hash : named) {
                const Result<std::optional<std::int64_t>> held =
                    firstInteger(connection, kHeldFile, [&](Query& query) { query.text(hash); });
                if (!held) {
                    return held.error();
                }
                if (!held->has_value()) {
                    return Error{"公開する版のファイルが届いていません: " + std::string(hash),
                                 path_, 0};
                }
            }
            return insertCourseVersion(connection, version);
        });
    }

    Result<std::optional<CourseVersion>> currentCourse(std::string_view course) override {
        return snapshot<std::optional<CourseVersion>>([&](Connection& connection) {
            return firstOf(
                courses(connection, kCurrentCourse, [&](Query& query) { query.text(course); }));
        });
    }

    Result<std::vector<CourseVersion>> currentCourses() override {
        return snapshot<std::vector<CourseVersion>>([&](Connection& connection) {
            return courses(connection, kCurrentCourses, [](Query&) {});
        });
    }

    Result<std::vector<CourseVersion>> courseVersions(std::string_view course) override {
        return snapshot<std::vector<CourseVersion>>([&](Connection& connection) {
            return course.empty() ? courses(connection, kEveryCourseVersion, [](Query&) {})
                                  : courses(connection, kVersionsOfCourse,
                                            [&](Query& query) { query.text(course); });
        });
    }

    Result<std::int64_t> latestCourseVersionId() override {
        const Lease lease(pool_);
        const Result<std::optional<std::int64_t>> latest =
            firstInteger(lease.connection(), kLatestCourseVersionId, [](Query&) {});
        if (!latest) {
            return latest.error();
        }
        return latest->value_or(0);
    }

    Result<std::optional<std::string>> storedFile(std::string_view hash) override {
        const Lease lease(pool_);
        std::optional<std::string> bytes;
        const Status read = eachRow(
            lease.connection(), kFileBytes, [&](Query& query) { query.text(hash); },
            [&](const Query& row) { bytes = row.bytesAt(0); });
        if (!read) {
            return read.error();
        }
        return bytes;
    }

    Result<InboxItem> addInboxItem(const InboxItem& item) override {
        return write<InboxItem>([&](Connection& connection) -> Result<InboxItem> {
            InboxItem stored = item;
            stored.answers.clear();
            stored.receivedAt = utcTimestamp(std::chrono::system_clock::now());
            const Result<std::int64_t> receipt =
                insert(connection, kAddInboxItem, "問い合わせを保存できません", [&](Query& query) {
                    query.integer(static_cast<std::int64_t>(stored.kind))
                        .text(stored.receivedAt)
                        .text(stored.testId)
                        .integer(stored.quesNum);
                });
            if (!receipt) {
                return receipt.error();
            }
            stored.receipt = *receipt;
            const Status fields =
                insertEach(connection, kAddInboxField, "問い合わせを保存できません", stored.receipt,
                           stored.fields, [](Query& query, const FormField& field) {
                               query.text(field.name).text(field.value);
                           });
            if (!fields) {
                return fields.error();
            }
            return stored;
        });
    }

    Result<std::vector<InboxItem>> inboxItems() override {
        return snapshot<std::vector<InboxItem>>([&](Connection& connection) {
            return inbox(connection, kEveryInboxItem, [](Query&) {});
        });
    }

    Result<std::optional<InboxItem>> inboxItem(std::int64_t receipt) override {
        return snapshot<std::optional<InboxItem>>([&](Connection& connection) {
            return firstOf(
                inbox(connection, kInboxItem, [&](Query& query) { query.integer(receipt); }));
        });
    }

    Result<InboxAnswer> answerInboxItem(std::int64_t receipt, std::string_view text) override {
        return write<InboxAnswer>([&](Connection& connection) -> Result<InboxAnswer> {
            const Result<std::optional<std::int64_t>> known = firstInteger(
                connection, kHasInboxItem, [&](Query& query) { query.integer(receipt); });
            if (!known) {
                return known.error();
            }
            if (!known->has_value()) {
                return Error{"受付番号 " + std::to_string(receipt) + " の問い合わせはありません",
                             path_, 0};
            }
            InboxAnswer answer{0, std::string(text),
                               utcTimestamp(std::chrono::system_clock::now())};
            const Result<std::int64_t> id =
                insert(connection, kAddInboxAnswer, "回答を保存できません", [&](Query& query) {
                    query.integer(receipt).text(answer.text).text(answer.answeredAt);
                });
            if (!id) {
                return id.error();
            }
            answer.id = *id;
            return answer;
        });
    }

    Result<std::vector<InboxItem>> answeredQuestions(std::string_view testId,
                                                     int quesNum) override {
        return snapshot<std::vector<InboxItem>>([&](Connection& connection) {
            return inbox(connection, kAnsweredQuestions, [&](Query& query) {
                query.integer(static_cast<std::int64_t>(InboxKind::Question))
                    .text(testId)
                    .integer(quesNum);
            });
        });
    }

    Result<NewsItem> addNews(std::string_view title, std::string_view text) override {
        return write<NewsItem>([&](Connection& connection) -> Result<NewsItem> {
            NewsItem item{0, std::string(title), std::string(text),
                          utcTimestamp(std::chrono::system_clock::now())};
            const Result<std::int64_t> id = insert(
                connection, kAddNews, "お知らせを保存できません",
                [&](Query& query) { query.text(item.title).text(item.text).text(item.postedAt); });
            if (!id) {
                return id.error();
            }
            item.id = *id;
            return item;
        });
    }

    Result<std::vector<NewsItem>> latestNews(int limit) override {
        std::vector<NewsItem> news;
        // SQLite reads a negative limit as none at all.
        if (limit <= 0) {
            return news;
        }
        const Lease lease(pool_);
        const Status read = eachRow(
            lease.connection(), kLatestNews, [&](Query& query) { query.integer(limit); },
            [&](const Query& row) {
                news.push_back(
                    NewsItem{row.integerAt(0), row.bytesAt(1), row.bytesAt(2), row.bytesAt(3)});
            });
        if (!read) {
            return read.error();
        }
        return news;
    }

    Status backup(const std::string& outPath) override;

    Result<int> schemaVersion() override {
        const Lease lease(pool_);
        const Result<std::int64_t> version = lease.connection().number("PRAGMA user_version");
        if (!version) {
            return version.error();
        }
        return static_cast<int>(*version);
    }

  private:
    using Lease = ConnectionPool<Connection>::Lease;

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

    // Runs a query and hands each row to `row`.
    template <class Bind, class Row>
    Status eachRow(Connection& connection, const char* sql, Bind&& bind, Row&& row) {
        const Result<sqlite3_stmt*> stmt = connection.prepared(sql);
        if (!stmt) {
            return stmt.error();
        }
        Query query(*stmt);
        bind(query);
        int rc = SQLITE_ROW;
        while ((rc = query.step()) == SQLITE_ROW) {
            row(query);
        }
        if (rc != SQLITE_DONE) {
            return connection.fail("履歴ストアを読めません");
        }
        return Ok{};
    }

    // The first column of the first row as a number; nothing when no row.
    template <class Bind>
    Result<std::optional<std::int64_t>> firstInteger(Connection& connection, const char* sql,
                                                     Bind&& bind) {
        std::optional<std::int64_t> value;
        const Status read = eachRow(connection, sql, bind, [&](const Query& row) {
            if (!value) {
                value = row.integerAt(0);
            }
        });
        if (!read) {
            return read.error();
        }
        return value;
    }

    // Runs one INSERT and gives the key of its row.
    template <class Bind>
    static Result<std::int64_t> insert(Connection& connection, const char* sql,
                                       std::string_view failed, Bind&& bind) {
        const Result<sqlite3_stmt*> stmt = connection.prepared(sql);
        if (!stmt) {
            return stmt.error();
        }
        Query query(*stmt);
        bind(query);
        if (query.step() != SQLITE_DONE) {
            return connection.fail(failed);
        }
        return sqlite3_last_insert_rowid(connection.handle());
    }

    // Inserts the rows that belong to `owner`, numbered in their order.
    template <class Row, class Bind>
    static Status insertEach(Connection& connection, const char* sql, std::string_view failed,
                             std::int64_t owner, const std::vector<Row>& rows, Bind&& bind) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Result<std::int64_t> added = insert(connection, sql, failed, [&](Query& query) {
                query.integer(owner).integer(static_cast<std::int64_t>(i));
                bind(query, rows[i]);
            });
            if (!added) {
                return added.error();
            }
        }
        return Ok{};
    }

    // The versions a query finds, each with its figures.
    template <class Bind>
    Result<std::vector<CourseVersion>> courses(Connection& connection, const char* sql,
                                               Bind&& bind) {
        std::vector<CourseVersion> found;
        Status read = eachRow(connection, sql, bind,
                              [&](const Query& row) { found.push_back(courseFrom(row)); });
        for (auto version = found.begin(); read && version != found.end(); ++version) {
            read = eachRow(
                connection, kFigures, [&](Query& query) { query.integer(version->id); },
                [&](const Query& row) {
                    version->figures.push_back(
                        PublishedFigure{row.bytesAt(0), row.bytesAt(1), row.integerAt(2)});
                });
        }
        if (!read) {
            return read.error();
        }
        return found;
    }

    // The items a query finds, each with its fields and answers.
    template <class Bind>
    Result<std::vector<InboxItem>> inbox(Connection& connection, const char* sql, Bind&& bind) {
        std::vector<InboxItem> found;
        Status read = eachRow(connection, sql, bind,
                              [&](const Query& row) { found.push_back(inboxItemFrom(row)); });
        for (auto item = found.begin(); read && item != found.end(); ++item) {
            const auto byReceipt = [&](Query& query) { query.integer(item->receipt); };
            read = eachRow(connection, kInboxFields, byReceipt, [&](const Query& row) {
                item->fields.push_back(FormField{row.bytesAt(0), row.bytesAt(1)});
            });
            if (read) {
                read = eachRow(connection, kInboxAnswers, byReceipt, [&](const Query& row) {
                    item->answers.push_back(
                        InboxAnswer{row.integerAt(0), row.bytesAt(1), row.bytesAt(2)});
                });
            }
        }
        if (!read) {
            return read.error();
        }
        return found;
    }

    Result<CourseVersion> insertCourseVersion(Connection& connection,
                                              const CourseVersion& version) {
        CourseVersion stored = version;
        stored.publishedAt = utcTimestamp(std::chrono::system_clock::now());
        const char* const failed = "講座の版を保存できません";
        const Result<std::int64_t> id =
            insert(connection, kAddCourseVersion, failed, [&](Query& query) {
                query.text(stored.vendor)
                    .text(stored.course)
                    .text(stored.dateLine)
                    .text(stored.qdfHash)
                    .text(stored.iniHash)
                    .integer(stored.figureListVersion)
                    .integer(stored.withdrawnFrom)
                    .text(stored.publishedAt);
            });
        if (!id) {
            return id.error();
        }
        stored.id = *id;
        const Status figures =
            insertEach(connection, kAddFigure, failed, stored.id, stored.figures,
                       [](Query& query, const PublishedFigure& figure) {
                           query.text(figure.name).text(figure.hash).integer(figure.version);
                       });
        if (!figures) {
            return figures.error();
        }
        return stored;
    }

    Result<std::optional<Learner>> findIn(Connection& connection, std::string_view serialHash) {
        std::optional<Learner> found;
        const Status read = eachRow(
            connection, kFindLearner, [&](Query& query) { query.text(serialHash); },
            [&](const Query& row) { found = learnerFrom(row); });
        if (!read) {
            return read.error();
        }
        return found;
    }

    static Status changedOne(Connection& connection, int rc) {
        if (rc != SQLITE_DONE) {
            return connection.fail("履歴ストアを更新できません");
        }
        if (sqlite3_changes(connection.handle()) != 1) {
            return unknownLearnerError();
        }
        return Ok{};
    }

    static Status setContact(Connection& connection, std::int64_t learnerId, std::string_view name,
                             std::string_view email) {
        const Result<sqlite3_stmt*> stmt = connection.prepared(kSetContact);
        if (!stmt) {
            return stmt.error();
        }
        Query query(*stmt);
        query.text(name).text(email).integer(learnerId);
        return changedOne(connection, query.step());
    }

    static Result<Learner> insertLearner(Connection& connection, const Sender& sender) {
        Learner learner{0,           sender.serialHash,
                        sender.name, sender.email,
                        false,       utcTimestamp(std::chrono::system_clock::now())};
        const Result<std::int64_t> id =
            insert(connection, kAddLearner, "学習者を登録できません", [&](Query& query) {
                query.text(learner.serialHash)
                    .text(learner.name)
                    .text(learner.email)
                    .text(learner.createdAt);
            });
        if (!id) {
            return id.error();
        }
        learner.id = *id;
        return learner;
    }

    static Result<HistoryVersion> insertHistory(Connection& connection, std::int64_t learnerId,
                                                const HistoryUpload& upload) {
        HistoryVersion version{0, learnerId, utcTimestamp(std::chrono::system_clock::now()),
                               upload};
        const Result<std::int64_t> id =
            insert(connection, kAddHistory, "履歴を保存できません", [&](Query& query) {
                query.integer(learnerId)
                    .text(upload.testId)
                    .text(upload.lastUpdate)
                    .text(upload.sentOn)
                    .text(version.receivedAt)
                    .integer(upload.bestRate)
                    .integer(upload.averageRate)
                    .integer(upload.questionCount)
                    .bytes(upload.record);
            });
        if (!id) {
            return id.error();
        }
        version.id = *id;
        return version;
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
