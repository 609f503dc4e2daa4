#include "server/store/postgres/postgres_store.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/common/safe_file.h"
#include "server/store/sql_store.h"
#include "server/store/statements.h"
#include "server/store/support.h"

extern char** environ;

namespace tovalo::server::store {

namespace {

namespace fs = std::filesystem;

// Each server process keeps this many sessions; the database's
// max_connections must allow it for every server behind the balancer.
constexpr int kConnections = 8;
// Held by the process that migrates, for all of it: the others opening the
// same database meanwhile wait, then find the schema up to date. Any number
// serves that no other program of the database locks.
constexpr std::int64_t kMigrationLock = 0x54564C53'4D494752;
// Where a store keeps the last migration step it took: its mark, too, that
// the database is one of ours.
constexpr const char* kSchemaVersion = "SELECT version FROM tovalo_schema";
constexpr const char* kWhatTheDatabaseHolds =
    "SELECT to_regclass('tovalo_schema') IS NOT NULL, "
    "(SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = current_schema())";

// Every upload of a learner takes this lock first, so that they commit one
// after the other (see addHistory).
constexpr const char* kLockLearner =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners "
    "WHERE serial_hash = ? FOR UPDATE";
// Publishes take turns on this lock, which readers do not wait for: each
// draws its id and commits while holding it, so versions commit in the
// order of their ids. The highest id of a course is then the version
// published last, the `replacing` check sees every earlier publish, and a
// server that read latestCourseVersionId cannot miss a version committed
// after it with a lower id. Publishing is rare enough that one at a time
// costs nothing.
constexpr const char* kLockPublishing = "LOCK TABLE course_versions IN SHARE ROW EXCLUSIVE MODE";
// What the versions and items a query found hold, in one round trip each.
constexpr const char* kFiguresOf =
    "SELECT version_id, name, hash, version FROM course_figures "
    "WHERE version_id = ANY (CAST(? AS BIGINT[])) ORDER BY version_id, position";
constexpr const char* kInboxFieldsOf =
    "SELECT receipt, name, value FROM inbox_fields WHERE receipt = ANY (CAST(? AS BIGINT[])) "
    "ORDER BY receipt, position";
constexpr const char* kInboxAnswersOf =
    "SELECT receipt, id, text, answered_at FROM inbox_answers "
    "WHERE receipt = ANY (CAST(? AS BIGINT[])) ORDER BY receipt, id";

// An array of keys, as PostgreSQL reads one: "{1,2,3}".
struct Keys {
    std::vector<std::int64_t> values;
};

// The values of one statement. Texts and bytes travel in binary, as they
// are, so that no byte is escaped or lost; numbers as decimal text, which
// the server reads into whatever integer type the column has.
class Params {
  public:
    Params& bind(std::string_view text) { return add(text, 1); }
    Params& bind(const Bytes& bytes) { return add(bytes.value, 1); }
    Params& bind(std::int64_t integer) { return decimal(std::to_string(integer)); }
    Params& bind(const Keys& keys) {
        std::string array = "{";
        for (const std::int64_t key : keys.values) {
            array += (array.size() > 1 ? "," : "") + std::to_string(key);
        }
        return decimal(array + "}");
    }

    [[nodiscard]] int count() const { return static_cast<int>(values_.size()); }
    [[nodiscard]] const char* const* values() const { return values_.data(); }
    [[nodiscard]] const int* lengths() const { return lengths_.data(); }
    [[nodiscard]] const int* formats() const { return formats_.data(); }

  private:
    Params& decimal(std::string text) {
        owned_.push_back(std::move(text));
        return add(owned_.back(), 0);
    }
    // A null pointer would send SQL NULL, which an empty text is not.
    Params& add(std::string_view value, int format) {
        values_.push_back(value.empty() ? "" : value.data());
        lengths_.push_back(static_cast<int>(value.size()));
        formats_.push_back(format);
        return *this;
    }

