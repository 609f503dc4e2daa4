#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "server/console/security.h"
#include "server/http/server.h"
#include "server/service/published_courses.h"
#include "server/store/store.h"

namespace tovalo::server::console {

struct ConsoleOptions {
    // A session unused this long ends.
    std::chrono::seconds idle{30 * 60};
    // The server speaks TLS itself: cookies are sent over it only. Behind a
    // balancer that ends TLS, its "X-Forwarded-Proto: https" does the same.
    bool tls = false;
    // Learners per page of the list.
    std::int64_t pageSize = 50;
};

// The staff console under /console/: sign-in, learners, courses, the inbox
// and the news. Nothing but the sign-in page answers without a session.
class ConsoleService {
  public:
    ConsoleService(store::Store& store, service::PublishedCourses& courses,
                   std::string_view serverSecret, ConsoleOptions options);

    void addRoutes(http::Router& router);
    http::Response handle(const http::Request& request);

  private:
    struct Visit;

    http::Response signIn(const http::Request& request, Visit& visit);
    http::Response route(const http::Request& request, Visit& visit);
    http::Response learners(const http::Request& request, Visit& visit);
    http::Response learner(std::int64_t id, Visit& visit);
    http::Response courses(Visit& visit, std::string_view message, std::string_view error,
                           int status = 200);
    http::Response publish(const http::Request& request, Visit& visit);
    http::Response withdraw(Visit& visit);
    http::Response inbox(Visit& visit);
    http::Response inboxItem(std::int64_t receipt, Visit& visit, std::string_view error = {},
                             int status = 200);
    http::Response answer(std::int64_t receipt, Visit& visit);
    http::Response markDone(std::int64_t receipt, Visit& visit);
    http::Response news(Visit& visit, std::string_view error = {}, int status = 200);
    http::Response addNews(Visit& visit);
    http::Response removeNews(Visit& visit);
    http::Response signOut(Visit& visit);

    store::Store& store_;
    service::PublishedCourses& courses_;
    Sessions sessions_;
    SignInThrottle throttle_;
    ConsoleOptions options_;
};

}  // namespace tovalo::server::console
