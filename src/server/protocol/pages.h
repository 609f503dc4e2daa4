#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/results/diagnosis_advice.h"
#include "server/protocol/form_wire.h"

// The pages the server answers the learner's browser with: receipts for the
// two forms, the FAQ of one question, the news and the error page. Japanese
// HTML in UTF-8 with one shared style; every value that comes from outside
// (what the learner sent, what the staff wrote, question text) is escaped.
namespace tovalo::server::protocol {

inline constexpr std::string_view kPageContentType = "text/html; charset=utf-8";

std::string supportReceiptPage(std::int64_t receipt, const SupportQuestion& question);

// The receipt with the advice the request earned
// (diagnosisAdvice(request.courses, chosen code)).
std::string diagnosisReceiptPage(std::int64_t receipt, const DiagnosisRequest& request,
                                 const DiagnosisAdvice& advice);

struct FaqAnswer {
    std::string text;
    std::string answeredAt;
};

// One answered question: what the learner asked and the staff's answers.
struct FaqEntry {
    std::string question;
    std::string askedAt;
    std::vector<FaqAnswer> answers;  // shown in this order: newest first
};

// The questions asked about question `quesNum` of `course`, shown in the
// order given (newest first). `questionText` is the question as plain text
// (an HTML course's text reduced by the caller); "" shows none.
std::string faqPage(const CourseName& course, int quesNum, std::string_view questionText,
                    const std::vector<FaqEntry>& entries);

struct NewsNotice {
    std::string title;
    std::string postedAt;
    std::string text;  // its line breaks are kept
};

// The notices in the order given (newest first).
std::string newsPage(const std::vector<NewsNotice>& notices);

// The page of a 400 or 404 answer (any other status reads as a failure);
// `message` says what went wrong, in Japanese.
std::string errorPage(int status, std::string_view message);

}  // namespace tovalo::server::protocol
