#include "server/service/sync_service.h"

#include <algorithm>
#include <cstdio>

#include "server/protocol/sync_wire.h"

namespace tovalo::server::service {

namespace {

using std::chrono::steady_clock;

http::Response answer(int status, std::string body) {
    http::Response r;
    r.status = status;
    r.contentType = "text/plain; charset=Shift_JIS";
    r.body = std::move(body);
    return r;
}

// The store could not answer: the client shows its communication failure
// and nothing is taken for done.
http::Response storeTrouble(const Error& error) {
    std::fprintf(stderr, "store: %s\n", error.describe().c_str());
    return answer(503, protocol::unavailableAnswer());
}

bool contactChanged(const store::Learner& learner, const protocol::PersonFields& person) {
    return learner.name != person.name || learner.email != person.email;
}

}  // namespace

SyncService::SyncService(store::Store& store, SerialHasher hasher, SyncOptions options)
    : store_(store),
      hasher_(std::move(hasher)),
      options_(std::move(options)),
      throttle_(options_.throttle) {}

void SyncService::addRoutes(http::Router& router) {
    router.add(
        "POST", options_.queryPath, [this](const http::Request& r) { return query(r); },
        [this](const http::Request& r, EventLoop& loop, http::Reply reply) {
            return quickQuery(r, loop, std::move(reply));
        });
    router.add("POST", options_.uploadPath, [this](const http::Request& r) { return upload(r); });
    router.add("POST", options_.downloadPath,
               [this](const http::Request& r) { return download(r); });
}

Result<SyncService::Found> SyncService::identify(const std::string& serial) {
    Result<std::optional<store::Learner>> learner = store_.findLearner(hasher_.hash(serial));
    if (!learner) {
        return learner.error();
    }
    Found found;
    found.learner = std::move(*learner);
    found.refused = refused(found.learner ? &*found.learner : nullptr);
    return found;
}

bool SyncService::refused(const store::Learner* learner) const {
    return learner ? learner->disabled : options_.registration == Registration::Closed;
}

void SyncService::served(steady_clock::time_point arrived) {
    const long long took =
        std::chrono::duration_cast<std::chrono::microseconds>(steady_clock::now() - arrived)
            .count();
    long long seen = slowestKnown_.load(std::memory_order_relaxed);
    // Decays by 1/64 per answer, and never falls below what was just seen.
    long long next = std::max(took, seen - seen / 64);
    while (!slowestKnown_.compare_exchange_weak(seen, next, std::memory_order_relaxed)) {
        next = std::max(took, seen - seen / 64);
    }
}

http::Response SyncService::refusal(const http::Request& request, int status,
                                    steady_clock::time_point arrived) {
    const auto known = std::chrono::microseconds(2 * slowestKnown_.load(std::memory_order_relaxed));
    const auto wait = std::max<steady_clock::duration>(
        {options_.refusalFloor, known, throttle_.refuse(request.remoteAddress, arrived)});
    http::Response r = answer(status, protocol::refusalAnswer(kNotRegistered));
    r.notBefore = arrived + wait;
    return r;
}

std::variant<http::Response, SyncService::Asked> SyncService::lookUp(
    const http::Request& request, int refusedStatus, int absentStatus,
    steady_clock::time_point arrived) {
    Result<protocol::PersonFields> person = protocol::parsePersonBody(request.body);
    if (!person) {
        return answer(400, protocol::unavailableAnswer());
    }
    return settle(request, *person,
                  store_.findLearnerCourse(hasher_.hash(person->serial), person->testId),
                  refusedStatus, absentStatus, arrived);
}

std::variant<http::Response, SyncService::Asked> SyncService::settle(
    const http::Request& request, protocol::PersonFields& person,
    Result<std::optional<store::LearnerCourse>> found, int refusedStatus, int absentStatus,
    steady_clock::time_point arrived) {
    if (!found) {
        return storeTrouble(found.error());
    }
    if (refused(*found ? &(*found)->learner : nullptr)) {
        return refusal(request, refusedStatus, arrived);
    }
    if (!*found) {
        served(arrived);
        return answer(absentStatus, protocol::notFoundAnswer());
    }
    const store::Learner& learner = (*found)->learner;
    if (contactChanged(learner, person)) {
        if (Status s = store_.updateLearnerContact(learner.id, person.name, person.email); !s) {
            return storeTrouble(s.error());
        }
    }
    if (!(*found)->lastUpdate) {
        served(arrived);
        return answer(absentStatus, protocol::notFoundAnswer());
    }
    return Asked{std::move(person.serial), learner.id, std::move(person.testId),
                 std::move(*(*found)->lastUpdate)};
}

http::Response SyncService::queryAnswer(std::variant<http::Response, Asked> asked,
                                        steady_clock::time_point arrived) {
    if (auto* done = std::get_if<http::Response>(&asked)) {
        return std::move(*done);
    }
    served(arrived);
    return answer(200, protocol::dateAnswer(std::get<Asked>(asked).lastUpdate));
}

http::Response SyncService::query(const http::Request& request) {
    // The query's answer is read as a message, so a refusal stays a 200.
    const steady_clock::time_point arrived = steady_clock::now();
    return queryAnswer(lookUp(request, 200, 200, arrived), arrived);
}

bool SyncService::quickQuery(const http::Request& request, EventLoop& loop, http::Reply reply) {
    const steady_clock::time_point arrived = steady_clock::now();
    Result<protocol::PersonFields> person = protocol::parsePersonBody(request.body);
    if (!person) {
        return false;
    }
    const std::string serialHash = hasher_.hash(person->serial);
    const std::string testId = person->testId;
    // The request stays as it is until the reply.
    return store_.findLearnerCourse(
        loop, serialHash, testId,
        [this, &request, arrived, person = std::move(*person),
         reply = std::move(reply)](Result<std::optional<store::LearnerCourse>> found) mutable {
            if (found && *found && !refused(&(*found)->learner) &&
                contactChanged((*found)->learner, person)) {
                return reply.handOver();
            }
            reply.answer(
                queryAnswer(settle(request, person, std::move(found), 200, 200, arrived), arrived));
        });
}

http::Response SyncService::upload(const http::Request& request) {
    const steady_clock::time_point arrived = steady_clock::now();
    Result<protocol::Upload> sent = protocol::parseUploadBody(request.body);
    if (!sent) {
        return answer(400, "ERROR1 " + sent.error().message + "\r\n");
    }
    Result<Found> found = identify(sent->serial);
    if (!found) {
        return storeTrouble(found.error());
    }
    if (found->refused) {
        return refusal(request, 403, arrived);
    }
    store::HistoryUpload version;
    version.testId = sent->testId;
    version.lastUpdate = sent->lastUpdate;
    version.sentOn = protocol::sentOnFromQuery(request.query);
    version.bestRate = sent->bestRate;
    version.averageRate = sent->averageRate;
    version.questionCount = static_cast<int>(sent->questions.size());
    version.record = protocol::downloadRecord(*sent);
    const store::Sender sender{hasher_.hash(sent->serial), sent->name, sent->email};
    Result<store::HistoryVersion> kept =
        store_.addHistory(sender, options_.registration == Registration::Open, version);
    if (!kept) {
        // Disabled by the staff while this request was on its way.
        if (store::refusedAsUnknownLearner(kept.error()) ||
            store::refusedAsDisabledLearner(kept.error())) {
            return refusal(request, 403, arrived);
        }
        return storeTrouble(kept.error());
    }
    served(arrived);
    return answer(200, protocol::acceptedAnswer());
}

http::Response SyncService::download(const http::Request& request) {
    // A refused download must fail at the client: a 200 would be read as a
    // history of zeros and written over the learner's own.
    const steady_clock::time_point arrived = steady_clock::now();
    auto asked = lookUp(request, 403, 404, arrived);
    if (auto* done = std::get_if<http::Response>(&asked)) {
        return std::move(*done);
    }
    const Asked& a = std::get<Asked>(asked);
    // Versions are never removed: the one the look-up saw, or a later one.
    Result<std::optional<store::HistoryVersion>> current =
        store_.currentHistory(a.learnerId, a.testId);
    if (!current) {
        return storeTrouble(current.error());
    }
    served(arrived);
    if (!*current) {
        return answer(404, protocol::notFoundAnswer());
    }
    return answer(200, protocol::downloadAnswer(a.serial, (*current)->upload.record));
}

}  // namespace tovalo::server::service
