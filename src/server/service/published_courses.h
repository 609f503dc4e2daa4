#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "server/store/store.h"

namespace tovalo::server::service {

// What the published question files say about their courses, read once per
// catalog: learners and their questions name a course by its ExamCode, the
// catalog by its file.
struct PublishedCourse {
    std::string vendor;
    std::string file;  // the question file's name
    std::string code;
    std::string title;
    int formatKind = 1;
    int questionCount = 0;
    std::optional<int> timeLimitMinutes;
    std::vector<std::string> categories;   // names, in the course's order
    std::map<int, std::string> questions;  // plain text by question number
};

struct PublishedCatalog {
    std::map<std::string, PublishedCourse> byCode;
    std::map<std::string, std::string> codeOfFile;  // question file name → ExamCode
};

class PublishedCourses {
  public:
    explicit PublishedCourses(store::Store& store) : store_(store) {}

    // The current catalog, read again only when a course was published
    // since. A question file that does not read is left out.
    Result<std::shared_ptr<const PublishedCatalog>> current();

  private:
    store::Store& store_;
    std::mutex mutex_;
    std::int64_t readAt_ = -1;
    std::shared_ptr<const PublishedCatalog> catalog_;
};

}  // namespace tovalo::server::service
