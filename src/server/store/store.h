#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "server/event_loop.h"

// Where the server keeps what learners send. One interface, with an embedded
// implementation for a class on one machine and, later, a shared database
// for many servers; both answer the same conformance cases.
namespace tovalo::server::store {

struct Learner {
    std::int64_t id = 0;
    std::string serialHash;  // lowercase hex of the keyed hash; the identifier is never kept
    std::string name;        // UTF-8, as last sent
    std::string email;       // UTF-8, as last sent
    bool disabled = false;
    std::string createdAt;  // UTC, "yyyy-mm-ddTHH:MM:SSZ"

    friend bool operator==(const Learner&, const Learner&) = default;
};

struct LearnerCourse {
    Learner learner;
    // "yyyy/mm/dd HH:mm:ss" of the course's current version; none without one.
    std::optional<std::string> lastUpdate;
};

// One course's history as one upload brought it.
struct HistoryUpload {
    std::string testId;      // UTF-8
    std::string lastUpdate;  // "yyyy/mm/dd HH:mm:ss": what the next query answers
    std::string sentOn;      // the "yyyy/mm/dd" the client put in the address; "" when none
    int bestRate = 0;
    int averageRate = 0;
    int questionCount = 0;  // question slots sent
    std::string record;     // the history as the download gives it back (CP932 text)

    friend bool operator==(const HistoryUpload&, const HistoryUpload&) = default;
};

struct HistoryVersion {
    std::int64_t id = 0;  // grows with every stored upload, across all learners
    std::int64_t learnerId = 0;
    std::string receivedAt;  // UTC, "yyyy-mm-ddTHH:MM:SSZ"
    HistoryUpload upload;

    friend bool operator==(const HistoryVersion&, const HistoryVersion&) = default;
};

// Who an upload comes from.
struct Sender {
    std::string serialHash;
    std::string name;
    std::string email;
};

// One published version of a course: its question file, its settings file
// and the figures that settings file lists. Files are kept once per content
// (by the lowercase hex SHA-256 of their bytes), so a figure that several
// versions share is stored once.
struct PublishedFigure {
    std::string name;  // as the settings file lists it, e.g. "nxn_osi.bmp"
    std::string hash;
    std::int64_t version = 0;  // the figure's number in the served figure list

    friend bool operator==(const PublishedFigure&, const PublishedFigure&) = default;
};

struct CourseVersion {
    std::int64_t id = 0;   // grows with every publish, across all courses
    std::string vendor;    // the vendor folder, e.g. "nexa"
    std::string course;    // the question file's name, e.g. "NXN-101.qdf"
    std::string dateLine;  // line 9 of the question file, which clients compare
    std::string qdfHash;
    std::string iniHash;                   // "" when the course has no settings file
    std::int64_t figureListVersion = 0;    // line 2 of the served settings file
    std::vector<PublishedFigure> figures;  // in the settings file's order
    std::int64_t withdrawnFrom = 0;  // the version whose content this one restores; 0 for a publish
    std::string publishedAt;         // UTC, "yyyy-mm-ddTHH:MM:SSZ"

    friend bool operator==(const CourseVersion&, const CourseVersion&) = default;
};

struct StoredFile {
    std::string hash;
    std::string bytes;
};

enum class InboxKind { Question = 1, Diagnosis = 2 };

// A form field as the learner's browser posted it, decoded to UTF-8.
struct FormField {
    std::string name;
    std::string value;

    friend bool operator==(const FormField&, const FormField&) = default;
};

struct InboxAnswer {
    std::int64_t id = 0;
    std::string text;  // UTF-8, as the staff wrote it
    std::string answeredAt;

    friend bool operator==(const InboxAnswer&, const InboxAnswer&) = default;
};

// A question about one exam question, or a request for a diagnosis.
struct InboxItem {
    std::int64_t receipt = 0;  // the number the learner is shown; grows, never reused
    InboxKind kind = InboxKind::Question;
    std::string receivedAt;
    std::string testId;  // the course's ExamCode the item is about; "" when none was chosen
    int quesNum = 0;     // the question's number, 0 for a diagnosis request
    std::vector<FormField> fields;     // every field posted, in the order posted
    std::vector<InboxAnswer> answers;  // oldest first
    std::string doneAt;                // when the staff marked it done; "" while open

    friend bool operator==(const InboxItem&, const InboxItem&) = default;
};

struct NewsItem {
    std::int64_t id = 0;
    std::string title;  // UTF-8
    std::string text;   // UTF-8
    std::string postedAt;

    friend bool operator==(const NewsItem&, const NewsItem&) = default;
};

// Someone who may use the staff console. The password is kept only as the
// Argon2id string libsodium writes (algorithm, parameters, salt, hash).
struct StaffAccount {
    std::int64_t id = 0;
    std::string name;
    std::string passwordHash;
    // Sessions carry the number they were signed in under; raising it ends
    // every session of the account on every server at once.
    std::int64_t sessionEpoch = 0;
    std::string createdAt;

