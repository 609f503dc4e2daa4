#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <variant>

#include "server/http/server.h"
#include "server/protocol/sync_wire.h"
#include "server/service/learner_keys.h"
#include "server/service/refusal_throttle.h"
#include "server/store/store.h"

namespace tovalo::server::service {

// Told to a learner the server does not serve: unknown while registration
// is closed, or disabled by the staff. One message for both, so the answer
// does not tell who exists.
inline constexpr const char* kNotRegistered =
    "この利用者は登録されていません。管理者に連絡してください。";

enum class Registration { Open, Closed };

struct SyncOptions {
    std::string queryPath = "/sync/query.cgi";
    std::string uploadPath = "/sync/upload.cgi";
    std::string downloadPath = "/sync/download.cgi";
    Registration registration = Registration::Open;
    // No refusal is answered sooner than this after its request arrived.
    std::chrono::milliseconds refusalFloor{50};
    RefusalThrottle::Settings throttle;
};

// The three requests of the history synchronisation: the query for a
// course's date, the upload of a course's history, and its download.
class SyncService {
  public:
    SyncService(store::Store& store, SerialHasher hasher, SyncOptions options);

    void addRoutes(http::Router& router);

    http::Response query(const http::Request& request);
    // The query on the connection's loop, when the store can look up
    // without blocking; a learner whose name or e-mail changed is handed
    // over to query(), which writes them.
    bool quickQuery(const http::Request& request, EventLoop& loop, http::Reply reply);
    http::Response upload(const http::Request& request);
    http::Response download(const http::Request& request);

  private:
    struct Found {
        std::optional<store::Learner> learner;
        bool refused = false;  // unknown with registration closed, or disabled
    };
    Result<Found> identify(const std::string& serial);
    // Whether a learner (nullptr: unknown) is refused.
    [[nodiscard]] bool refused(const store::Learner* learner) const;
    // What a query or a download asks about: a course of a known learner that
    // has a current version, or the answer to give instead.
    struct Asked {
        std::string serial;
        std::int64_t learnerId = 0;
        std::string testId;
        std::string lastUpdate;  // of the current version
    };
    std::variant<http::Response, Asked> lookUp(const http::Request& request, int refusedStatus,
                                               int absentStatus,
                                               std::chrono::steady_clock::time_point arrived);
    // What the look-up found means; a changed name or e-mail is written first.
    std::variant<http::Response, Asked> settle(const http::Request& request,
                                               protocol::PersonFields& person,
                                               Result<std::optional<store::LearnerCourse>> found,
                                               int refusedStatus, int absentStatus,
                                               std::chrono::steady_clock::time_point arrived);
    http::Response queryAnswer(std::variant<http::Response, Asked> asked,
                               std::chrono::steady_clock::time_point arrived);
    // The answer to a refused learner, timed so it says nothing by its speed.
    http::Response refusal(const http::Request& request, int status,
                           std::chrono::steady_clock::time_point arrived);
    void served(std::chrono::steady_clock::time_point arrived);

    store::Store& store_;
    SerialHasher hasher_;
    SyncOptions options_;
    RefusalThrottle throttle_;
    // The slowest recent answer to a known learner, in microseconds; it
    // decays so that one slow moment does not slow refusals for ever.
    std::atomic<long long> slowestKnown_{0};
};

}  // namespace tovalo::server::service
