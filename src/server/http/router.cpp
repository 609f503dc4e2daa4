#include "server/http/server.h"

namespace tovalo::server::http {

void Router::add(std::string method, std::string path, Handler handler) {
    routes_.push_back({std::move(method), std::move(path), std::move(handler)});
}

void Router::addFolder(std::string method, std::string path, Handler handler) {
    routes_.push_back({std::move(method), std::move(path), std::move(handler), true});
}

Response Router::route(const Request& request) const {
    bool pathKnown = false;
    for (const Route& r : routes_) {
        const bool below = r.folder && request.path.size() > r.path.size() + 1 &&
                           request.path.starts_with(r.path) && request.path[r.path.size()] == '/';
        if (!below && (r.folder || r.path != request.path)) {
            continue;
        }
        pathKnown = true;
        if (r.method == request.method) {
            return r.handler(request);
        }
    }
    return plainStatus(pathKnown ? 405 : 404);
}

}  // namespace tovalo::server::http