    friend bool operator==(const StaffAccount&, const StaffAccount&) = default;
};

// A learner as the console lists them.
struct LearnerSummary {
    Learner learner;
    int courses = 0;         // courses with at least one stored history
    std::string lastUpload;  // receivedAt of the newest history; "" before the first

    friend bool operator==(const LearnerSummary&, const LearnerSummary&) = default;
};

struct LearnerPage {
    std::vector<LearnerSummary> rows;  // oldest first
    std::int64_t total = 0;            // every learner the search finds, not only this page's
};

// How many learners keep a history of one course.
struct CourseLearners {
    std::string testId;
    std::int64_t learners = 0;

    friend bool operator==(const CourseLearners&, const CourseLearners&) = default;
};

// A store's connections as /metrics shows them.
struct PoolUsage {
    std::size_t idle = 0;
    std::size_t busy = 0;
    std::uint64_t waits = 0;   // calls that found every connection busy
    double waitedSeconds = 0;  // how long they waited, together
};

// What an asynchronous look-up of a learner's course hands back.
using LearnerCourseFound = std::function<void(Result<std::optional<LearnerCourse>>)>;

// Every call may come from any thread at the same time. A call that fails
// returns the reason and has changed nothing.
class Store {
  public:
    virtual ~Store() = default;

    virtual Result<std::optional<Learner>> findLearner(std::string_view serialHash) = 0;
    // The learner with the date of one course's current version, in one
    // look-up: what every query asks, so it costs one round trip.
    virtual Result<std::optional<LearnerCourse>> findLearnerCourse(std::string_view serialHash,
                                                                   std::string_view testId) = 0;
    // The same look-up without blocking, for a caller on `loop`'s thread:
    // `found` runs later on that loop (or before this returns, when it fails
    // at once). False: this store cannot, and `found` never runs; the caller
    // uses the call above, on a thread that may block.
    virtual bool findLearnerCourse(EventLoop& loop, std::string_view serialHash,
                                   std::string_view testId, LearnerCourseFound found) {
        (void)loop, (void)serialHash, (void)testId, (void)found;
        return false;
    }
    // Fails when a learner with that hash exists already.
    virtual Result<Learner> addLearner(const Sender& learner) = 0;
    // Fails for an unknown learner.
    virtual Status setLearnerDisabled(std::string_view serialHash, bool disabled) = 0;
    // Fails for an unknown learner.
    virtual Status updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                        std::string_view email) = 0;
    // Every learner, oldest first.
    virtual Result<std::vector<Learner>> learners() = 0;
    virtual Result<std::optional<Learner>> learner(std::int64_t id) = 0;
    // The learners whose name or e-mail holds `search` (ASCII letters in
    // either case; every learner when it is empty), oldest first, `limit`
    // of them from the `offset`th, with the number found in all.
    virtual Result<LearnerPage> findLearners(std::string_view search, std::int64_t offset,
                                             std::int64_t limit) = 0;

    // Keeps `upload` as a new version of the sender's course, and the name and
    // e-mail it came with, in one transaction. An unknown sender is created
    // when `createLearner`, otherwise the call fails and stores nothing; a
    // disabled learner is refused the same way. It returns only after the
    // commit is durable.
    virtual Result<HistoryVersion> addHistory(const Sender& sender, bool createLearner,
                                              const HistoryUpload& upload) = 0;
    // The current copy of each of the learner's courses, by course.
    virtual Result<std::vector<HistoryVersion>> currentHistories(std::int64_t learnerId) = 0;
    // Every course some learner keeps a history of, by course.
    virtual Result<std::vector<CourseLearners>> learnersPerCourse() = 0;
    // The course's current copy: the version committed last.
    virtual Result<std::optional<HistoryVersion>> currentHistory(std::int64_t learnerId,
                                                                 std::string_view testId) = 0;
    // Every version of one course, oldest first; of every course when
    // `testId` is empty (by course, then oldest first).
    virtual Result<std::vector<HistoryVersion>> historyVersions(std::int64_t learnerId,
                                                                std::string_view testId) = 0;

