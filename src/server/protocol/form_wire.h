#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/common/result.h"
#include "core/results/diagnosis_advice.h"

// The forms a learner's browser posts: the support question page and the
// diagnosis request page the program writes from its templates. They arrive
// as application/x-www-form-urlencoded bodies in the page's charset
// (Shift_JIS); what these functions hand out is UTF-8.
namespace tovalo::server::protocol {

struct FormField {
    std::string name;
    std::string value;

    friend bool operator==(const FormField&, const FormField&) = default;
};
using FormFields = std::vector<FormField>;

// Far more than either page has: a vendor with many courses sends one
// hidden field per course.
inline constexpr std::size_t kMaxFormFields = 1000;
inline constexpr std::size_t kMaxFormNameBytes = 256;
inline constexpr std::size_t kMaxFormBodyBytes = 4 * 1024 * 1024;

// Splits and decodes a body into its fields in the order sent: "+" is a
// blank, "%XX" a byte. The bytes are read in the charset that the
// Content-Type's charset parameter names, else the one a "_charset_" field
// names, else as UTF-8 when they are valid UTF-8 and as CP932 otherwise.
// Character references (&#NNNN; &#xHHHH;), which a browser sends for what
// the page's charset cannot hold, become their characters. Each value loses
// the CR and LF around it that the templates put around the marker lines;
// blanks and inner line breaks stay. `contentType` is the header's value, ""
// when there is none. Refuses, with a message in Japanese, a body past the
// limits above, a bad escape, a NUL, bytes the charset does not define, and
// another media type or charset.
Result<FormFields> decodeForm(std::string_view body, std::string_view contentType = {});

// A course as the pages name it, "CODE : TITLE".
struct CourseName {
    std::string code;   // before the first " : ", trimmed
    std::string title;  // after it, trimmed; "" when there is none
};
CourseName splitCourseName(std::string_view text);

// Who sent a form: the profile's identifier as stored, name, organisation
// and mail address.
struct FormSender {
    std::string serial, name, org, mail;
};

// The support question page (QuesProto, QuesProto2).
struct SupportQuestion {
    FormSender sender;
    CourseName course;
    std::string qdfDate;
    int quesNum = 0;
    std::string questionText;  // "ques": the question as the page showed it
    std::string answerBlock;   // "answ": its choices, the right and the learner's answer
    std::string question;      // what the learner asks
};

// The diagnosis request page (FormProto).
struct DiagnosisRequest {
    FormSender sender;
    std::optional<CourseName> chosen;  // none when the learner left the prompt chosen
    // Every course's history, read back from its hidden field (named by the
    // course's code), in the order sent.
    std::vector<DiagnosedCourse> courses;
    std::string message;
};

using PostedForm = std::variant<SupportQuestion, DiagnosisRequest>;

// What the course choice sends while no course is chosen.
inline constexpr std::string_view kNoCourseChosen = "テストを選択してください";

// Tells the two forms apart by their field names (which differ in case) and
// reads them. A field that appears twice counts once, the first time. A
// support question needs its course, a question number and a question that
// is not blank; a diagnosis request needs its course choice. On the diagnosis
// page every field but the fixed ones is a course's history, and one that
// cannot be read refuses the request. Anything else is refused with a
// message in Japanese.
Result<PostedForm> classifyForm(const FormFields& fields);

// A piece of an address with its "%XX" escapes decoded to bytes, no
// charset applied ("+" stays: addresses are not forms); nothing when an
// escape is broken.
std::optional<std::string> percentDecoded(std::string_view raw);

// The first value of parameter `name` in an address's query, decoded as
// above; nothing when it is absent or badly escaped. Only the pair
// asked for is read, so other parameters may hold anything.
std::optional<std::string> queryParameter(std::string_view query, std::string_view name);

}  // namespace tovalo::server::protocol
