#include "server/service/inbox_service.h"

#include <algorithm>
#include <charconv>

#include "core/results/diagnosis_advice.h"
#include "server/protocol/form_wire.h"
#include "server/protocol/pages.h"

namespace tovalo::server::service {

http::Response pageAnswer(int status, std::string body) {
    http::Response r;
    r.status = status;
    r.contentType = std::string(protocol::kPageContentType);
    r.body = std::move(body);
    return r;
}

namespace {

http::Response errorAnswer(int status, const std::string& message) {
    return pageAnswer(status, protocol::errorPage(status, message));
}

std::optional<int> questionNumber(const std::optional<std::string>& text) {
    int n = 0;
    if (!text || text->empty()) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
    if (ec != std::errc() || end != text->data() + text->size() || n < 1) {
        return std::nullopt;
    }
    return n;
}

// The learner's identifier reaches the store only as its keyed hash, as
// everywhere else on this server.
bool isSerialField(std::string_view name) {
    return name == "serial" || name == "SERIAL";
}

std::string fieldValue(const std::vector<store::FormField>& fields, std::string_view name) {
    for (const store::FormField& f : fields) {
        if (f.name == name) {
            return f.value;
        }
    }
    return {};
}

}  // namespace

InboxService::InboxService(store::Store& store, PublishedCourses& courses, SerialHasher hasher,
                           InboxOptions options)
    : store_(store), courses_(courses), hasher_(std::move(hasher)), options_(std::move(options)) {}

void InboxService::addRoutes(http::Router& router) {
    router.add("POST", options_.formPath, [this](const http::Request& r) { return post(r); });
    router.add("GET", options_.faqPath, [this](const http::Request& r) { return faq(r); });
    router.add("GET", options_.newsPath, [this](const http::Request& r) { return news(r); });
}

http::Response InboxService::post(const http::Request& request) {
    Result<protocol::FormFields> fields =
        protocol::decodeForm(request.body, request.header("Content-Type").value_or(""));
    if (!fields) {
        return errorAnswer(400, fields.error().message);
    }
    Result<protocol::PostedForm> form = protocol::classifyForm(*fields);
    if (!form) {
        return errorAnswer(400, form.error().message);
    }
    store::InboxItem item;
    for (const protocol::FormField& f : *fields) {
        item.fields.push_back({f.name, isSerialField(f.name) ? hasher_.hash(f.value) : f.value});
    }
    if (const auto* question = std::get_if<protocol::SupportQuestion>(&*form)) {
        item.kind = store::InboxKind::Question;
        item.testId = question->course.code;
        item.quesNum = question->quesNum;
    } else {
        const auto& request = std::get<protocol::DiagnosisRequest>(*form);
        item.kind = store::InboxKind::Diagnosis;
        item.testId = request.chosen ? request.chosen->code : std::string();
    }
    Result<store::InboxItem> stored = store_.addInboxItem(item);
    if (!stored) {
        return errorAnswer(503, stored.error().describe());
    }
    if (const auto* question = std::get_if<protocol::SupportQuestion>(&*form)) {
        return pageAnswer(200, protocol::supportReceiptPage(stored->receipt, *question));
    }
    const auto& diagnosis = std::get<protocol::DiagnosisRequest>(*form);
    const DiagnosisAdvice advice =
        diagnosisAdvice(diagnosis.courses, diagnosis.chosen ? diagnosis.chosen->code : "");
    return pageAnswer(200, protocol::diagnosisReceiptPage(stored->receipt, diagnosis, advice));
}

http::Response InboxService::faq(const http::Request& request) {
    const std::optional<std::string> testId = protocol::queryParameter(request.query, "testid");
    const std::optional<int> testNo =
        questionNumber(protocol::queryParameter(request.query, "testno"));
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
    if (!testId || testId->empty() || testId->size() > 256 ||
        std::any_of(testId->begin(), testId->end(), control) || !testNo) {
        return errorAnswer(400, "テストと問題番号を指定してください");
    }
    Result<std::shared_ptr<const PublishedCatalog>> published = courses_.current();
    if (!published) {
        return errorAnswer(503, published.error().describe());
    }
    Result<std::vector<store::InboxItem>> answered = store_.answeredQuestions(*testId, *testNo);
    if (!answered) {
        return errorAnswer(503, answered.error().describe());
    }
    std::vector<protocol::FaqEntry> entries;
    for (const store::InboxItem& item : *answered) {
        protocol::FaqEntry entry;
        entry.question = fieldValue(item.fields, "question");
        entry.askedAt = item.receivedAt;
        for (auto a = item.answers.rbegin(); a != item.answers.rend(); ++a) {
            entry.answers.push_back({a->text, a->answeredAt});
        }
        entries.push_back(std::move(entry));
    }
    protocol::CourseName name{*testId, {}};
    std::string questionText;
    if (const auto c = (*published)->byCode.find(*testId); c != (*published)->byCode.end()) {
        name.title = c->second.title;
        if (const auto q = c->second.questions.find(*testNo); q != c->second.questions.end()) {
            questionText = q->second;
        }
    }
    return pageAnswer(200, protocol::faqPage(name, *testNo, questionText, entries));
}

http::Response InboxService::news(const http::Request&) {
    Result<std::vector<store::NewsItem>> latest = store_.latestNews(kNewsShown);
    if (!latest) {
        return errorAnswer(503, latest.error().describe());
    }
    std::vector<protocol::NewsNotice> notices;
    for (const store::NewsItem& n : *latest) {
        notices.push_back({n.title, n.postedAt, n.text});
    }
    return pageAnswer(200, protocol::newsPage(notices));
}

}  // namespace tovalo::server::service
