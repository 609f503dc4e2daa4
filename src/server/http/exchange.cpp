#include "server/http/exchange.h"

#include "core/text/trim.h"

namespace tovalo::server::http {

std::optional<std::string_view> Request::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (text::equalsIgnoreAsciiCase(key, name)) {
            return std::string_view(value);
        }
    }
    return std::nullopt;
}

namespace {

const char* reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Error";
    }
}

}  // namespace

Response plainStatus(int status) {
    Response r;
    r.status = status;
    r.body = std::string(reason(status)) + "\r\n";
    return r;
}

}  // namespace tovalo::server::http