    std::deque<std::string> owned_;  // stays where it is as it grows
    std::vector<const char*> values_;
    std::vector<int> lengths_;
    std::vector<int> formats_;
};

// One row of a result that came in binary: texts and bytes as stored,
// integers big-endian in the width of their type.
class Row {
  public:
    Row(const PGresult* result, int row) : result_(result), row_(row) {}

    [[nodiscard]] std::int64_t integerAt(int column) const {
        const auto* bytes =
            reinterpret_cast<const unsigned char*>(PQgetvalue(result_, row_, column));
        const int size = PQgetlength(result_, row_, column);
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            value = value << 8 | bytes[i];
        }
        if (size > 0 && size < 8 && (bytes[0] & 0x80) != 0) {
            value |= ~std::uint64_t{0} << (size * 8);
        }
        return static_cast<std::int64_t>(value);
    }
    [[nodiscard]] std::string bytesAt(int column) const {
        return std::string(PQgetvalue(result_, row_, column),
                           static_cast<std::size_t>(PQgetlength(result_, row_, column)));
    }

  private:
    const PGresult* result_;
    int row_;
};

using ResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;

bool succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// The database as messages name it, without the password an address may
// carry.
std::string databaseName(const std::string& url) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(url.c_str(), &error);
    PQfreemem(error);
    if (options == nullptr) {
        return "postgresql (読めない接続先)";
    }
    std::string user;
    std::string host;
    std::string port;
    std::string dbname;
    for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
        const std::string_view keyword = option->keyword;
        std::string* field = keyword == "user"     ? &user
                             : keyword == "host"   ? &host
                             : keyword == "port"   ? &port
                             : keyword == "dbname" ? &dbname
                                                   : nullptr;
        if (field != nullptr && option->val != nullptr) {
            *field = option->val;
        }
    }
    PQconninfoFree(options);
    return "postgresql://" + (user.empty() ? "" : user + "@") + host +
           (port.empty() ? "" : ":" + port) + "/" + dbname;
}

// What failed, with the database's own words: those of `result`, or of the
// session when there is none.
Error failure(const PGconn* conn, std::string_view what, const PGresult* result,
              const std::string& name) {
    const char* detail = result != nullptr ? PQresultErrorMessage(result)
                         : conn != nullptr ? PQerrorMessage(conn)
                                           : nullptr;
    std::string message(what);
    if (detail != nullptr && *detail != '\0') {
        message += " (" + trimmed(detail) + ")";
    }
    return Error{std::move(message), name, 0};
}

constexpr std::string_view kCannotConnect = "履歴ストアのデータベースにつながりません";
constexpr std::string_view kCannotSetUp = "履歴ストアのデータベースを設定できません";
// Whatever the database's defaults say, a commit returns only once it is
// durable.
constexpr const char* kDurableCommits =
    "SELECT set_config('synchronous_commit', 'on', false) "
    "WHERE current_setting('synchronous_commit') = 'off'";

