#include "server/store/schema.h"

#include <array>

namespace tovalo::server::store {

namespace {

// Built on first use: stores are opened from other files' static objects too.
const std::vector<Migration>& steps() {
    // Times are kept as text, "yyyy-mm-ddTHH:MM:SSZ" in UTC, so that they read
    // the same in every database and sort as they compare. A learner's
    // identifier never reaches the store, only its keyed hash. Versions of a
    // history are only ever added: the current copy of a course is its row with
    // the highest id.
    static const std::vector<Migration> kMigrations = {
        {1,
         "learners and the versions of their histories",
         {
             R"(CREATE TABLE learners (
    id {serial},
    serial_hash TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL,
    email TEXT NOT NULL,
    disabled INTEGER NOT NULL DEFAULT 0 CHECK (disabled IN (0, 1)),
    created_at TEXT NOT NULL
))",
             R"(CREATE TABLE histories (
    id {serial},
    learner_id BIGINT NOT NULL REFERENCES learners (id),
    test_id TEXT NOT NULL,
    last_update TEXT NOT NULL,
    sent_on TEXT NOT NULL,
    received_at TEXT NOT NULL,
    best_rate INTEGER NOT NULL,
    average_rate INTEGER NOT NULL,
    question_count INTEGER NOT NULL,
    record {bytes} NOT NULL
))",
             "CREATE INDEX histories_by_course ON histories (learner_id, test_id, id)",
         }},
        // Published courses, the inbox and news. Files are kept by the hash of
        // their content, once however many versions name them. A course's
        // current version is its row with the highest id; a withdrawal is a new
        // version that names the content of an earlier one. An answer is a row
        // of its own, so nothing an item or an answer said is ever replaced.
        // A missing settings file or restored version is NULL rather than a
        // key that names nothing.
        {2,
         "published courses, the inbox and news",
         {
             R"(CREATE TABLE files (
    hash TEXT PRIMARY KEY,
    bytes {bytes} NOT NULL
))",
             R"(CREATE TABLE course_versions (
    id {serial},
    vendor TEXT NOT NULL,
    course TEXT NOT NULL,
    date_line TEXT NOT NULL,
    qdf_hash TEXT NOT NULL REFERENCES files (hash),
    ini_hash TEXT REFERENCES files (hash),
    figure_list_version BIGINT NOT NULL,
    withdrawn_from BIGINT REFERENCES course_versions (id),
    published_at TEXT NOT NULL
))",
             "CREATE INDEX course_versions_by_course ON course_versions (course, id)",
             R"(CREATE TABLE course_figures (
    version_id BIGINT NOT NULL REFERENCES course_versions (id),
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    hash TEXT NOT NULL REFERENCES files (hash),
    version BIGINT NOT NULL,
    PRIMARY KEY (version_id, position)
))",
             R"(CREATE TABLE inbox_items (
    receipt {serial},
    kind INTEGER NOT NULL CHECK (kind IN (1, 2)),
    received_at TEXT NOT NULL,
    test_id TEXT NOT NULL,
    ques_num INTEGER NOT NULL
))",
             "CREATE INDEX inbox_items_by_question ON inbox_items (test_id, ques_num)",
             R"(CREATE TABLE inbox_fields (
    receipt BIGINT NOT NULL REFERENCES inbox_items (receipt),
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    value TEXT NOT NULL,
    PRIMARY KEY (receipt, position)
))",
             R"(CREATE TABLE inbox_answers (
    id {serial},
    receipt BIGINT NOT NULL REFERENCES inbox_items (receipt),
    text TEXT NOT NULL,
    answered_at TEXT NOT NULL
))",
             "CREATE INDEX inbox_answers_by_item ON inbox_answers (receipt, id)",
             R"(CREATE TABLE news (
    id {serial},
    title TEXT NOT NULL,
    text TEXT NOT NULL,
    posted_at TEXT NOT NULL
))",
         }},
        // The staff console: its accounts, whose sessions live in signed
        // cookies and end together when the account's epoch grows; the
        // done mark of inbox items; and learners counted by course.
        {3,
         "staff accounts, done inbox items, learners by course",
         {
             R"(CREATE TABLE staff (
    id {serial},
    name TEXT NOT NULL UNIQUE,
    password_hash TEXT NOT NULL,
    session_epoch BIGINT NOT NULL DEFAULT 0,
    created_at TEXT NOT NULL
))",
             "ALTER TABLE inbox_items ADD COLUMN done_at TEXT NOT NULL DEFAULT ''",
             "CREATE INDEX histories_by_test ON histories (test_id, learner_id)",
         }},
    };
    return kMigrations;
}

struct Word {
    std::string_view token;
    std::string_view sqlite;
    std::string_view postgres;
};

// AUTOINCREMENT keeps SQLite from handing out the id of a deleted last row
// again, so an id names one version for the life of the store.
constexpr std::array kWords = {
    Word{"{serial}", "INTEGER PRIMARY KEY AUTOINCREMENT",
         "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"},
    Word{"{bytes}", "BLOB", "BYTEA"},
    Word{"{bytewise}", "COLLATE BINARY", "COLLATE \"C\""},
    Word{"{instr}", "instr", "strpos"},
};

}  // namespace

std::span<const Migration> migrations() {
    return steps();
}

int latestSchemaVersion() {
    return static_cast<int>(steps().size());
}

std::string sqlFor(std::string_view statement, Dialect dialect) {
    std::string sql(statement);
    for (const Word& word : kWords) {
        const std::string_view with = dialect == Dialect::Sqlite ? word.sqlite : word.postgres;
        for (std::size_t at = sql.find(word.token); at != std::string::npos;
             at = sql.find(word.token, at + with.size())) {
            sql.replace(at, word.token.size(), with);
        }
    }
    // PostgreSQL numbers its values.
    if (dialect == Dialect::Postgres) {
        int value = 0;
        for (std::size_t at = sql.find('?'); at != std::string::npos; at = sql.find('?', at)) {
            const std::string number = "$" + std::to_string(++value);
            sql.replace(at, 1, number);
            at += number.size();
        }
    }
    return sql;
}

}  // namespace tovalo::server::store
