#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "server/store/store.h"

// What every implementation of the store shares, so that callers see the
// same times and the same refusals whichever database is behind it.
namespace tovalo::server::store {

// `t` in UTC as "yyyy-mm-ddTHH:MM:SSZ".
std::string utcTimestamp(std::chrono::system_clock::time_point t);

// The refusals that refusedAsUnknownLearner and refusedAsDisabledLearner
// recognise.
Error unknownLearnerError();
Error disabledLearnerError();
// The refusal that refusedAsStalePublish recognises.
Error stalePublishError();
// A store that a later release migrated: this one would misread it.
Error newerSchemaError(int found, int latest, const std::string& where);

// Before a publish takes the write lock: every file must be kept under the
// hash of its own bytes, or the store would serve other content under a
// name that clients trust.
Status checkFileHashes(const std::vector<StoredFile>& files);

// Where a backup is written before it takes the name `outPath`: beside
// it, so that the rename stays in one folder, and under a name no other
// backup running at the same time takes.
std::string partialPathBeside(const std::string& outPath);

// A store's connections, each used by one call at a time.
template <class Connection>
class ConnectionPool {
  public:
    explicit ConnectionPool(std::vector<std::unique_ptr<Connection>> connections)
        : connections_(std::move(connections)) {
        for (const auto& connection : connections_) {
            idle_.push_back(connection.get());
        }
        idleCount_ = idle_.size();
    }

    // Read without the pool's lock, so that watching never slows a call.
    [[nodiscard]] PoolUsage usage() const {
        const std::size_t idle = idleCount_.load(std::memory_order_relaxed);
        return {idle, connections_.size() - std::min(idle, connections_.size()),
                waits_.load(std::memory_order_relaxed),
                static_cast<double>(waited_.load(std::memory_order_relaxed)) / 1e9};
    }

    // A connection for one call; waits while all are in use.
    class Lease {
      public:
        explicit Lease(ConnectionPool& pool) : pool_(pool) {
            std::unique_lock lock(pool_.mutex_);
            if (pool_.idle_.empty()) {
                pool_.waits_.fetch_add(1, std::memory_order_relaxed);
                const auto from = std::chrono::steady_clock::now();
                pool_.returned_.wait(lock, [&] { return !pool_.idle_.empty(); });
                pool_.waited_.fetch_add(
                    static_cast<std::uint64_t>(
                        std::chrono::nanoseconds(std::chrono::steady_clock::now() - from).count()),
                    std::memory_order_relaxed);
            }
            connection_ = pool_.idle_.back();
            pool_.idle_.pop_back();
            pool_.idleCount_.store(pool_.idle_.size(), std::memory_order_relaxed);
        }
        ~Lease() {
            {
                const std::lock_guard lock(pool_.mutex_);
                pool_.idle_.push_back(connection_);
                pool_.idleCount_.store(pool_.idle_.size(), std::memory_order_relaxed);
            }
            pool_.returned_.notify_one();
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        [[nodiscard]] Connection& connection() const { return *connection_; }

      private:
        ConnectionPool& pool_;
        Connection* connection_ = nullptr;
    };

  private:
    std::vector<std::unique_ptr<Connection>> connections_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<Connection*> idle_;
    std::atomic<std::size_t> idleCount_{0};
    std::atomic<std::uint64_t> waits_{0};
    std::atomic<std::uint64_t> waited_{0};  // nanoseconds
};

// The rows every implementation reads, from a row that gives its columns
// by number (integerAt, bytesAt) in the order of the queries' column lists.
template <class Row>
Learner learnerFrom(const Row& row) {
    return Learner{row.integerAt(0), row.bytesAt(1),        row.bytesAt(2),
                   row.bytesAt(3),   row.integerAt(4) != 0, row.bytesAt(5)};
}

// id, learner_id, received_at, test_id, last_update, sent_on, best_rate,
// average_rate, question_count, record
template <class Row>
HistoryVersion versionFrom(const Row& row) {
    HistoryVersion version;
    version.id = row.integerAt(0);
    version.learnerId = row.integerAt(1);
    version.receivedAt = row.bytesAt(2);
    version.upload.testId = row.bytesAt(3);
    version.upload.lastUpdate = row.bytesAt(4);
    version.upload.sentOn = row.bytesAt(5);
    version.upload.bestRate = static_cast<int>(row.integerAt(6));
    version.upload.averageRate = static_cast<int>(row.integerAt(7));
    version.upload.questionCount = static_cast<int>(row.integerAt(8));
    version.upload.record = row.bytesAt(9);
    return version;
}

// id, vendor, course, date_line, qdf_hash, ini_hash or "",
// figure_list_version, withdrawn_from or 0, published_at
template <class Row>
CourseVersion courseFrom(const Row& row) {
    CourseVersion version;
    version.id = row.integerAt(0);
    version.vendor = row.bytesAt(1);
    version.course = row.bytesAt(2);
    version.dateLine = row.bytesAt(3);
    version.qdfHash = row.bytesAt(4);
    version.iniHash = row.bytesAt(5);
    version.figureListVersion = row.integerAt(6);
    version.withdrawnFrom = row.integerAt(7);
    version.publishedAt = row.bytesAt(8);
    return version;
}

// receipt, kind, received_at, test_id, ques_num, done_at
template <class Row>
InboxItem inboxItemFrom(const Row& row) {
    InboxItem item;
    item.receipt = row.integerAt(0);
    item.kind = static_cast<InboxKind>(row.integerAt(1));
    item.receivedAt = row.bytesAt(2);
    item.testId = row.bytesAt(3);
    item.quesNum = static_cast<int>(row.integerAt(4));
    item.doneAt = row.bytesAt(5);
    return item;
}

// The first of what a query found, when it found anything.
template <class T>
Result<std::optional<T>> firstOf(Result<std::vector<T>> found) {
    if (!found) {
        return found.error();
    }
    if (found->empty()) {
        return std::optional<T>();
    }
    return std::optional<T>(std::move(found->front()));
}

}  // namespace tovalo::server::store
