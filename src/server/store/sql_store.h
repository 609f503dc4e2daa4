#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/store/statements.h"
#include "server/store/store.h"

namespace tovalo::server::store {

// The calls every database answers with the same statements, written once.
// `Impl` (which derives from SqlStore<Impl, Connection>) decides how they run:
//   template <class T, class Body> Result<T> read(Body&& body)
//       one statement on a connection of the pool, outside a transaction;
//   template <class T, class Body> Result<T> write(Body&& body)
//       a transaction that commits what `body` returns, durably;
//   template <class T, class Body> Result<T> snapshot(Body&& body)
//       reads of several statements on one snapshot;
//   static constexpr const char* kFindForUpload
//       how an upload finds its learner (and takes its turn among the
//       learner's uploads);
//   Status lockPublishing(Connection&)
//       what a publish takes before it looks at the current version;
//   const std::string& name() const
//       what its own errors name;
//   static courses(Connection&, sql, values...), inbox(Connection&, sql, values...)
//       the course versions or inbox items a statement finds, with what
//       they hold.
template <class Impl, class Connection>
class SqlStore : public Store {
  public:
    using Store::findLearnerCourse;

    Result<std::optional<Learner>> findLearner(std::string_view serialHash) override {
        return impl().template read<std::optional<Learner>>([&](Connection& connection) {
            return findLearnerIn(connection, sql::kFindLearner, serialHash);
        });
    }

    Result<std::optional<LearnerCourse>> findLearnerCourse(std::string_view serialHash,
                                                           std::string_view testId) override {
        return impl().template read<std::optional<LearnerCourse>>([&](Connection& connection) {
            return findLearnerCourseIn(connection, serialHash, testId);
        });
    }

    Result<Learner> addLearner(const Sender& learner) override {
        return impl().template write<Learner>([&](Connection& connection) -> Result<Learner> {
            Result<std::optional<Learner>> added = insertLearner(connection, learner);
            if (!added) {
                return added.error();
            }
            if (!added->has_value()) {
                return Error{"この学習者はすでに登録されています", impl().name(), 0};
            }
            return std::move(**added);
        });
    }

    Status setLearnerDisabled(std::string_view serialHash, bool disabled) override {
        return impl().template write<Ok>([&](Connection& connection) {
            return changeLearner(connection, sql::kSetDisabled, std::int64_t{disabled ? 1 : 0},
                                 serialHash);
        });
    }

    Status updateLearnerContact(std::int64_t learnerId, std::string_view name,
                                std::string_view email) override {
        return impl().template write<Ok>([&](Connection& connection) {
            return changeLearner(connection, sql::kSetContact, name, email, learnerId);
        });
    }

    Result<std::vector<Learner>> learners() override {
        return impl().template read<std::vector<Learner>>([&](Connection& connection) {
            return rowsOf<Learner>(connection, sql::kAllLearners,
                                   [](const auto& row) { return learnerFrom(row); });
        });
    }

    Result<std::optional<Learner>> learner(std::int64_t id) override {
        return impl().template read<std::optional<Learner>>([&](Connection& connection) {
            return firstOf(rowsOf<Learner>(
                connection, sql::kLearner, [](const auto& row) { return learnerFrom(row); }, id));
        });
    }

    Result<LearnerPage> findLearners(std::string_view search, std::int64_t offset,
                                     std::int64_t limit) override {
        return impl().template snapshot<LearnerPage>([&](Connection& connection) {
            return findLearnersIn(connection, search, offset, limit);
        });
    }

    Result<std::vector<HistoryVersion>> currentHistories(std::int64_t learnerId) override {
        return impl().template read<std::vector<HistoryVersion>>([&](Connection& connection) {
            return rowsOf<HistoryVersion>(
                connection, sql::kCurrentHistories,
                [](const auto& row) { return versionFrom(row); }, learnerId);
        });
    }

    Result<std::vector<CourseLearners>> learnersPerCourse() override {
        return impl().template read<std::vector<CourseLearners>>([&](Connection& connection) {
            return rowsOf<CourseLearners>(connection, sql::kLearnersPerCourse, [](const auto& row) {
                return CourseLearners{row.bytesAt(0), row.integerAt(1)};
            });
        });
    }

