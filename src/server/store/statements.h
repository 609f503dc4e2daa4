#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "server/store/store.h"
#include "server/store/support.h"

// What every database says and does alike: the statements, written once
// with "?" for each value and {bytewise} where texts are ordered (sqlFor
// gives them in each database's words), and the reads and writes made of
// them. They run on a Session, one connection of an implementation, which
// has
//   Status eachRow(const char* sql, std::string_view failed, Each each,
//                  const Values&... values)
//       runs a statement and hands each row (integerAt, bytesAt) to `each`;
//   Result<std::int64_t> changes(const char* sql, std::string_view failed,
//                                const Values&... values)
//       runs a statement and gives the number of rows it changed;
//   const std::string& where() const
//       what its errors name.
// Values are texts (std::string_view), Bytes or integers (std::int64_t).
// The writes run inside the implementation's write transaction.
namespace tovalo::server::store {

struct Bytes {
    std::string_view value;
};

namespace sql {

inline constexpr const char* kFindLearner =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners "
    "WHERE serial_hash = ?";
// The current version's id is 0 when the course has none.
inline constexpr const char* kFindLearnerCourse =
    "SELECT l.id, l.serial_hash, l.name, l.email, l.disabled, l.created_at, COALESCE(h.id, 0), "
    "COALESCE(h.last_update, '') FROM learners l LEFT JOIN histories h ON h.id = "
    "(SELECT id FROM histories WHERE learner_id = l.id AND test_id = ? ORDER BY id DESC LIMIT 1) "
    "WHERE l.serial_hash = ?";
inline constexpr const char* kAllLearners =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners ORDER BY id";
// Gives no row when the learner exists.
inline constexpr const char* kAddLearner =
    "INSERT INTO learners (serial_hash, name, email, disabled, created_at) "
    "VALUES (?, ?, ?, 0, ?) ON CONFLICT (serial_hash) DO NOTHING RETURNING id";
inline constexpr const char* kSetDisabled =
    "UPDATE learners SET disabled = ? WHERE serial_hash = ?";
inline constexpr const char* kSetContact = "UPDATE learners SET name = ?, email = ? WHERE id = ?";
inline constexpr const char* kAddHistory =
    "INSERT INTO histories (learner_id, test_id, last_update, sent_on, received_at, best_rate, "
    "average_rate, question_count, record) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id";
#define TOVALO_HISTORY_COLUMNS                                                       \
    "SELECT id, learner_id, received_at, test_id, last_update, sent_on, best_rate, " \
    "average_rate, question_count, record FROM histories "
inline constexpr const char* kCurrentHistory =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? AND test_id = ? ORDER BY id DESC LIMIT 1";
inline constexpr const char* kCourseVersions =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? AND test_id = ? ORDER BY id";
inline constexpr const char* kAllVersions =
    TOVALO_HISTORY_COLUMNS "WHERE learner_id = ? ORDER BY test_id {bytewise}, id";
inline constexpr const char* kCurrentHistories = TOVALO_HISTORY_COLUMNS
    "WHERE id IN (SELECT max(id) FROM histories WHERE learner_id = ? GROUP BY test_id) "
    "ORDER BY test_id {bytewise}";
#undef TOVALO_HISTORY_COLUMNS
inline constexpr const char* kLearner =
    "SELECT id, serial_hash, name, email, disabled, created_at FROM learners WHERE id = ?";
// The search is given three times; an empty one finds everyone.
#define TOVALO_LEARNER_SEARCH                                                              \
    "WHERE CAST(? AS TEXT) = '' OR {instr}(lower(l.name), lower(CAST(? AS TEXT))) > 0 OR " \
    "{instr}(lower(l.email), lower(CAST(? AS TEXT))) > 0 "
inline constexpr const char* kFindLearners =
    "SELECT l.id, l.serial_hash, l.name, l.email, l.disabled, l.created_at, "
    "(SELECT count(DISTINCT h.test_id) FROM histories h WHERE h.learner_id = l.id), "
    "COALESCE((SELECT h.received_at FROM histories h WHERE h.learner_id = l.id "
    "ORDER BY h.id DESC LIMIT 1), '') FROM learners l " TOVALO_LEARNER_SEARCH
    "ORDER BY l.id LIMIT ? OFFSET ?";
inline constexpr const char* kCountLearners =
    "SELECT count(*) FROM learners l " TOVALO_LEARNER_SEARCH;
#undef TOVALO_LEARNER_SEARCH
inline constexpr const char* kLearnersPerCourse =
    "SELECT test_id, count(DISTINCT learner_id) FROM histories GROUP BY test_id "
    "ORDER BY test_id {bytewise}";

inline constexpr const char* kAddFile =
    "INSERT INTO files (hash, bytes) VALUES (?, ?) ON CONFLICT (hash) DO NOTHING";
inline constexpr const char* kHeldFile = "SELECT 1 FROM files WHERE hash = ?";
inline constexpr const char* kFileBytes = "SELECT bytes FROM files WHERE hash = ?";
inline constexpr const char* kCurrentCourseId =
    "SELECT COALESCE(max(id), 0) FROM course_versions WHERE course = ?";
inline constexpr const char* kVersionOfCourse =
    "SELECT 1 FROM course_versions WHERE id = ? AND course = ?";
inline constexpr const char* kLatestCourseVersionId =
    "SELECT COALESCE(max(id), 0) FROM course_versions";
inline constexpr const char* kAddCourseVersion =
    "INSERT INTO course_versions (vendor, course, date_line, qdf_hash, ini_hash, "
    "figure_list_version, withdrawn_from, published_at) "
    "VALUES (?, ?, ?, ?, NULLIF(CAST(? AS TEXT), ''), ?, NULLIF(CAST(? AS BIGINT), 0), ?) "
    "RETURNING id";
inline constexpr const char* kAddFigure =
    "INSERT INTO course_figures (version_id, position, name, hash, version) "
    "VALUES (?, ?, ?, ?, ?)";
#define TOVALO_COURSE_COLUMNS                                                  \
    "SELECT id, vendor, course, date_line, qdf_hash, COALESCE(ini_hash, ''), " \
    "figure_list_version, COALESCE(withdrawn_from, 0), published_at FROM course_versions "
inline constexpr const char* kCurrentCourse =
    TOVALO_COURSE_COLUMNS "WHERE course = ? ORDER BY id DESC LIMIT 1";
inline constexpr const char* kCurrentCourses = TOVALO_COURSE_COLUMNS
    "WHERE id IN (SELECT max(id) FROM course_versions GROUP BY course) "
    "ORDER BY vendor {bytewise}, course {bytewise}";
inline constexpr const char* kVersionsOfCourse =
    TOVALO_COURSE_COLUMNS "WHERE course = ? ORDER BY id";
inline constexpr const char* kEveryCourseVersion =
    TOVALO_COURSE_COLUMNS "ORDER BY course {bytewise}, id";
#undef TOVALO_COURSE_COLUMNS

inline constexpr const char* kAddInboxItem =
    "INSERT INTO inbox_items (kind, received_at, test_id, ques_num) VALUES (?, ?, ?, ?) "
    "RETURNING receipt";
inline constexpr const char* kAddInboxField =
    "INSERT INTO inbox_fields (receipt, position, name, value) VALUES (?, ?, ?, ?)";
inline constexpr const char* kAddInboxAnswer =
    "INSERT INTO inbox_answers (receipt, text, answered_at) VALUES (?, ?, ?) RETURNING id";
inline constexpr const char* kHasInboxItem = "SELECT 1 FROM inbox_items WHERE receipt = ?";
inline constexpr const char* kSetInboxDone = "UPDATE inbox_items SET done_at = ? WHERE receipt = ?";
#define TOVALO_INBOX_COLUMNS                                                                      \
    "SELECT i.receipt, i.kind, i.received_at, i.test_id, i.ques_num, i.done_at FROM inbox_items " \
    "i "
inline constexpr const char* kEveryInboxItem = TOVALO_INBOX_COLUMNS "ORDER BY i.receipt";
inline constexpr const char* kInboxItem = TOVALO_INBOX_COLUMNS "WHERE i.receipt = ?";
// Answer ids grow in commit order, unlike their times, which share a second.
inline constexpr const char* kAnsweredQuestions = TOVALO_INBOX_COLUMNS
    "JOIN inbox_answers a ON a.receipt = i.receipt "
    "WHERE i.kind = ? AND i.test_id = ? AND i.ques_num = ? "
    "GROUP BY i.receipt, i.kind, i.received_at, i.test_id, i.ques_num, i.done_at "
    "ORDER BY max(a.id) DESC";
#undef TOVALO_INBOX_COLUMNS

inline constexpr const char* kAddNews =
    "INSERT INTO news (title, text, posted_at) VALUES (?, ?, ?) RETURNING id";
inline constexpr const char* kLatestNews =
    "SELECT id, title, text, posted_at FROM news ORDER BY id DESC LIMIT ?";
inline constexpr const char* kRemoveNews = "DELETE FROM news WHERE id = ?";

inline constexpr const char* kAddStaff =
    "INSERT INTO staff (name, password_hash, session_epoch, created_at) VALUES (?, ?, 0, ?) "
    "ON CONFLICT (name) DO NOTHING RETURNING id";
#define TOVALO_STAFF_COLUMNS "SELECT id, name, password_hash, session_epoch, created_at FROM staff "
inline constexpr const char* kFindStaff = TOVALO_STAFF_COLUMNS "WHERE name = ?";
inline constexpr const char* kStaffAccount = TOVALO_STAFF_COLUMNS "WHERE id = ?";
inline constexpr const char* kStaffAccounts = TOVALO_STAFF_COLUMNS "ORDER BY id";
#undef TOVALO_STAFF_COLUMNS
inline constexpr const char* kSetStaffPassword =
    "UPDATE staff SET password_hash = ?, session_epoch = session_epoch + 1 WHERE name = ?";
inline constexpr const char* kRemoveStaff = "DELETE FROM staff WHERE name = ?";
inline constexpr const char* kEndStaffSessions =
    "UPDATE staff SET session_epoch = session_epoch + 1 WHERE id = ? RETURNING session_epoch";

}  // namespace sql

inline constexpr std::string_view kReadFailed = "履歴ストアを読めません";
inline constexpr std::string_view kWriteFailed = "履歴ストアを更新できません";

// Every row a query finds, each made into a T by `make`.
template <class T, class Session, class Make, class... Values>
Result<std::vector<T>> rowsOf(Session& session, const char* sql, Make&& make,
                              const Values&... values) {
    std::vector<T> found;
    const Status read = session.eachRow(
        sql, kReadFailed, [&](const auto& row) { found.push_back(make(row)); }, values...);
    if (!read) {
        return read.error();
    }
    return found;
}

// The first column of the first row as a number; nothing when no row.
template <class Session, class... Values>
Result<std::optional<std::int64_t>> firstInteger(Session& session, const char* sql,
                                                 const Values&... values) {
    return firstOf(rowsOf<std::int64_t>(
        session, sql, [](const auto& row) { return row.integerAt(0); }, values...));
}

// Runs an INSERT ... RETURNING and gives the key of its row.
template <class Session, class... Values>
Result<std::int64_t> insertRow(Session& session, const char* sql, std::string_view failed,
                               const Values&... values) {
    std::optional<std::int64_t> key;
    const Status inserted = session.eachRow(
        sql, failed, [&](const auto& row) { key = row.integerAt(0); }, values...);
    if (!inserted) {
        return inserted.error();
    }
    if (!key) {
        return Error{std::string(failed), session.where(), 0};
    }
    return *key;
}

template <class Session>
Result<std::optional<Learner>> findLearnerIn(Session& session, const char* sql,
                                             std::string_view serialHash) {
    return firstOf(rowsOf<Learner>(
        session, sql, [](const auto& row) { return learnerFrom(row); }, serialHash));
}

// A row of sql::kFindLearnerCourse, which takes the course and then the
// learner's hash.
template <class Row>
LearnerCourse learnerCourseFrom(const Row& row) {
    return LearnerCourse{learnerFrom(row),
                         row.integerAt(6) == 0 ? std::nullopt : std::optional(row.bytesAt(7))};
}

template <class Session>
Result<std::optional<LearnerCourse>> findLearnerCourseIn(Session& session,
                                                         std::string_view serialHash,
                                                         std::string_view testId) {
    return firstOf(rowsOf<LearnerCourse>(
        session, sql::kFindLearnerCourse, [](const auto& row) { return learnerCourseFrom(row); },
        testId, serialHash));
}

// Runs an UPDATE of one learner, who must exist.
template <class Session, class... Values>
Status changeLearner(Session& session, const char* sql, const Values&... values) {
    const Result<std::int64_t> changed = session.changes(sql, kWriteFailed, values...);
    if (!changed) {
        return changed.error();
    }
    if (*changed != 1) {
        return unknownLearnerError();
    }
    return Ok{};
}

// The learner made, or nothing when one with that hash exists already.
template <class Session>
Result<std::optional<Learner>> insertLearner(Session& session, const Sender& sender) {
    Learner learner{0,           sender.serialHash,
                    sender.name, sender.email,
                    false,       utcTimestamp(std::chrono::system_clock::now())};
    const Result<std::optional<std::int64_t>> id =
        firstInteger(session, sql::kAddLearner, std::string_view(learner.serialHash),
                     std::string_view(learner.name), std::string_view(learner.email),
                     std::string_view(learner.createdAt));
    if (!id) {
        return id.error();
    }
    if (!id->has_value()) {
        return std::optional<Learner>();
    }
    learner.id = **id;
    return std::optional(std::move(learner));
}

// Store::addHistory inside a write. `findForUpload` finds the sender and
// holds whatever lock keeps that learner's uploads in turn. A learner
// another connection registered meanwhile is found again, and the upload
// goes to it.
template <class Session>
Result<HistoryVersion> addHistoryIn(Session& session, const char* findForUpload,
                                    const Sender& sender, bool createLearner,
                                    const HistoryUpload& upload) {
    Result<std::optional<Learner>> known = findLearnerIn(session, findForUpload, sender.serialHash);
    if (known && !known->has_value() && createLearner) {
        const Result<std::optional<Learner>> added = insertLearner(session, sender);
        if (!added) {
            return added.error();
        }
        if (added->has_value()) {
            known = *added;
        } else {
            known = findLearnerIn(session, findForUpload, sender.serialHash);
        }
    }
    if (!known) {
        return known.error();
    }
    if (!known->has_value()) {
        return unknownLearnerError();
    }
    const Learner& learner = **known;
    if (learner.disabled) {
        return disabledLearnerError();
    }
    if (learner.name != sender.name || learner.email != sender.email) {
        if (Status set = changeLearner(session, sql::kSetContact, std::string_view(sender.name),
                                       std::string_view(sender.email), learner.id);
            !set) {
            return set.error();
        }
    }
    HistoryVersion version{0, learner.id, utcTimestamp(std::chrono::system_clock::now()), upload};
    const Result<std::int64_t> id =
        insertRow(session, sql::kAddHistory, "履歴を保存できません", learner.id,
                  std::string_view(upload.testId), std::string_view(upload.lastUpdate),
                  std::string_view(upload.sentOn), std::string_view(version.receivedAt),
                  std::int64_t{upload.bestRate}, std::int64_t{upload.averageRate},
                  std::int64_t{upload.questionCount}, Bytes{upload.record});
    if (!id) {
        return id.error();
    }
    version.id = *id;
    return version;
}

// Store::publishCourse inside a write that nothing else publishes in at
// the same time; the files' hashes are checked.
template <class Session>
Result<CourseVersion> publishIn(Session& session, const CourseVersion& version,
                                const std::vector<StoredFile>& files, std::int64_t replacing) {
    const Result<std::optional<std::int64_t>> current =
        firstInteger(session, sql::kCurrentCourseId, std::string_view(version.course));
    if (!current) {
        return current.error();
    }
    if (current->value_or(0) != replacing) {
        return stalePublishError();
    }
    if (version.withdrawnFrom != 0) {
        const Result<std::optional<std::int64_t>> restored =
            firstInteger(session, sql::kVersionOfCourse, version.withdrawnFrom,
                         std::string_view(version.course));
        if (!restored) {
            return restored.error();
        }
        if (!restored->has_value()) {
            return Error{"戻す版がこの講座にありません: " + std::to_string(version.withdrawnFrom),
                         session.where(), 0};
        }
    }
    for (const StoredFile& file : files) {
        const Result<std::int64_t> added =
            session.changes(sql::kAddFile, "ファイルを保存できません", std::string_view(file.hash),
                            Bytes{file.bytes});
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
            firstInteger(session, sql::kHeldFile, hash);
        if (!held) {
            return held.error();
        }
        if (!held->has_value()) {
            return Error{"公開する版のファイルが届いていません: " + std::string(hash),
                         session.where(), 0};
        }
    }
    const std::string_view failed = "講座の版を保存できません";
    CourseVersion stored = version;
    stored.publishedAt = utcTimestamp(std::chrono::system_clock::now());
    const Result<std::int64_t> id = insertRow(
        session, sql::kAddCourseVersion, failed, std::string_view(stored.vendor),
        std::string_view(stored.course), std::string_view(stored.dateLine),
        std::string_view(stored.qdfHash), std::string_view(stored.iniHash),
        stored.figureListVersion, stored.withdrawnFrom, std::string_view(stored.publishedAt));
    if (!id) {
        return id.error();
    }
    stored.id = *id;
    for (std::size_t i = 0; i < stored.figures.size(); ++i) {
        const PublishedFigure& figure = stored.figures[i];
        const Result<std::int64_t> added = session.changes(
            sql::kAddFigure, failed, stored.id, static_cast<std::int64_t>(i),
            std::string_view(figure.name), std::string_view(figure.hash), figure.version);
        if (!added) {
            return added.error();
        }
    }
    return stored;
}

template <class Session>
Result<InboxItem> addInboxItemIn(Session& session, const InboxItem& item) {
    const std::string_view failed = "問い合わせを保存できません";
    InboxItem stored = item;
    stored.answers.clear();
    stored.receivedAt = utcTimestamp(std::chrono::system_clock::now());
    const Result<std::int64_t> receipt =
        insertRow(session, sql::kAddInboxItem, failed, static_cast<std::int64_t>(stored.kind),
                  std::string_view(stored.receivedAt), std::string_view(stored.testId),
                  std::int64_t{stored.quesNum});
    if (!receipt) {
        return receipt.error();
    }
    stored.receipt = *receipt;
    for (std::size_t i = 0; i < stored.fields.size(); ++i) {
        const Result<std::int64_t> added = session.changes(
            sql::kAddInboxField, failed, stored.receipt, static_cast<std::int64_t>(i),
            std::string_view(stored.fields[i].name), std::string_view(stored.fields[i].value));
        if (!added) {
            return added.error();
        }
    }
    return stored;
}

template <class Session>
Result<InboxAnswer> answerInboxItemIn(Session& session, std::int64_t receipt,
                                      std::string_view text) {
    const Result<std::optional<std::int64_t>> known =
        firstInteger(session, sql::kHasInboxItem, receipt);
    if (!known) {
        return known.error();
    }
    if (!known->has_value()) {
        return Error{"受付番号 " + std::to_string(receipt) + " の問い合わせはありません",
                     session.where(), 0};
    }
    InboxAnswer answer{0, std::string(text), utcTimestamp(std::chrono::system_clock::now())};
    const Result<std::int64_t> id =
        insertRow(session, sql::kAddInboxAnswer, "回答を保存できません", receipt,
                  std::string_view(answer.text), std::string_view(answer.answeredAt));
    if (!id) {
        return id.error();
    }
    answer.id = *id;
    return answer;
}

template <class Session>
Result<NewsItem> addNewsIn(Session& session, std::string_view title, std::string_view text) {
    NewsItem item{0, std::string(title), std::string(text),
                  utcTimestamp(std::chrono::system_clock::now())};
    const Result<std::int64_t> id =
        insertRow(session, sql::kAddNews, "お知らせを保存できません", std::string_view(item.title),
                  std::string_view(item.text), std::string_view(item.postedAt));
    if (!id) {
        return id.error();
    }
    item.id = *id;
    return item;
}

template <class Session>
Result<std::vector<NewsItem>> latestNewsIn(Session& session, int limit) {
    // SQLite reads a negative limit as none at all, PostgreSQL refuses it.
    if (limit <= 0) {
        return std::vector<NewsItem>();
    }
    return rowsOf<NewsItem>(
        session, sql::kLatestNews,
        [](const auto& row) {
            return NewsItem{row.integerAt(0), row.bytesAt(1), row.bytesAt(2), row.bytesAt(3)};
        },
        std::int64_t{limit});
}

// Runs an UPDATE or DELETE of one row, which must exist; `unknown` is the
// refusal when it does not.
template <class Session, class... Values>
Status changeOne(Session& session, const char* sql, std::string_view unknown,
                 const Values&... values) {
    const Result<std::int64_t> changed = session.changes(sql, kWriteFailed, values...);
    if (!changed) {
        return changed.error();
    }
    if (*changed != 1) {
        return Error{std::string(unknown), session.where(), 0};
    }
    return Ok{};
}

template <class Session>
Result<LearnerPage> findLearnersIn(Session& session, std::string_view search, std::int64_t offset,
                                   std::int64_t limit) {
    LearnerPage page;
    Result<std::vector<LearnerSummary>> rows = rowsOf<LearnerSummary>(
        session, sql::kFindLearners,
        [](const auto& row) {
            return LearnerSummary{learnerFrom(row), static_cast<int>(row.integerAt(6)),
                                  row.bytesAt(7)};
        },
        search, search, search, std::max<std::int64_t>(limit, 0),
        std::max<std::int64_t>(offset, 0));
    if (!rows) {
        return rows.error();
    }
    page.rows = std::move(*rows);
    const Result<std::optional<std::int64_t>> total =
        firstInteger(session, sql::kCountLearners, search, search, search);
    if (!total) {
        return total.error();
    }
    page.total = total->value_or(0);
    return page;
}

template <class Row>
StaffAccount staffFrom(const Row& row) {
    return StaffAccount{row.integerAt(0), row.bytesAt(1), row.bytesAt(2), row.integerAt(3),
                        row.bytesAt(4)};
}

template <class Session>
Result<StaffAccount> addStaffIn(Session& session, std::string_view name,
                                std::string_view passwordHash) {
    StaffAccount account{0, std::string(name), std::string(passwordHash), 0,
                         utcTimestamp(std::chrono::system_clock::now())};
    const Result<std::optional<std::int64_t>> id = firstInteger(
        session, sql::kAddStaff, name, passwordHash, std::string_view(account.createdAt));
    if (!id) {
        return id.error();
    }
    if (!id->has_value()) {
        return Error{"この名前の職員はすでに登録されています: " + account.name, session.where(), 0};
    }
    account.id = **id;
    return account;
}

}  // namespace tovalo::server::store
