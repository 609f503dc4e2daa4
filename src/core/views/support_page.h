#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/profile.h"
#include "core/catalog/catalog.h"
#include "core/common/result.h"
#include "core/exam/selection.h"

namespace tovalo {

// The values of a support-question page's marker lines.
struct SupportPageValues {
    std::string serial, cgiUrl, name, mail, org;  // from the profile and CGI_URL
    int quesNum = 0;
    std::string qdfDate;
    std::string question;  // supportQuestionText
    std::string test;      // ExamCode + " : " + ExamTitle
    std::string answer;    // supportAnswerBlock
};

// The page from the template's text: a line that is, blanks aside, one of
// the markers becomes its value; every other line is copied. Every line
// ends CR LF. What comes from the learner's profile is HTML-escaped.
std::string supportPage(std::string_view templateText, const SupportPageValues& values);

// The values for one question of `course`; `answer` is its supportAnswerBlock.
SupportPageValues supportPageValues(const app::Profile& profile, std::string_view cgiUrl,
                                    const CourseEntry& course, const ExamQuestion& question,
                                    std::string answer);

// Where a course's support page is made from and written to: the plain-text
// page beside the program, the HTML page in the vendor's question folder
// (where the course's pictures resolve). Both folders end in "/".
struct SupportPageFiles {
    std::string templatePath;
    std::string pagePath;
};
SupportPageFiles supportPageFiles(int formatKind, const std::string& programDir,
                                  const std::string& questionDir);

Status writeSupportPage(const SupportPageFiles& files, const SupportPageValues& values);

// The "#QUES#" value: the question text without its figure line; for an
// HTML course (formatKind 2) only the lines from "<!-- QS -->" up to the one
// before "<!-- QE -->", each with CR LF.
std::string supportQuestionText(std::string_view quesText, int formatKind);

// Where the page is asked for: the learner's answer is read differently.
enum class SupportFrom { AnswerView, ResultScreen };

// The "#ANSW#" value. `marks`: the learner's marks on slots 1..10;
// `correctLetters`: the letters as the caller shows them (" b d").
std::string supportAnswerBlock(const ExamQuestion& question, std::string_view labelStyle,
                               std::string_view correctLetters,
                               const std::array<bool, kMaxChoices>& marks, SupportFrom from,
                               std::optional<bool> storedRight = std::nullopt);

}  // namespace tovalo
