#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "server/http/server.h"
#include "server/service/learner_keys.h"
#include "server/service/published_courses.h"
#include "server/store/store.h"

namespace tovalo::server::service {

struct InboxOptions {
    // Where the support and diagnosis pages post (the CGI_URL address).
    std::string formPath = "/cgi-bin/tovalo/support.cgi";
    // The FAQ of one question ("?testid=CODE&testno=N", the urlref address).
    std::string faqPath = "/faq/index.cgi";
    // The notices the course menu's news button opens (the online address).
    std::string newsPath = "/news/index.html";
};

// How many notices the news page shows.
inline constexpr int kNewsShown = 20;

// What learners' browsers post and read: questions about exam questions and
// diagnosis requests, the FAQ their answers become, and the news.
// An HTML page of the server's own as an answer.
http::Response pageAnswer(int status, std::string body);

class InboxService {
  public:
    InboxService(store::Store& store, PublishedCourses& courses, SerialHasher hasher,
                 InboxOptions options);

    void addRoutes(http::Router& router);

    http::Response post(const http::Request& request);
    http::Response faq(const http::Request& request);
    http::Response news(const http::Request& request);

  private:
    store::Store& store_;
    PublishedCourses& courses_;
    SerialHasher hasher_;
    InboxOptions options_;
};

}  // namespace tovalo::server::service
