#include "server/store/counting_store.h"

#include "server/protocol/metrics_text.h"

namespace tovalo::server::store {

namespace {

// In the order of CountingStore::Operation: the label values, named as the
// calls are.
constexpr std::string_view kOperationNames[] = {"findLearner",
                                                "findLearnerCourse",
                                                "addLearner",
                                                "setLearnerDisabled",
                                                "updateLearnerContact",
                                                "learners",
                                                "addHistory",
                                                "currentHistory",
                                                "historyVersions",
                                                "publishCourse",
                                                "currentCourse",
                                                "currentCourses",
                                                "courseVersions",
                                                "latestCourseVersionId",
                                                "storedFile",
                                                "addInboxItem",
                                                "inboxItems",
                                                "inboxItem",
                                                "answerInboxItem",
                                                "answeredQuestions",
                                                "addNews",
                                                "latestNews",
                                                "backup",
                                                "schemaVersion",
                                                "learner",
                                                "findLearners",
                                                "currentHistories",
                                                "learnersPerCourse",
                                                "setInboxDone",
                                                "removeNews",
                                                "addStaff",
                                                "findStaff",
                                                "staffAccount",
                                                "staffAccounts",
                                                "endStaffSessions",
                                                "setStaffPassword",
                                                "removeStaff"};

}  // namespace

template <class T>
Result<T> CountingStore::counted(Operation operation, Result<T> result) {
    if (!result && !refusedAsUnknownLearner(result.error()) &&
        !refusedAsDisabledLearner(result.error()) && !refusedAsStalePublish(result.error())) {
        failures_[operation].fetch_add(1, std::memory_order_relaxed);
    }
    return result;
}

Result<std::optional<Learner>> CountingStore::findLearner(std::string_view serialHash) {
    return counted(kFindLearner, inner_.findLearner(serialHash));
}

Result<std::optional<LearnerCourse>> CountingStore::findLearnerCourse(std::string_view serialHash,
                                                                      std::string_view testId) {
    return counted(kFindLearnerCourse, inner_.findLearnerCourse(serialHash, testId));
}

bool CountingStore::findLearnerCourse(EventLoop& loop, std::string_view serialHash,
                                      std::string_view testId, LearnerCourseFound found) {
    return inner_.findLearnerCourse(
        loop, serialHash, testId,
        [this, found = std::move(found)](Result<std::optional<LearnerCourse>> result) {
            found(counted(kFindLearnerCourse, std::move(result)));
        });
}

Result<Learner> CountingStore::addLearner(const Sender& learner) {
    return counted(kAddLearner, inner_.addLearner(learner));
}

Status CountingStore::setLearnerDisabled(std::string_view serialHash, bool disabled) {
    return counted(kSetLearnerDisabled, inner_.setLearnerDisabled(serialHash, disabled));
}

Status CountingStore::updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                           std::string_view email) {
    return counted(kUpdateLearnerContact, inner_.updateLearnerContact(learnerId, name, email));
}

Result<std::vector<Learner>> CountingStore::learners() {
    return counted(kLearners, inner_.learners());
}

Result<std::optional<Learner>> CountingStore::learner(std::int64_t id) {
    return counted(kLearner, inner_.learner(id));
}

Result<LearnerPage> CountingStore::findLearners(std::string_view search, std::int64_t offset,
                                                std::int64_t limit) {
    return counted(kFindLearners, inner_.findLearners(search, offset, limit));
}

Result<std::vector<HistoryVersion>> CountingStore::currentHistories(std::int64_t learnerId) {
    return counted(kCurrentHistories, inner_.currentHistories(learnerId));
}

Result<std::vector<CourseLearners>> CountingStore::learnersPerCourse() {
    return counted(kLearnersPerCourse, inner_.learnersPerCourse());
}

Status CountingStore::setInboxDone(std::int64_t receipt, bool done) {
    return counted(kSetInboxDone, inner_.setInboxDone(receipt, done));
}

Status CountingStore::removeNews(std::int64_t id) {
    return counted(kRemoveNews, inner_.removeNews(id));
}

Result<StaffAccount> CountingStore::addStaff(std::string_view name, std::string_view passwordHash) {
    return counted(kAddStaff, inner_.addStaff(name, passwordHash));
}

Result<std::optional<StaffAccount>> CountingStore::findStaff(std::string_view name) {
    return counted(kFindStaff, inner_.findStaff(name));
}

Result<std::optional<StaffAccount>> CountingStore::staffAccount(std::int64_t id) {
    return counted(kStaffAccount, inner_.staffAccount(id));
}

Result<std::vector<StaffAccount>> CountingStore::staffAccounts() {
    return counted(kStaffAccounts, inner_.staffAccounts());
}

Result<std::int64_t> CountingStore::endStaffSessions(std::int64_t id) {
    return counted(kEndStaffSessions, inner_.endStaffSessions(id));
}