    Result<HistoryVersion> addHistory(const Sender& sender, bool createLearner,
                                      const HistoryUpload& upload) override {
        return impl().template write<HistoryVersion>([&](Connection& connection) {
            return addHistoryIn(connection, Impl::kFindForUpload, sender, createLearner, upload);
        });
    }

    Result<std::optional<HistoryVersion>> currentHistory(std::int64_t learnerId,
                                                         std::string_view testId) override {
        return impl().template read<std::optional<HistoryVersion>>([&](Connection& connection) {
            return firstOf(rowsOf<HistoryVersion>(
                connection, sql::kCurrentHistory, [](const auto& row) { return versionFrom(row); },
                learnerId, testId));
        });
    }

    Result<std::vector<HistoryVersion>> historyVersions(std::int64_t learnerId,
                                                        std::string_view testId) override {
        return impl().template read<std::vector<HistoryVersion>>([&](Connection& connection) {
            const auto version = [](const auto& row) { return versionFrom(row); };
            return testId.empty()
                       ? rowsOf<HistoryVersion>(connection, sql::kAllVersions, version, learnerId)
                       : rowsOf<HistoryVersion>(connection, sql::kCourseVersions, version,
                                                learnerId, testId);
        });
    }

    Result<CourseVersion> publishCourse(const CourseVersion& version,
                                        const std::vector<StoredFile>& files,
                                        std::int64_t replacing) override {
        if (Status checked = checkFileHashes(files); !checked) {
            return Error{checked.error().message, impl().name(), 0};
        }
        return impl().template write<CourseVersion>(
            [&](Connection& connection) -> Result<CourseVersion> {
                if (Status locked = impl().lockPublishing(connection); !locked) {
                    return locked.error();
                }
                return publishIn(connection, version, files, replacing);
            });
    }

    Result<std::optional<CourseVersion>> currentCourse(std::string_view course) override {
        return impl().template snapshot<std::optional<CourseVersion>>([&](Connection& connection) {
            return firstOf(Impl::courses(connection, sql::kCurrentCourse, course));
        });
    }

    Result<std::vector<CourseVersion>> currentCourses() override {
        return impl().template snapshot<std::vector<CourseVersion>>([&](Connection& connection) {
            return Impl::courses(connection, sql::kCurrentCourses);
        });
    }

    Result<std::vector<CourseVersion>> courseVersions(std::string_view course) override {
        return impl().template snapshot<std::vector<CourseVersion>>([&](Connection& connection) {
            return course.empty() ? Impl::courses(connection, sql::kEveryCourseVersion)
                                  : Impl::courses(connection, sql::kVersionsOfCourse, course);
        });
    }

    Result<std::int64_t> latestCourseVersionId() override {
        return impl().template read<std::int64_t>(
            [&](Connection& connection) -> Result<std::int64_t> {
                const Result<std::optional<std::int64_t>> latest =
                    firstInteger(connection, sql::kLatestCourseVersionId);
                if (!latest) {
                    return latest.error();
                }
                return latest->value_or(0);
            });
    }

    Result<std::optional<std::string>> storedFile(std::string_view hash) override {
        return impl().template read<std::optional<std::string>>([&](Connection& connection) {
            return firstOf(rowsOf<std::string>(
                connection, sql::kFileBytes, [](const auto& row) { return row.bytesAt(0); }, hash));
        });
    }

    Result<InboxItem> addInboxItem(const InboxItem& item) override {
        return impl().template write<InboxItem>(
            [&](Connection& connection) { return addInboxItemIn(connection, item); });
    }

    Result<std::vector<InboxItem>> inboxItems() override {
        return impl().template snapshot<std::vector<InboxItem>>(
            [&](Connection& connection) { return Impl::inbox(connection, sql::kEveryInboxItem); });
    }

    Result<std::optional<InboxItem>> inboxItem(std::int64_t receipt) override {
        return impl().template snapshot<std::optional<InboxItem>>([&](Connection& connection) {
            return firstOf(Impl::inbox(connection, sql::kInboxItem, receipt));
        });
    }