// One session with the database and the statements it has prepared. Used
// by one thread at a time.
class Connection {
  public:
    Connection(PGconn* conn, std::string name) : conn_(conn), name_(std::move(name)) {}
    ~Connection() { PQfinish(conn_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] PGconn* handle() const { return conn_; }
    [[nodiscard]] const std::string& name() const { return name_; }
    [[nodiscard]] const std::string& where() const { return name_; }

    // Runs one of the store's statements, prepared on first use (their
    // address names them), and asks for the rows in binary.
    Result<ResultPtr> run(const char* sql, const Params& params, std::string_view failed) {
        auto found = prepared_.find(sql);
        if (found == prepared_.end()) {
            std::string statement = "s" + std::to_string(prepared_.size());
            const ResultPtr made(PQprepare(conn_, statement.c_str(),
                                           sqlFor(sql, Dialect::Postgres).c_str(), 0, nullptr),
                                 PQclear);
            if (!succeeded(made.get())) {
                return fail(failed, made.get());
            }
            found = prepared_.emplace(sql, std::move(statement)).first;
        }
        ResultPtr result(PQexecPrepared(conn_, found->second.c_str(), params.count(),
                                        params.values(), params.lengths(), params.formats(), 1),
                         PQclear);
        if (!succeeded(result.get())) {
            return fail(failed, result.get());
        }
        return result;
    }

    // Runs a statement and hands each row to `each`.
    template <class Each, class... Values>
    Status eachRow(const char* sql, std::string_view failed, Each&& each, const Values&... values) {
        Params params;
        (params.bind(values), ...);
        const Result<ResultPtr> result = run(sql, params, failed);
        if (!result) {
            return result.error();
        }
        for (int i = 0; i < PQntuples(result->get()); ++i) {
            each(Row(result->get(), i));
        }
        return Ok{};
    }
    // Runs a statement that gives no rows and tells how many it changed.
    template <class... Values>
    Result<std::int64_t> changes(const char* sql, std::string_view failed,
                                 const Values&... values) {
        Params params;
        (params.bind(values), ...);
        const Result<ResultPtr> result = run(sql, params, failed);
        if (!result) {
            return result.error();
        }
        return std::strtoll(PQcmdTuples(result->get()), nullptr, 10);
    }

    // A command without values, or several separated by semicolons.
    Result<ResultPtr> command(const std::string& sql, std::string_view failed) {
        ResultPtr result(PQexec(conn_, sql.c_str()), PQclear);
        if (!succeeded(result.get())) {
            return fail(failed, result.get());
        }
        return result;
    }
    Status commit() {
        const Result<ResultPtr> done = command("COMMIT", kWriteFailed);
        if (!done) {
            return done.error();
        }
        // A transaction that an error had ended answers COMMIT with ROLLBACK.
        if (std::string_view(PQcmdStatus(done->get())) != "COMMIT") {
            return fail(kWriteFailed, nullptr);
        }
        return Ok{};
    }

    // A session the server or the network ended is opened again; what was
    // prepared on it went with it.
    Status revive();

    [[nodiscard]] bool lost() const { return PQstatus(conn_) != CONNECTION_OK; }

    [[nodiscard]] Error fail(std::string_view what, const PGresult* result) const {
        return failure(conn_, what, result, name_);
    }

  private:
    PGconn* conn_;
    std::string name_;
    std::unordered_map<const char*, std::string> prepared_;
};

// How every session works, whatever the database's defaults say: texts in
// UTF-8, and a commit that returns only once it is durable.
Status setUpSession(Connection& connection) {
    if (PQsetClientEncoding(connection.handle(), "UTF8") != 0) {
        return connection.fail("履歴ストアのデータベースを UTF-8 で使えません", nullptr);
    }
    const Result<ResultPtr> set = connection.command(kDurableCommits, kCannotSetUp);
    if (!set) {
        return set.error();
    }
    return Ok{};
}

Status Connection::revive() {
    if (!lost()) {
        return Ok{};
    }
    prepared_.clear();
    PQreset(conn_);
    if (lost()) {
        return fail(kCannotConnect, nullptr);
    }
    return setUpSession(*this);
}

Result<std::unique_ptr<Connection>> connect(const std::string& url, const std::string& name) {
    auto connection = std::make_unique<Connection>(PQconnectdb(url.c_str()), name);
    if (connection->lost()) {
        return connection->fail(kCannotConnect, nullptr);
    }
    if (Status set = setUpSession(*connection); !set) {
        return set.error();
    }
    return connection;
}

Error notAStore(const std::string& name) {
    return Error{"履歴ストアのデータベースではありません (ほかのテーブルがあります)", name, 0};
}

// The version of the store in the database, 0 for an empty one, or the
// refusal. Only reads, so that a database refused here is left as it was.
Result<int> storedVersion(Connection& connection, int latest) {
    const Result<ResultPtr> holds = connection.run(kWhatTheDatabaseHolds, Params(), kReadFailed);
    if (!holds) {
        return holds.error();
    }
    const Row found(holds->get(), 0);
    if (found.integerAt(0) == 0) {
        return found.integerAt(1) == 0 ? Result<int>(0) : notAStore(connection.name());
    }
    const Result<ResultPtr> version = connection.run(kSchemaVersion, Params(), kReadFailed);
    if (!version) {
        return version.error();
    }
    if (PQntuples(version->get()) != 1) {
        return notAStore(connection.name());
    }
    const auto stored = static_cast<int>(Row(version->get(), 0).integerAt(0));
    if (stored > latest) {
        return newerSchemaError(stored, latest, connection.name());
    }
    return stored;
}

// Takes each step the database has not taken yet, each in a transaction of
// its own: a step that fails leaves the database at the one before. The
// version is read only once this process holds the migration lock, so that
// two servers started together do not both take a step.
Status migrate(Connection& connection, std::span<const Migration> steps) {
    const std::string lock = "(" + std::to_string(kMigrationLock) + ")";
    if (auto locked = connection.command("SELECT pg_advisory_lock" + lock, kWriteFailed); !locked) {
        return locked.error();
    }
    const Result<int> from = storedVersion(connection, steps.empty() ? 0 : steps.back().version);
    Status done = from ? Status(Ok{}) : Status(from.error());
    for (const Migration& step : steps) {
        if (!done) {
            break;
        }
        if (step.version <= *from) {
            continue;
        }
        std::string sql = "BEGIN;\n";
        for (const std::string_view statement : step.statements) {
            sql += sqlFor(statement, Dialect::Postgres) + ";\n";
        }
        sql += step.version == 1
                   ? "CREATE TABLE tovalo_schema (version INTEGER NOT NULL);\n"
                     "INSERT INTO tovalo_schema VALUES (1)"
                   : "UPDATE tovalo_schema SET version = " + std::to_string(step.version);
        const Result<ResultPtr> taken = connection.command(sql, kWriteFailed);
        done = taken ? connection.commit() : Status(taken.error());
        if (!done) {
            (void)connection.command("ROLLBACK", kWriteFailed);
            done = Error{"履歴ストアのスキーマを版 " + std::to_string(step.version) +
                             " にできません: " + done.error().message,
                         connection.name(), 0};
        }
    }
    (void)connection.command("SELECT pg_advisory_unlock" + lock, kWriteFailed);
    return done;
}

// The newest pg_dump Debian has installed dumps every server up to its own
// version; without one, whichever the PATH finds.
std::string dumpProgram() {
    std::string best = "pg_dump";
    int bestVersion = 0;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ignored)) {
        const int version = std::atoi(entry.path().filename().c_str());
        const fs::path program = entry.path() / "bin" / "pg_dump";
        if (version > bestVersion && fs::exists(program, ignored)) {
            bestVersion = version;
            best = program.string();
        }
    }
    return best;
}

