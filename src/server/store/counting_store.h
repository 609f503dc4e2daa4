#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "server/store/store.h"

namespace tovalo::server::protocol {
class MetricsText;
}

namespace tovalo::server::store {

// The store as the services use it while serving: every call passed on to
// `inner`, and the ones that failed counted by operation for /metrics. The
// refusals callers expect (an unknown or a disabled learner, a publish that
// came second) are answers, not failures of the store, and are not counted.
class CountingStore final : public Store {
  public:
    explicit CountingStore(Store& inner) : inner_(inner) {}

    Result<std::optional<Learner>> findLearner(std::string_view serialHash) override;
    Result<std::optional<LearnerCourse>> findLearnerCourse(std::string_view serialHash,
                                                           std::string_view testId) override;
    bool findLearnerCourse(EventLoop& loop, std::string_view serialHash, std::string_view testId,
                           LearnerCourseFound found) override;
    Result<Learner> addLearner(const Sender& learner) override;
    Status setLearnerDisabled(std::string_view serialHash, bool disabled) override;
    Status updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                std::string_view email) override;
    Result<std::vector<Learner>> learners() override;
    Result<std::optional<Learner>> learner(std::int64_t id) override;
    Result<LearnerPage> findLearners(std::string_view search, std::int64_t offset,
                                     std::int64_t limit) override;
    Result<HistoryVersion> addHistory(const Sender& sender, bool createLearner,
                                      const HistoryUpload& upload) override;
    Result<std::optional<HistoryVersion>> currentHistory(std::int64_t learnerId,
                                                         std::string_view testId) override;
    Result<std::vector<HistoryVersion>> historyVersions(std::int64_t learnerId,
                                                        std::string_view testId) override;
    Result<std::vector<HistoryVersion>> currentHistories(std::int64_t learnerId) override;
    Result<std::vector<CourseLearners>> learnersPerCourse() override;
    Result<CourseVersion> publishCourse(const CourseVersion& version,
                                        const std::vector<StoredFile>& files,
                                        std::int64_t replacing) override;
    Result<std::optional<CourseVersion>> currentCourse(std::string_view course) override;
    Result<std::vector<CourseVersion>> currentCourses() override;
    Result<std::vector<CourseVersion>> courseVersions(std::string_view course) override;
    Result<std::int64_t> latestCourseVersionId() override;
    Result<std::optional<std::string>> storedFile(std::string_view hash) override;
    Result<InboxItem> addInboxItem(const InboxItem& item) override;
    Result<std::vector<InboxItem>> inboxItems() override;
    Result<std::optional<InboxItem>> inboxItem(std::int64_t receipt) override;
    Result<InboxAnswer> answerInboxItem(std::int64_t receipt, std::string_view text) override;
    Status setInboxDone(std::int64_t receipt, bool done) override;
    Result<std::vector<InboxItem>> answeredQuestions(std::string_view testId, int quesNum) override;
    Result<NewsItem> addNews(std::string_view title, std::string_view text) override;
    Result<std::vector<NewsItem>> latestNews(int limit) override;
    Status removeNews(std::int64_t id) override;
    Result<StaffAccount> addStaff(std::string_view name, std::string_view passwordHash) override;
    Result<std::optional<StaffAccount>> findStaff(std::string_view name) override;
    Result<std::optional<StaffAccount>> staffAccount(std::int64_t id) override;
    Result<std::vector<StaffAccount>> staffAccounts() override;
    Result<std::int64_t> endStaffSessions(std::int64_t id) override;
    Status setStaffPassword(std::string_view name, std::string_view passwordHash) override;
    Status removeStaff(std::string_view name) override;
    Status backup(const std::string& outPath) override;
    Result<int> schemaVersion() override;
    PoolUsage poolUsage() const override { return inner_.poolUsage(); }

    // The failures by operation (every operation, failed or not) and the
    // pool's connections.
    void writeMetrics(protocol::MetricsText& out) const;

  private:
    enum Operation : std::size_t {
        kFindLearner,
        kFindLearnerCourse,
        kAddLearner,
        kSetLearnerDisabled,
        kUpdateLearnerContact,
        kLearners,
        kAddHistory,
        kCurrentHistory,
        kHistoryVersions,
        kPublishCourse,
        kCurrentCourse,
        kCurrentCourses,
        kCourseVersions,
        kLatestCourseVersionId,
        kStoredFile,
        kAddInboxItem,
        kInboxItems,
        kInboxItem,
        kAnswerInboxItem,
        kAnsweredQuestions,
        kAddNews,
        kLatestNews,
        kBackup,
        kSchemaVersion,
        kLearner,
        kFindLearners,
        kCurrentHistories,
        kLearnersPerCourse,
        kSetInboxDone,
        kRemoveNews,
        kAddStaff,
        kFindStaff,
        kStaffAccount,
        kStaffAccounts,
        kEndStaffSessions,
        kSetStaffPassword,
        kRemoveStaff,
        kOperations
    };

    template <class T>
    Result<T> counted(Operation operation, Result<T> result);

    Store& inner_;
    std::array<std::atomic<std::uint64_t>, kOperations> failures_{};
};

}  // namespace tovalo::server::store
