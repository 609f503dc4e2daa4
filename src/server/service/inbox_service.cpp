#include "server/service/inbox_service.h"

#include <algorithm>
#include <charconv>

#include "core/exam/page_writer.h"
#include "core/questions/question_file.h"
#include "core/results/diagnosis_advice.h"
#include "core/views/support_page.h"
#include "server/protocol/form_wire.h"
#include "server/protocol/pages.h"

namespace tovalo::server::service {

namespace {

http::Response page(int status, std::string body) {
    http::Response r;
    r.status = status;
    r.contentType = std::string(protocol::kPageContentType);
    r.body = std::move(body);
    return r;
}

http::Response errorAnswer(int status, const std::string& message) {
    return page(status, protocol::errorPage(status, message));
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

InboxService::InboxService(store::Store& store, SerialHasher hasher, InboxOptions options)
    : store_(store), hasher_(std::move(hasher)), options_(std::move(options)) {}

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
        return page(200, protocol::supportReceiptPage(stored->receipt, *question));
    }
    const auto& diagnosis = std::get<protocol::DiagnosisRequest>(*form);
    const DiagnosisAdvice advice =
        diagnosisAdvice(diagnosis.courses, diagnosis.chosen ? diagnosis.chosen->code : "");
    return page(200, protocol::diagnosisReceiptPage(stored->receipt, diagnosis, advice));
}

Result<std::shared_ptr<const InboxService::Course>> InboxService::course(
    const std::string& examCode) {
    Result<std::int64_t> latest = store_.latestCourseVersionId();
    if (!latest) {
        return latest.error();
    }
    std::lock_guard lock(mutex_);
    if (coursesAt_ != *latest) {
        courses_.clear();
        coursesAt_ = *latest;
        Result<std::vector<store::CourseVersion>> published = store_.currentCourses();
        if (!published) {
            return published.error();
        }
        for (const store::CourseVersion& v : *published) {
            Result<std::optional<std::string>> qdf = store_.storedFile(v.qdfHash);
            if (!qdf) {
                return qdf.error();
            }
            if (!*qdf) {
                continue;
            }
            Result<QuestionBank> bank = parseQuestionFile(**qdf, v.course);
            Result<QdfHeader> header = parseQdfHeader(**qdf, v.course);
            if (!bank || !header) {
                continue;
            }
            auto c = std::make_shared<Course>();
            c->code = header->ExamCode;
            c->title = header->ExamTitle;
            c->formatKind = header->FormatKind;
            for (int slot = 1; slot <= static_cast<int>(bank->questions.size()); ++slot) {
                const QuestionRecord& q = bank->question(slot);
                const std::string text = bank->text(q.QuesText);
                c->questions[q.QuesNum] = c->formatKind == 2
                                              ? PageToListText(text, c->formatKind)
                                              : supportQuestionText(text, c->formatKind);
            }
            courses_[c->code] = std::move(c);
        }
    }
    const auto found = courses_.find(examCode);
    return found == courses_.end() ? std::shared_ptr<const Course>()
                                   : std::shared_ptr<const Course>(found->second);
}

http::Response InboxService::faq(const http::Request& request) {
    const std::optional<std::string> testId = protocol::queryParameter(request.query, "testid");
    const std::optional<int> testNo = questionNumber(protocol::queryParameter(request.query, "testno"));
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
    if (!testId || testId->empty() || testId->size() > 256 ||
        std::any_of(testId->begin(), testId->end(), control) || !testNo) {
        return errorAnswer(400, "テストと問題番号を指定してください");
    }
    Result<std::shared_ptr<const Course>> published = course(*testId);
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
    if (*published) {
        name.title = (*published)->title;
        if (const auto q = (*published)->questions.find(*testNo); q != (*published)->questions.end()) {
            questionText = q->second;
        }
    }
    return page(200, protocol::faqPage(name, *testNo, questionText, entries));
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
    return page(200, protocol::newsPage(notices));
}

}  // namespace tovalo::server::service
