#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "server/http/server.h"
#include "server/service/learner_keys.h"
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
class InboxService {
  public:
    InboxService(store::Store& store, SerialHasher hasher, InboxOptions options);

    void addRoutes(http::Router& router);

    http::Response post(const http::Request& request);
    http::Response faq(const http::Request& request);
    http::Response news(const http::Request& request);

  private:
    // A published course as the FAQ names it.
    struct Course {
        std::string code;
        std::string title;
        int formatKind = 1;
        std::map<int, std::string> questions;  // plain text by question number
    };
    Result<std::shared_ptr<const Course>> course(const std::string& examCode);

    store::Store& store_;
    SerialHasher hasher_;
    InboxOptions options_;
    std::mutex mutex_;
    std::int64_t coursesAt_ = -1;  // the catalog version the cache holds
    std::map<std::string, std::shared_ptr<const Course>> courses_;  // by ExamCode
};

}  // namespace tovalo::server::service
