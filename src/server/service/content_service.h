#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "server/http/server.h"
#include "server/store/store.h"

namespace tovalo::server::service {

struct ContentOptions {
    // Where clients ask for a question file ("?…&QDFName=NAME&…").
    std::string questionPath = "/update/qdf.cgi";
    // Settings files and figures are this folder + "/" + their name.
    std::string figurePath = "/update/img";
};

// The question file update: the current version of each published course,
// its settings file and its figures, as clients fetch them.
class ContentService {
  public:
    ContentService(store::Store& store, ContentOptions options);

    void addRoutes(http::Router& router);

    http::Response questionFile(const http::Request& request);
    http::Response figureFile(const http::Request& request);

  private:
    // What is published now, by the names clients ask for.
    struct Catalog {
        std::int64_t latest = -1;
        std::map<std::string, store::CourseVersion> courses;  // by question file name
        std::map<std::string, std::string> files;             // settings and figure name → hash
    };
    // An answer body made once and sent as often as asked.
    struct Body {
        std::string bytes;
        std::string etag;
        std::string contentType;
    };
    Result<std::shared_ptr<const Catalog>> catalog();
    Result<std::shared_ptr<const Body>> body(const std::string& key,
                                             const std::function<Result<Body>()>& make);
    http::Response answer(const http::Request& request, const Body& body);
    // The stored file `hash`, served as `name`: made into a body by `shape`
    // once, then sent as often as asked.
    http::Response stored(const http::Request& request, const std::string& hash,
                          const std::string& name,
                          const std::function<Result<Body>(std::string)>& shape);

    store::Store& store_;
    ContentOptions options_;
    std::mutex mutex_;
    std::shared_ptr<const Catalog> catalog_;
    std::map<std::string, std::shared_ptr<const Body>> bodies_;
    std::size_t cachedBytes_ = 0;
};

}  // namespace tovalo::server::service
