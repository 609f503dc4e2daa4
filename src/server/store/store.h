#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

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

// Every call may come from any thread at the same time. A call that fails
// returns the reason and has changed nothing.
class Store {
  public:
    virtual ~Store() = default;

    virtual Result<std::optional<Learner>> findLearner(std::string_view serialHash) = 0;
    // Fails when a learner with that hash exists already.
    virtual Result<Learner> addLearner(const Sender& learner) = 0;
    // Fails for an unknown learner.
    virtual Status setLearnerDisabled(std::string_view serialHash, bool disabled) = 0;
    // Fails for an unknown learner.
    virtual Status updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                        std::string_view email) = 0;
    // Every learner, oldest first.
    virtual Result<std::vector<Learner>> learners() = 0;

    // Keeps `upload` as a new version of the sender's course, and the name and
    // e-mail it came with, in one transaction. An unknown sender is created
    // when `createLearner`, otherwise the call fails and stores nothing; a
    // disabled learner is refused the same way. It returns only after the
    // commit is durable.
    virtual Result<HistoryVersion> addHistory(const Sender& sender, bool createLearner,
                                              const HistoryUpload& upload) = 0;
    // The course's current copy: the version committed last.
    virtual Result<std::optional<HistoryVersion>> currentHistory(std::int64_t learnerId,
                                                                 std::string_view testId) = 0;
    // Every version of one course, oldest first; of every course when
    // `testId` is empty (by course, then oldest first).
    virtual Result<std::vector<HistoryVersion>> historyVersions(std::int64_t learnerId,
                                                                std::string_view testId) = 0;

    // A consistent copy of the whole store at `outPath`, taken while other
    // calls go on. It appears under `outPath` whole or not at all; the
    // store's own file is never a target.
    virtual Status backup(const std::string& outPath) = 0;
    // The schema version the store is at after its migrations.
    virtual Result<int> schemaVersion() = 0;
};

// Why addHistory refused an upload: the client is answered differently for
// a sender the server does not know (and may not register) and for one
// whose account was disabled than for a store that failed.
bool refusedAsUnknownLearner(const Error& error);
bool refusedAsDisabledLearner(const Error& error);

// Opens (creating when missing) the SQLite store at `path` and brings its
// schema up to date. A file that exists but is no store, or is from a newer
// release, fails with a message naming it.
Result<std::unique_ptr<Store>> openSqliteStore(const std::string& path);

}  // namespace tovalo::server::store