// Runs `argv` with `environment` and gives its exit status, or -1 when it
// did not run; what it wrote on standard error lands in `errors`.
int runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
               std::string& errors) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        errors = "pipe";
        return -1;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& variable : environment) {
        env.push_back(const_cast<char*>(variable.c_str()));
    }
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0) {
                errors.append(buffer, static_cast<std::size_t>(n));
            } else if (errno != EINTR) {
                break;
            }
        }
    }
    ::close(pipeEnds[0]);
    if (spawned != 0) {
        errors = argv[0] + ": " + std::strerror(spawned);
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One loop's session for the look-ups that must not block it. It opens
// without waiting, sets itself up as the blocking sessions do (texts in
// UTF-8 from the start) and prepares its one statement, all as the loop
// finds the socket ready; then every look-up is sent at once, in pipeline
// mode, so that many travel together and their answers come back in the
// order they were asked. A session that breaks fails what it was asked and
// goes; the next look-up opens another.
class LoopSession final : public EventLoop::State {
  public:
    LoopSession(EventLoop& loop, std::uint64_t owner, std::string url, std::string name)
        : loop_(loop), owner_(owner), url_(std::move(url)), name_(std::move(name)) {}
    ~LoopSession() override { drop(); }
    LoopSession(const LoopSession&) = delete;
    LoopSession& operator=(const LoopSession&) = delete;

    [[nodiscard]] std::uint64_t owner() const { return owner_; }

    void findLearnerCourse(std::string_view serialHash, std::string_view testId,
                           LearnerCourseFound found) {
        asked_.push_back({std::string(serialHash), std::string(testId), std::move(found)});
        if (conn_ == nullptr) {
            open();
        } else if (connected_) {
            send();
        }
    }

  private:
    static constexpr const char* kStatement = "find_learner_course";

    struct Asked {
        std::string serialHash;
        std::string testId;
        LearnerCourseFound found;
    };
    // What the pipeline answers next, up to its sync: a step of the set-up
    // (no `found`) or a look-up, and the first result it gave.
    struct Pending {
        LearnerCourseFound found;
        ResultPtr result{nullptr, PQclear};
    };

    void open() {
        const char* const keywords[] = {"dbname", "client_encoding", nullptr};
        const char* const values[] = {url_.c_str(), "UTF8", nullptr};
        conn_ = PQconnectStartParams(keywords, values, 1);
        if (conn_ == nullptr || PQstatus(conn_) == CONNECTION_BAD) {
            return fail(kCannotConnect, nullptr);
        }
        waitToConnect(PGRES_POLLING_WRITING);
    }

    void waitToConnect(PostgresPollingStatusType step) {
        // Each step may be on another socket: the next address tried.
        loop_.forget(socket_);
        socket_ = PQsocket(conn_);
        const auto next = [this] { connectStep(); };
        if (!(step == PGRES_POLLING_READING ? loop_.whenReadable(socket_, next)
                                            : loop_.whenWritable(socket_, next))) {
            fail(kCannotConnect, nullptr);
        }
    }

    void connectStep() {
        switch (const PostgresPollingStatusType step = PQconnectPoll(conn_)) {
            case PGRES_POLLING_READING:
            case PGRES_POLLING_WRITING:
                return waitToConnect(step);
            case PGRES_POLLING_OK:
                return setUp();
            default:
                return fail(kCannotConnect, nullptr);
        }
    }

    void setUp() {
        if (PQsetnonblocking(conn_, 1) != 0 || PQenterPipelineMode(conn_) != 1 ||
            PQsendQueryParams(conn_, kDurableCommits, 0, nullptr, nullptr, nullptr, nullptr, 0) !=
                1 ||
            PQpipelineSync(conn_) != 1 ||
            PQsendPrepare(conn_, kStatement,
                          sqlFor(sql::kFindLearnerCourse, Dialect::Postgres).c_str(), 0,
                          nullptr) != 1 ||
            PQpipelineSync(conn_) != 1) {
            return fail(kCannotSetUp, nullptr);
        }
        pending_.resize(2);
        connected_ = true;
        send();
    }

    void send() {
        while (!asked_.empty()) {
            Asked& asked = asked_.front();
            Params params;
            params.bind(asked.testId).bind(asked.serialHash);
            if (PQsendQueryPrepared(conn_, kStatement, params.count(), params.values(),
                                    params.lengths(), params.formats(), 1) != 1 ||
                PQpipelineSync(conn_) != 1) {
                return fail(kReadFailed, nullptr);
            }
            pending_.push_back({std::move(asked.found)});
            asked_.pop_front();
        }
        flush();
        watchReads();
    }

    // What libpq could not write at once goes when the socket takes it (or
    // once answers were read, which may be what it waits for).
    void flush() {
        const int left = PQflush(conn_);
        if (left < 0) {
            return fail(kReadFailed, nullptr);
        }
        if (left == 1 && !writing_) {
            writing_ = loop_.whenWritable(socket_, [this] {
                writing_ = false;
                flush();
            });
            if (!writing_) {
                fail(kReadFailed, nullptr);
            }
        }
    }

    // Kept armed while the session is open, idle or not, so that one the
    // database ends is noticed and dropped before a look-up is sent on it.
    void watchReads() {
        if (conn_ == nullptr || reading_) {
            return;
        }
        reading_ = loop_.whenReadable(socket_, [this] {
            reading_ = false;
            onReadable();
        });
        if (!reading_) {
            fail(kReadFailed, nullptr);
        }
    }

    void onReadable() {
        if (PQconsumeInput(conn_) != 1) {
            return fail(kReadFailed, nullptr);
        }
        collect();
        if (conn_ == nullptr) {
            return;
        }
        if (PQstatus(conn_) == CONNECTION_BAD) {
            return fail(kReadFailed, nullptr);
        }
        flush();
        watchReads();
    }

    // Hands out every answer that has come whole: each item's results end
    // at its sync, and an item that failed fails alone.
    void collect() {
        bool noneBefore = false;
        while (conn_ != nullptr && !pending_.empty() && PQisBusy(conn_) == 0) {
            ResultPtr result(PQgetResult(conn_), PQclear);
            if (!result) {
                // The end of an item's results, or nothing more for now.
                if (noneBefore) {
                    break;
                }
                noneBefore = true;
                continue;
            }
            noneBefore = false;
            if (PQresultStatus(result.get()) != PGRES_PIPELINE_SYNC) {
                if (!pending_.front().result) {
                    pending_.front().result = std::move(result);
                }
                continue;
            }
            Pending done = std::move(pending_.front());
            pending_.pop_front();
            const PGresult* got = done.result.get();
            if (!done.found) {
                if (got == nullptr || !succeeded(got)) {
                    return fail(kCannotSetUp, got);
                }
                continue;
            }
            if (got == nullptr || !succeeded(got)) {
                done.found(failure(conn_, kReadFailed, got, name_));
            } else if (PQntuples(got) == 0) {
                done.found(std::optional<LearnerCourse>());
            } else {
                done.found(std::optional(learnerCourseFrom(Row(got, 0))));
            }
        }
    }

    // Everything asked fails with the session's error, and the session goes.
    void fail(std::string_view what, const PGresult* result) {
        const Error error = failure(conn_, what, result, name_);
        std::deque<Pending> pending = std::move(pending_);
        std::deque<Asked> asked = std::move(asked_);
        pending_.clear();
        asked_.clear();
        drop();
        for (Pending& p : pending) {
            if (p.found) {
                p.found(error);
            }
        }
        for (Asked& a : asked) {
            a.found(error);
        }
    }

    void drop() {
        loop_.forget(socket_);
        socket_ = -1;
        PQfinish(conn_);
        conn_ = nullptr;
        connected_ = false;
        reading_ = false;
        writing_ = false;
    }

    EventLoop& loop_;
    const std::uint64_t owner_;  // the store that opened it
    const std::string url_;
    const std::string name_;
    PGconn* conn_ = nullptr;
    int socket_ = -1;
    bool connected_ = false;  // set up: look-ups may be sent
    bool reading_ = false;
    bool writing_ = false;
    std::deque<Asked> asked_;      // not sent yet
    std::deque<Pending> pending_;  // sent, in the order the answers come
};

class PostgresStore final : public SqlStore<PostgresStore, Connection> {
  public:
    PostgresStore(std::string url, std::string name,
                  std::vector<std::unique_ptr<Connection>> connections)
        : url_(std::move(url)), name_(std::move(name)), pool_(std::move(connections)) {}

    using SqlStore::findLearnerCourse;
    // Each loop keeps a session of this store's; a loop that holds another
    // store's leaves its look-ups to the blocking call.
    bool findLearnerCourse(EventLoop& loop, std::string_view serialHash, std::string_view testId,
                           LearnerCourseFound found) override {
        std::unique_ptr<EventLoop::State>& slot = loop.state();
        if (!slot) {
            slot = std::make_unique<LoopSession>(loop, id_, url_, name_);
        }
        auto* session = dynamic_cast<LoopSession*>(slot.get());
        if (session == nullptr || session->owner() != id_) {
            return false;
        }
        session->findLearnerCourse(serialHash, testId, std::move(found));
        return true;
    }

    Status backup(const std::string& outPath) override;

    Result<int> schemaVersion() override {
        return read<int>([&](Connection& connection) -> Result<int> {
            const Result<std::optional<std::int64_t>> version =
                firstInteger(connection, kSchemaVersion);
            if (!version) {
                return version.error();
            }
            return static_cast<int>(version->value_or(0));
        });
    }

    PoolUsage poolUsage() const override { return pool_.usage(); }

  private:
    friend SqlStore<PostgresStore, Connection>;
    using Lease = ConnectionPool<Connection>::Lease;

    // The current copy of a course is its version with the highest id, so
    // ids must grow in the order the versions commit. An id is drawn at the
    // INSERT, not at the COMMIT: two uploads of one learner from two servers
    // could draw 10 and 11 and commit 11 first, and the version committed
    // last would not be current. Every upload therefore locks its learner's
    // row before it draws an id and holds the lock until it commits, so the
    // uploads of one learner (the only ones that share a course) commit in
    // the order of their ids, while other learners' go on alongside. A
    // learner two servers register at once is inserted by one; the other's
    // insert waits for it, does nothing, and its upload then locks the
    // winner's row.
    static constexpr const char* kFindForUpload = kLockLearner;

    static Status lockPublishing(Connection& connection) {
        if (auto locked = connection.command(kLockPublishing, kWriteFailed); !locked) {
            return locked.error();
        }
        return Ok{};
    }

    [[nodiscard]] const std::string& name() const { return name_; }

    // Runs `body`, one statement, outside a transaction. A read is asked
    // again once when the session was lost under it: nothing changed.
    template <class T, class Body>
    Result<T> read(Body&& body) {
        const Lease lease(pool_);
        Connection& connection = lease.connection();
        for (int attempt = 0;; ++attempt) {
            if (Status alive = connection.revive(); !alive) {
                return alive.error();
            }
            Result<T> result = body(connection);
            if (result || attempt > 0 || !connection.lost()) {
                return result;
            }
        }
    }

    // Runs `body` in a transaction and commits what it returns, or rolls
    // everything back when it fails. The statements of a write each see
    // every commit before them (READ COMMITTED), so one that waited for a
    // lock sees what its holder wrote.
    template <class T, class Body>
    Result<T> write(Body&& body) {
        return transaction<T>("BEGIN", body);
    }

    // Runs `body`, which reads with several statements, on one snapshot, so
    // that a commit between them cannot mix two states of the store.
    template <class T, class Body>
    Result<T> snapshot(Body&& body) {
        return transaction<T>("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", body);
    }

    template <class T, class Body>
    Result<T> transaction(const char* begin, Body& body) {
        const Lease lease(pool_);
        Connection& connection = lease.connection();
        // Nothing is sent before BEGIN, so a session lost since its last use
        // is opened again and the call goes on.
        Result<ResultPtr> begun = Error{};
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (Status alive = connection.revive(); !alive) {
                return alive.error();
            }
            begun = connection.command(begin, kWriteFailed);
            if (begun || !connection.lost()) {
                break;
            }
        }
        if (!begun) {
            return begun.error();
        }
        Result<T> result = body(connection);
        if (result) {
            // synchronous_commit is on: COMMIT returns once the commit is durable.
            if (Status committed = connection.commit(); !committed) {
                result = committed.error();
            }
        }
        if (!result) {
            (void)connection.command("ROLLBACK", kWriteFailed);
        }
        return result;
    }

    // The keys of what a query found, and where each key's element stands.
    template <class T>
    static std::pair<Keys, std::unordered_map<std::int64_t, T*>> byKey(std::vector<T>& found,
                                                                       std::int64_t T::*key) {
        Keys keys;
        std::unordered_map<std::int64_t, T*> at;
        for (T& element : found) {
            keys.values.push_back(element.*key);
            at.emplace(element.*key, &element);
        }
        return {std::move(keys), std::move(at)};
    }

    // The versions a query finds, each with its figures.
    template <class... Values>
    static Result<std::vector<CourseVersion>> courses(Connection& connection, const char* sql,
                                                      const Values&... values) {
        Result<std::vector<CourseVersion>> found = rowsOf<CourseVersion>(
            connection, sql, [](const Row& row) { return courseFrom(row); }, values...);
        if (!found || found->empty()) {
            return found;
        }
        auto [ids, at] = byKey(*found, &CourseVersion::id);
        const Status figures = connection.eachRow(
            kFiguresOf, kReadFailed,
            [&](const Row& row) {
                at.at(row.integerAt(0))
                    ->figures.push_back(
                        PublishedFigure{row.bytesAt(1), row.bytesAt(2), row.integerAt(3)});
            },
            ids);
        if (!figures) {
            return figures.error();
        }
        return found;
    }

    // The items a query finds, each with its fields and answers.
    template <class... Values>
    static Result<std::vector<InboxItem>> inbox(Connection& connection, const char* sql,
                                                const Values&... values) {
        Result<std::vector<InboxItem>> found = rowsOf<InboxItem>(
            connection, sql, [](const Row& row) { return inboxItemFrom(row); }, values...);
        if (!found || found->empty()) {
            return found;
        }
        auto [receipts, at] = byKey(*found, &InboxItem::receipt);
        Status read = connection.eachRow(
            kInboxFieldsOf, kReadFailed,
            [&](const Row& row) {
                at.at(row.integerAt(0))
                    ->fields.push_back(FormField{row.bytesAt(1), row.bytesAt(2)});
            },
            receipts);
        if (read) {
            read = connection.eachRow(
                kInboxAnswersOf, kReadFailed,
                [&](const Row& row) {
                    at.at(row.integerAt(0))
                        ->answers.push_back(
                            InboxAnswer{row.integerAt(1), row.bytesAt(2), row.bytesAt(3)});
                },
                receipts);
        }
        if (!read) {
            return read.error();
        }
        return found;
    }

    static inline std::atomic<std::uint64_t> opened_{0};
    const std::uint64_t id_ = ++opened_;
    std::string url_;
    std::string name_;
    ConnectionPool<Connection> pool_;
};

