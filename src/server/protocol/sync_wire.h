#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/results/history_file.h"

// The synchronisation's wire formats seen from the server: the bodies the
// desktop client posts and the answers it reads. Text on the wire is CP932;
// what these functions hand out is UTF-8.
namespace tovalo::server::protocol {

// Why a body was refused, for the log and the error answer; never shown to
// a learner as more than "the request was not understood".
using Refusal = Error;

// "Name=…&Serial=…&Test_ID=…&Email=…" and CR LF: the query ("%20" for
// blanks) and the download (blanks as they are).
struct PersonFields {
    std::string name;
    std::string serial;
    std::string testId;
    std::string email;
};
Result<PersonFields> parsePersonBody(std::string_view body);

inline constexpr int kExamSlots = kHistoryExams;
inline constexpr int kCategories = 50;
inline constexpr int kPointValues = 7;
// Three digits of slot number on the wire.
inline constexpr int kMaxQuestionSlots = 1000;

struct QuestionSlot {
    int number = 0;
    int correct = 0;
    int wrong = 0;
};

// One course's history as the upload sends it.
struct Upload {
    std::string serial;
    std::string email;
    std::string name;
    std::string testId;
    std::string lastUpdate;  // "yyyy/mm/dd HH:mm:ss"
    int bestRate = 0;
    int averageRate = 0;
    std::array<ExamRecord, kExamSlots> exams{};  // as the history file keeps them
    std::array<std::array<int, kPointValues>, kCategories> points{};
    std::vector<QuestionSlot> questions;
};
// The fields are read in the one order the client writes them, so that a
// name or course holding "&" or "=" survives; every number is checked for
// its range and the slots for their count.
Result<Upload> parseUploadBody(std::string_view body);

// "yyyy/mm/dd" from the upload address's query ("" when it holds none).
std::string sentOnFromQuery(std::string_view query);

// What the server keeps of an upload and gives back on download: the lines
// of the "DLDATA" section after the identifier, which is never stored.
std::string downloadRecord(const Upload& upload);
// The whole download answer for the learner who asked.
std::string downloadAnswer(std::string_view serialUtf8, std::string_view record);
// A kept record as the history file the program makes of its download;
// nothing when the record does not read as one.
std::optional<HistoryFile> historyOfRecord(std::string_view record);

// Query answers, each one line with CR LF.
std::string dateAnswer(std::string_view lastUpdate);
std::string notFoundAnswer();
std::string refusalAnswer(std::string_view messageUtf8);  // ERROR1, shown to the learner
std::string unavailableAnswer();                          // ERROR2
std::string acceptedAnswer();                             // an upload kept

}  // namespace tovalo::server::protocol
