#include "server/service/content_service.h"

#include <algorithm>
#include <ctime>

#include "core/common/sha256.h"
#include "core/text/trim.h"
#include "core/update/update_rules.h"
#include "server/protocol/course_files.h"
#include "server/protocol/form_wire.h"
#include "server/service/zip_pack.h"

namespace tovalo::server::service {

namespace {

// Answers are kept in memory once made; past this the cache starts again,
// so a server with many large courses stays within its means.
constexpr std::size_t kCacheBytes = 256u << 20;

http::Response textStatus(int status, const std::string& message) {
    http::Response r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.body = message + "\n";
    return r;
}

std::string contentTypeOf(std::string_view name) {
    const std::string lower = text::asciiLower(name);
    const std::pair<std::string_view, std::string_view> types[] = {
        {".ini", "text/plain; charset=Shift_JIS"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".bmp", "image/bmp"},
        {".png", "image/png"},
        {".gif", "image/gif"},
    };
    for (const auto& [suffix, type] : types) {
        if (lower.ends_with(suffix)) {
            return std::string(type);
        }
    }
    return "application/octet-stream";
}

bool etagMatches(std::string_view header, std::string_view etag) {
    std::size_t at = 0;
    while (at <= header.size()) {
        const std::size_t end = std::min(header.find(',', at), header.size());
        std::string_view tag = text::trim(header.substr(at, end - at));
        if (tag.starts_with("W/")) {
            tag.remove_prefix(2);
        }
        if (tag == "*" || tag == etag) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

}  // namespace

ContentService::ContentService(store::Store& store, ContentOptions options)
    : store_(store), options_(std::move(options)) {}

void ContentService::addRoutes(http::Router& router) {
    router.add("GET", options_.questionPath,
               [this](const http::Request& r) { return questionFile(r); });
    router.addFolder("GET", options_.figurePath,
                     [this](const http::Request& r) { return figureFile(r); });
}

Result<std::shared_ptr<const ContentService::Catalog>> ContentService::catalog() {
    // One cheap question per request keeps every server behind a balancer
    // serving what was published last, wherever it was published.
    Result<std::int64_t> latest = store_.latestCourseVersionId();
    if (!latest) {
        return latest.error();
    }
    {
        std::lock_guard lock(mutex_);
        if (catalog_ && catalog_->latest == *latest) {
            return catalog_;
        }
    }
    Result<std::vector<store::CourseVersion>> current = store_.currentCourses();
    if (!current) {
        return current.error();
    }
    auto fresh = std::make_shared<Catalog>();
    fresh->latest = *latest;
    for (store::CourseVersion& v : *current) {
        if (!v.iniHash.empty()) {
            fresh->files[v.course.substr(0, v.course.size() - 3) + "ini"] = v.iniHash;
        }
        for (const store::PublishedFigure& f : v.figures) {
            fresh->files[f.name] = f.hash;
        }
        fresh->courses[v.course] = std::move(v);
    }
    std::lock_guard lock(mutex_);
    if (!catalog_ || catalog_->latest < fresh->latest) {
        catalog_ = fresh;
    }
    return std::shared_ptr<const Catalog>(fresh);
}

Result<std::shared_ptr<const ContentService::Body>> ContentService::body(
    const std::string& key, const std::function<Result<Body>()>& make) {
    {
        std::lock_guard lock(mutex_);
        if (const auto found = bodies_.find(key); found != bodies_.end()) {
            return found->second;
        }
    }
    // Made outside the lock: two requests may both make it, and both get the
    // same bytes.
    Result<Body> made = make();
    if (!made) {
        return made.error();
    }
    made->etag = "\"" + sha256Hex(made->bytes).substr(0, 32) + "\"";
    auto shared = std::make_shared<const Body>(std::move(*made));
    std::lock_guard lock(mutex_);
    if (cachedBytes_ + shared->bytes.size() > kCacheBytes) {
        bodies_.clear();
        cachedBytes_ = 0;
    }
    if (bodies_.emplace(key, shared).second) {
        cachedBytes_ += shared->bytes.size();
    }
    return std::shared_ptr<const Body>(shared);
}

http::Response ContentService::answer(const http::Request& request, const Body& body) {
    http::Response r;
    r.headers.emplace_back("ETag", body.etag);
    // HTTP/1.0 has no validators; the program's requests always get the body.
    if (request.version >= 11) {
        if (const auto tags = request.header("If-None-Match");
            tags && etagMatches(*tags, body.etag)) {
            r.status = 304;
            r.contentType.clear();
            return r;
        }
    }
    r.contentType = body.contentType;
    r.body = body.bytes;
    return r;
}

http::Response ContentService::questionFile(const http::Request& request) {
    const std::optional<std::string> name = protocol::queryParameter(request.query, "QDFName");
    if (!name || !update::isSafeFigureName(*name)) {
        return textStatus(400, "問題ファイル名が正しくありません");
    }
    Result<std::shared_ptr<const Catalog>> published = catalog();
    if (!published) {
        return textStatus(503, published.error().describe());
    }
    const auto found = (*published)->courses.find(*name);
    if (found == (*published)->courses.end()) {
        return textStatus(404, "公開されていない問題ファイルです: " + *name);
    }
    const store::CourseVersion& course = found->second;
    return stored(request, course.qdfHash, course.course, [&](std::string qdf) -> Result<Body> {
        Result<std::string> sent =
            smallerForm(course.course, qdf, protocol::stampTime(course.dateLine));
        if (!sent) {
            return sent.error();
        }
        const bool zipped = sent->starts_with("PK");
        return Body{std::move(*sent), {}, zipped ? "application/zip" : "application/octet-stream"};
    });
}

http::Response ContentService::figureFile(const http::Request& request) {
    const std::string_view rest =
        std::string_view(request.path).substr(options_.figurePath.size() + 1);
    const std::optional<std::string> name = protocol::percentDecoded(rest);
    if (!name || !update::isSafeFigureName(*name)) {
        return textStatus(400, "ファイル名が正しくありません");
    }
    Result<std::shared_ptr<const Catalog>> published = catalog();
    if (!published) {
        return textStatus(503, published.error().describe());
    }
    const auto found = (*published)->files.find(*name);
    if (found == (*published)->files.end()) {
        return textStatus(404, "公開されていないファイルです: " + *name);
    }
    return stored(request, found->second, *name, [&](std::string bytes) -> Result<Body> {
        return Body{std::move(bytes), {}, contentTypeOf(*name)};
    });
}

http::Response ContentService::stored(const http::Request& request, const std::string& hash,
                                      const std::string& name,
                                      const std::function<Result<Body>(std::string)>& shape) {
    Result<std::shared_ptr<const Body>> made = body(name + ":" + hash, [&]() -> Result<Body> {
        Result<std::string> bytes = store::heldFile(store_, hash);
        if (!bytes) {
            return bytes.error();
        }
        return shape(std::move(*bytes));
    });
    if (!made) {
        return textStatus(503, made.error().describe());
    }
    return answer(request, **made);
}

}  // namespace tovalo::server::service