Status CountingStore::setStaffPassword(std::string_view name, std::string_view passwordHash) {
    return counted(kSetStaffPassword, inner_.setStaffPassword(name, passwordHash));
}

Status CountingStore::removeStaff(std::string_view name) {
    return counted(kRemoveStaff, inner_.removeStaff(name));
}

Result<HistoryVersion> CountingStore::addHistory(const Sender& sender, bool createLearner,
                                                 const HistoryUpload& upload) {
    return counted(kAddHistory, inner_.addHistory(sender, createLearner, upload));
}

Result<std::optional<HistoryVersion>> CountingStore::currentHistory(std::int64_t learnerId,
                                                                    std::string_view testId) {
    return counted(kCurrentHistory, inner_.currentHistory(learnerId, testId));
}

Result<std::vector<HistoryVersion>> CountingStore::historyVersions(std::int64_t learnerId,
                                                                   std::string_view testId) {
    return counted(kHistoryVersions, inner_.historyVersions(learnerId, testId));
}

Result<CourseVersion> CountingStore::publishCourse(const CourseVersion& version,
                                                   const std::vector<StoredFile>& files,
                                                   std::int64_t replacing) {
    return counted(kPublishCourse, inner_.publishCourse(version, files, replacing));
}

Result<std::optional<CourseVersion>> CountingStore::currentCourse(std::string_view course) {
    return counted(kCurrentCourse, inner_.currentCourse(course));
}

Result<std::vector<CourseVersion>> CountingStore::currentCourses() {
    return counted(kCurrentCourses, inner_.currentCourses());
}

Result<std::vector<CourseVersion>> CountingStore::courseVersions(std::string_view course) {
    return counted(kCourseVersions, inner_.courseVersions(course));
}

Result<std::int64_t> CountingStore::latestCourseVersionId() {
    return counted(kLatestCourseVersionId, inner_.latestCourseVersionId());
}

Result<std::optional<std::string>> CountingStore::storedFile(std::string_view hash) {
    return counted(kStoredFile, inner_.storedFile(hash));
}

Result<InboxItem> CountingStore::addInboxItem(const InboxItem& item) {
    return counted(kAddInboxItem, inner_.addInboxItem(item));
}

Result<std::vector<InboxItem>> CountingStore::inboxItems() {
    return counted(kInboxItems, inner_.inboxItems());
}

Result<std::optional<InboxItem>> CountingStore::inboxItem(std::int64_t receipt) {
    return counted(kInboxItem, inner_.inboxItem(receipt));
}

Result<InboxAnswer> CountingStore::answerInboxItem(std::int64_t receipt, std::string_view text) {
    return counted(kAnswerInboxItem, inner_.answerInboxItem(receipt, text));
}

Result<std::vector<InboxItem>> CountingStore::answeredQuestions(std::string_view testId,
                                                                int quesNum) {
    return counted(kAnsweredQuestions, inner_.answeredQuestions(testId, quesNum));
}

Result<NewsItem> CountingStore::addNews(std::string_view title, std::string_view text) {
    return counted(kAddNews, inner_.addNews(title, text));
}

Result<std::vector<NewsItem>> CountingStore::latestNews(int limit) {
    return counted(kLatestNews, inner_.latestNews(limit));
}

Status CountingStore::backup(const std::string& outPath) {
    return counted(kBackup, inner_.backup(outPath));
}

Result<int> CountingStore::schemaVersion() {
    return counted(kSchemaVersion, inner_.schemaVersion());
}

void CountingStore::writeMetrics(protocol::MetricsText& out) const {
    static_assert(std::size(kOperationNames) == kOperations);
    using protocol::MetricType;
    out.family("tovalo_store_errors_total", MetricType::Counter,
               "Store calls that failed, by operation.");
    for (std::size_t i = 0; i < kOperations; ++i) {
        out.sample("tovalo_store_errors_total", {{"operation", kOperationNames[i]}},
                   static_cast<double>(failures_[i].load(std::memory_order_relaxed)));
    }
    const PoolUsage pool = inner_.poolUsage();
    out.family("tovalo_store_pool_connections", MetricType::Gauge,
               "The store's connections, idle or busy with a call.");
    out.sample("tovalo_store_pool_connections", {{"state", "idle"}},
               static_cast<double>(pool.idle));
    out.sample("tovalo_store_pool_connections", {{"state", "busy"}},
               static_cast<double>(pool.busy));
    out.family("tovalo_store_pool_waits_total", MetricType::Counter,
               "Calls that found every connection busy and waited for one.");
    out.sample("tovalo_store_pool_waits_total", {}, static_cast<double>(pool.waits));
    out.family("tovalo_store_pool_wait_seconds_total", MetricType::Counter,
               "Time those calls waited, together.");
    out.sample("tovalo_store_pool_wait_seconds_total", {}, pool.waitedSeconds);
}

}  // namespace tovalo::server::store
