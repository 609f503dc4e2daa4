#include <algorithm>

#include "server/http/server.h"

namespace tovalo::server::http {

void Router::add(std::string method, std::string path, Handler handler, FastHandler fast) {
    addRoute({std::move(method), std::move(path), std::move(handler), false, std::move(fast)});
}

void Router::addFolder(std::string method, std::string path, Handler handler) {
    addRoute({std::move(method), std::move(path), std::move(handler), true, {}});
}

void Router::addRoute(Route route) {
    const std::string pattern = route.folder ? route.path + "/*" : route.path;
    route.pattern = static_cast<std::size_t>(
        std::find(patterns_.begin(), patterns_.end(), pattern) - patterns_.begin());
    if (route.pattern == patterns_.size()) {
        patterns_.push_back(pattern);
    }
    routes_.push_back(std::move(route));
}

bool Router::takes(const Route& route, std::string_view path) {
    if (!route.folder) {
        return route.path == path;
    }
    return path.size() > route.path.size() + 1 && path.starts_with(route.path) &&
           path[route.path.size()] == '/';
}

Response Router::route(const Request& request) const {
    bool pathKnown = false;
    for (const Route& r : routes_) {
        if (!takes(r, request.path)) {
            continue;
        }
        pathKnown = true;
        if (r.method == request.method) {
            return r.handler(request);
        }
    }
    return plainStatus(pathKnown ? 405 : 404);
}

const FastHandler* Router::fastRoute(const Request& request) const {
    for (const Route& r : routes_) {
        if (takes(r, request.path) && r.method == request.method) {
            return r.fast ? &r.fast : nullptr;
        }
    }
    return nullptr;
}

std::size_t Router::patternOf(std::string_view path) const {
    for (const Route& r : routes_) {
        if (takes(r, path)) {
            return r.pattern;
        }
    }
    return patterns_.size();
}

}  // namespace tovalo::server::http