    // Keeps `version` (its id and publishedAt are given out here) with those
    // of `files` the store does not hold yet, in one transaction. Every hash
    // the version names must then be held. It fails and stores nothing when
    // the course's current version is not `replacing` (0: the course must be
    // new), so two publishes of one course cannot both win. A file whose
    // bytes do not hash to its name, or a withdrawal naming no earlier
    // version of the same course, is refused too.
    virtual Result<CourseVersion> publishCourse(const CourseVersion& version,
                                                const std::vector<StoredFile>& files,
                                                std::int64_t replacing) = 0;
    // The course's version published last, by question file name.
    virtual Result<std::optional<CourseVersion>> currentCourse(std::string_view course) = 0;
    // The current version of every course, by vendor and then course name.
    virtual Result<std::vector<CourseVersion>> currentCourses() = 0;
    // Every version of one course, oldest first; of every course when
    // `course` is empty (by course, then oldest first).
    virtual Result<std::vector<CourseVersion>> courseVersions(std::string_view course) = 0;
    // The highest version id given out, 0 before the first publish: a cheap
    // way for a server to learn that its copy of the catalog is stale.
    virtual Result<std::int64_t> latestCourseVersionId() = 0;
    // The bytes kept under `hash`.
    virtual Result<std::optional<std::string>> storedFile(std::string_view hash) = 0;

    // Keeps `item` (receipt, receivedAt and answers are given out here; its
    // answers are ignored) and returns it as stored.
    virtual Result<InboxItem> addInboxItem(const InboxItem& item) = 0;
    // Every item, oldest first.
    virtual Result<std::vector<InboxItem>> inboxItems() = 0;
    virtual Result<std::optional<InboxItem>> inboxItem(std::int64_t receipt) = 0;
    // Adds an answer; fails for an unknown receipt.
    virtual Result<InboxAnswer> answerInboxItem(std::int64_t receipt, std::string_view text) = 0;
    // Marks an item done, or open again; fails for an unknown receipt.
    virtual Status setInboxDone(std::int64_t receipt, bool done) = 0;
    // The questions about one question of one course that have at least one
    // answer, the one answered last first.
    virtual Result<std::vector<InboxItem>> answeredQuestions(std::string_view testId,
                                                             int quesNum) = 0;

    virtual Result<NewsItem> addNews(std::string_view title, std::string_view text) = 0;
    // The `limit` notices posted last, newest first.
    virtual Result<std::vector<NewsItem>> latestNews(int limit) = 0;
    // Fails for an unknown notice.
    virtual Status removeNews(std::int64_t id) = 0;

    // Fails when an account of that name exists.
    virtual Result<StaffAccount> addStaff(std::string_view name, std::string_view passwordHash) = 0;
    virtual Result<std::optional<StaffAccount>> findStaff(std::string_view name) = 0;
    virtual Result<std::optional<StaffAccount>> staffAccount(std::int64_t id) = 0;
    // Every account, oldest first.
    virtual Result<std::vector<StaffAccount>> staffAccounts() = 0;
    // Ends every session of the account: its epoch grows by one, which is
    // returned. Fails for an unknown account.
    virtual Result<std::int64_t> endStaffSessions(std::int64_t id) = 0;
    // A new password hash for the account named `name`, which also ends
    // every session of it. Fails for an unknown name.
    virtual Status setStaffPassword(std::string_view name, std::string_view passwordHash) = 0;
    // Fails for an unknown name. Ids are never handed out again, so a
    // session of the removed account cannot come to name a later one.
    virtual Status removeStaff(std::string_view name) = 0;

    // A consistent copy of the whole store at `outPath`, taken while other
    // calls go on. It appears under `outPath` whole or not at all; the
    // store's own file is never a target.
    virtual Status backup(const std::string& outPath) = 0;
    // The schema version the store is at after its migrations.
    virtual Result<int> schemaVersion() = 0;
    // Never waits: a scrape of /metrics must not queue behind the calls.
    [[nodiscard]] virtual PoolUsage poolUsage() const = 0;
};

// Why addHistory refused an upload: the client is answered differently for
// a sender the server does not know (and may not register) and for one
// whose account was disabled than for a store that failed.
bool refusedAsUnknownLearner(const Error& error);
bool refusedAsDisabledLearner(const Error& error);
// Why publishCourse refused: another publish of the course came first, so
// the staff's copy of it is out of date rather than the store broken.
bool refusedAsStalePublish(const Error& error);

// The bytes a published version names: they must be held, so their absence
// is a failure naming the hash rather than an empty answer.
Result<std::string> heldFile(Store& store, std::string_view hash);

// Opens (creating when missing) the SQLite store at `path` and brings its
// schema up to date. A file that exists but is no store, or is from a newer
// release, fails with a message naming it.
Result<std::unique_ptr<Store>> openSqliteStore(const std::string& path);

// Opens the store in the PostgreSQL database that `url` names (a libpq
// connection string, "postgresql://user@host/db" or "host=... dbname=..."),
// which the administrator created, and brings its schema up to date. Many
// servers may share one database. A database with tables of another
// program, or from a newer release, fails with a message naming it.
Result<std::unique_ptr<Store>> openPostgresStore(const std::string& url);

}  // namespace tovalo::server::store