// pg_dump copies the database as one snapshot while the servers go on, in
// its own archive format (pg_restore reads it back). It learns where the
// database is from the environment, so that no password shows in the
// process list; the copy takes the target's name only when it is whole.
Status PostgresStore::backup(const std::string& outPath) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string_view(*variable).substr(0, 2) != "PG") {
            environment.emplace_back(*variable);
        }
    }
    {
        const Lease lease(pool_);
        PQconninfoOption* options = PQconninfo(lease.connection().handle());
        for (const PQconninfoOption* option = options;
             options != nullptr && option->keyword != nullptr; ++option) {
            if (option->envvar != nullptr && option->val != nullptr) {
                environment.push_back(std::string(option->envvar) + "=" + option->val);
            }
        }
        PQconninfoFree(options);
    }
    const std::string temp = partialPathBeside(outPath);
    std::string errors;
    const int status = runProgram(
        {dumpProgram(), "--format=custom", "--no-password", "--file=" + temp}, environment, errors);
    Status copied = Ok{};
    if (status != 0) {
        copied = Error{"複製できません (" + trimmed(errors) + ")", outPath, 0};
    } else {
        copied = renameDurably(temp, outPath);
    }
    if (!copied) {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    return copied;
}

}  // namespace

Result<std::unique_ptr<Store>> openPostgresStore(const std::string& url,
                                                 std::span<const Migration> steps) {
    const std::string name = databaseName(url);
    std::vector<std::unique_ptr<Connection>> connections;
    Result<std::unique_ptr<Connection>> first = connect(url, name);
    if (!first) {
        return first.error();
    }
    if (Status migrated = migrate(**first, steps); !migrated) {
        return migrated.error();
    }
    connections.push_back(std::move(*first));
    while (connections.size() < static_cast<std::size_t>(kConnections)) {
        Result<std::unique_ptr<Connection>> more = connect(url, name);
        if (!more) {
            return more.error();
        }
        connections.push_back(std::move(*more));
    }
    return std::unique_ptr<Store>(
        std::make_unique<PostgresStore>(url, name, std::move(connections)));
}

Result<std::unique_ptr<Store>> openPostgresStore(const std::string& url) {
    return openPostgresStore(url, migrations());
}

}  // namespace tovalo::server::store