    Result<InboxAnswer> answerInboxItem(std::int64_t receipt, std::string_view text) override {
        return impl().template write<InboxAnswer>(
            [&](Connection& connection) { return answerInboxItemIn(connection, receipt, text); });
    }

    Status setInboxDone(std::int64_t receipt, bool done) override {
        const std::string at = done ? utcTimestamp(std::chrono::system_clock::now()) : "";
        return impl().template write<Ok>([&](Connection& connection) {
            return changeOne(connection, sql::kSetInboxDone,
                             "受付番号 " + std::to_string(receipt) + " の問い合わせはありません",
                             std::string_view(at), receipt);
        });
    }

    Result<std::vector<InboxItem>> answeredQuestions(std::string_view testId,
                                                     int quesNum) override {
        return impl().template snapshot<std::vector<InboxItem>>([&](Connection& connection) {
            return Impl::inbox(connection, sql::kAnsweredQuestions,
                               static_cast<std::int64_t>(InboxKind::Question), testId,
                               std::int64_t{quesNum});
        });
    }

    Result<NewsItem> addNews(std::string_view title, std::string_view text) override {
        return impl().template write<NewsItem>(
            [&](Connection& connection) { return addNewsIn(connection, title, text); });
    }

    Result<std::vector<NewsItem>> latestNews(int limit) override {
        return impl().template read<std::vector<NewsItem>>(
            [&](Connection& connection) { return latestNewsIn(connection, limit); });
    }

    Status removeNews(std::int64_t id) override {
        return impl().template write<Ok>([&](Connection& connection) {
            return changeOne(connection, sql::kRemoveNews,
                             "お知らせ " + std::to_string(id) + " はありません", id);
        });
    }

    Result<StaffAccount> addStaff(std::string_view name, std::string_view passwordHash) override {
        return impl().template write<StaffAccount>(
            [&](Connection& connection) { return addStaffIn(connection, name, passwordHash); });
    }

    Result<std::optional<StaffAccount>> findStaff(std::string_view name) override {
        return impl().template read<std::optional<StaffAccount>>([&](Connection& connection) {
            return firstOf(rowsOf<StaffAccount>(
                connection, sql::kFindStaff, [](const auto& row) { return staffFrom(row); }, name));
        });
    }

    Result<std::optional<StaffAccount>> staffAccount(std::int64_t id) override {
        return impl().template read<std::optional<StaffAccount>>([&](Connection& connection) {
            return firstOf(rowsOf<StaffAccount>(
                connection, sql::kStaffAccount, [](const auto& row) { return staffFrom(row); },
                id));
        });
    }

    Result<std::vector<StaffAccount>> staffAccounts() override {
        return impl().template read<std::vector<StaffAccount>>([&](Connection& connection) {
            return rowsOf<StaffAccount>(connection, sql::kStaffAccounts,
                                        [](const auto& row) { return staffFrom(row); });
        });
    }

    Result<std::int64_t> endStaffSessions(std::int64_t id) override {
        return impl().template write<std::int64_t>(
            [&](Connection& connection) -> Result<std::int64_t> {
                const Result<std::optional<std::int64_t>> epoch =
                    firstInteger(connection, sql::kEndStaffSessions, id);
                if (!epoch) {
                    return epoch.error();
                }
                if (!epoch->has_value()) {
                    return Error{"職員 " + std::to_string(id) + " はいません", impl().name(), 0};
                }
                return **epoch;
            });
    }

    Status setStaffPassword(std::string_view name, std::string_view passwordHash) override {
        return impl().template write<Ok>([&](Connection& connection) {
            return changeOne(connection, sql::kSetStaffPassword, unknownStaff(name), passwordHash,
                             name);
        });
    }

    Status removeStaff(std::string_view name) override {
        return impl().template write<Ok>([&](Connection& connection) {
            return changeOne(connection, sql::kRemoveStaff, unknownStaff(name), name);
        });
    }

  private:
    static std::string unknownStaff(std::string_view name) {
        return "この名前の職員はいません: " + std::string(name);
    }

    Impl& impl() { return static_cast<Impl&>(*this); }
};

}  // namespace tovalo::server::store
