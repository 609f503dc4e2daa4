#include "server/protocol/sync_wire.h"

#include <charconv>
#include <cstdio>

#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"

namespace tovalo::server::protocol {

namespace {

// A profile field longer than this is no profile the program wrote.
constexpr std::size_t kMaxFieldBytes = 1024;
// The longest upload the client can write, with room to spare: 1,000
// question slots of three numbers each and four free-text fields.
constexpr std::size_t kMaxUploadBytes = 128 * 1024;

Error refused(std::string what) {
    return Error{"request not understood: " + std::move(what), {}, 0};
}

// The one line of a body: its CR LF (or LF) taken off; a line break or NUL
// inside it is no body the client writes.
std::optional<std::string_view> singleLine(std::string_view body) {
    if (body.ends_with("\r\n")) {
        body.remove_suffix(2);
    } else if (body.ends_with('\n')) {
        body.remove_suffix(1);
    }
    if (body.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    return body;
}

std::string unescapeBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "%20") {
            out += ' ';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A free-text field: "%20" as a blank, CP932 turned into UTF-8.
Result<std::string> textField(std::string_view name, std::string_view raw) {
    if (raw.size() > kMaxFieldBytes) {
        return refused(std::string(name) + " is too long");
    }
    std::string utf8;
    if (!text::cp932ToUtf8Exact(unescapeBlanks(raw), utf8)) {
        return refused(std::string(name) + " is not Shift_JIS text");
    }
    return utf8;
}

// Where one free-text field stands in a line, and where it goes.
struct TextSpan {
    std::string* into;
    const char* key;
    std::size_t from;
    std::size_t to;
};

// Reads the free-text fields; the identifier and the course must not be
// empty, since nothing could be stored under them.
Status readTextFields(std::string_view line, std::initializer_list<TextSpan> spans,
                      const std::string& serial, const std::string& testId) {
    for (const TextSpan& span : spans) {
        Result<std::string> value =
            textField(span.key, line.substr(span.from, span.to - span.from));
        if (!value) {
            return value.error();
        }
        *span.into = std::move(*value);
    }
    if (serial.empty() || testId.empty()) {
        return refused("identifier or course empty");
    }
    return Ok{};
}

std::optional<int> number(std::string_view digits, int max) {
    if (digits.empty() || digits.size() > 6) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value < 0 || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string padded(int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

// Reads "KEY=value&" tokens in the order the client writes them.
class Fields {
  public:
    explicit Fields(std::string_view rest) : rest_(rest) {}

    // The value of the next token, which must carry `key`.
    std::optional<std::string_view> next(std::string_view key) {
        const std::size_t amp = rest_.find('&');
        const std::string_view token = rest_.substr(0, amp);
        rest_ = amp == std::string_view::npos ? std::string_view() : rest_.substr(amp + 1);
        ended_ = amp == std::string_view::npos;
        if (token.size() <= key.size() || !token.starts_with(key) || token[key.size()] != '=') {
            return std::nullopt;
        }
        return token.substr(key.size() + 1);
    }
    [[nodiscard]] bool ended() const { return ended_; }

  private:
    std::string_view rest_;
    bool ended_ = false;
};

}  // namespace

Result<PersonFields> parsePersonBody(std::string_view body) {
    const std::optional<std::string_view> line = singleLine(body);
    if (!line || !line->starts_with("Name=")) {
        return refused("not a person line");
    }
    // The name is the field most likely to hold "&" or "=": the identifier,
    // the course and the address are found from the right.
    const std::size_t email = line->rfind("&Email=");
    const std::size_t test =
        email == std::string_view::npos ? email : line->rfind("&Test_ID=", email);
    const std::size_t serial =
        test == std::string_view::npos ? test : line->rfind("&Serial=", test);
    if (serial == std::string_view::npos || serial < 4) {
        return refused("fields missing or out of order");
    }
    PersonFields out;
    if (Status read = readTextFields(*line,
                                     {{&out.name, "Name", 5, serial},
                                      {&out.serial, "Serial", serial + 8, test},
                                      {&out.testId, "Test_ID", test + 9, email},
                                      {&out.email, "Email", email + 7, line->size()}},
                                     out.serial, out.testId);
        !read) {
        return read.error();
    }
    return out;
}

Result<Upload> parseUploadBody(std::string_view body) {
    if (body.size() > kMaxUploadBytes) {
        return refused("upload too large");
    }
    const std::optional<std::string_view> line = singleLine(body);
    if (!line || !line->starts_with("SERIAL=")) {
        return refused("not an upload");
    }
    // Free text comes first and numbers after: the boundary is the last
    // "&SENDQNUM=", since nothing after it may hold one.
    const std::size_t numbers = line->rfind("&SENDQNUM=");
    const std::string_view head = line->substr(0, numbers == std::string_view::npos ? 0 : numbers);
    const std::size_t email = head.find("&EMAIL=");
    const std::size_t name = email == std::string_view::npos ? email : head.find("&NAME=", email);
    const std::size_t test = name == std::string_view::npos ? name : head.rfind("&TEST_ID=");
    if (numbers == std::string_view::npos || test == std::string_view::npos || test < name) {
        return refused("fields missing or out of order");
    }
    Upload out;
    if (Status read = readTextFields(head,
                                     {{&out.serial, "SERIAL", 7, email},
                                      {&out.email, "EMAIL", email + 7, name},
                                      {&out.name, "NAME", name + 6, test},
                                      {&out.testId, "TEST_ID", test + 9, head.size()}},
                                     out.serial, out.testId);
        !read) {
        return read.error();
    }

    Fields fields(line->substr(numbers + 1));
    auto read = [&](const std::string& key, int max, int& into) -> Status {
        const std::optional<std::string_view> raw = fields.next(key);
        const std::optional<int> value = raw ? number(*raw, max) : std::nullopt;
        if (!value) {
            return refused(key + (raw ? " out of range" : " missing"));
        }
        into = *value;
        return Ok{};
    };
    int count = 0;
    if (Status s = read("SENDQNUM", kMaxQuestionSlots - 1, count); !s) {
        return s.error();
    }
    const std::optional<std::string_view> stamp = fields.next("LASTUPDATE");
    const auto when = stamp ? sync::parseSyncDate(unescapeBlanks(*stamp)) : std::nullopt;
    if (!when) {
        return refused("LASTUPDATE is no date and time");
    }
    out.lastUpdate = sync::formatSyncDate(*when);
    if (Status s = read("MAX", 255, out.bestRate); !s) {
        return s.error();
    }
    if (Status s = read("AVG", 255, out.averageRate); !s) {
        return s.error();
    }
    for (int i = 0; i < kExamSlots; ++i) {
        ExamRecord& e = out.exams[i];
        const std::string n = padded(i, 2);
        if (Status s = read("TIME" + n, 255, e.Minutes); !s) {
            return s.error();
        }
        const std::optional<std::string_view> date = fields.next("DATE" + n);
        const auto part = [&](int at, int max) {
            return date && date->size() == 8 ? number(date->substr(at, 2), max) : std::nullopt;
        };
        const auto month = part(0, 12), day = part(2, 31), hour = part(4, 23), minute = part(6, 59);
        if (!month || !day || !hour || !minute) {
            return refused("DATE" + n + " is no month, day, hour and minute");
        }
        e.Month = *month;
        e.Day = *day;
        e.Hour = *hour;
        e.Minute = *minute;
        for (auto [key, max, into] :
             {std::tuple{"RATE", 255, &e.Rate}, std::tuple{"MODE", 255, &e.Mode},
              std::tuple{"QAMNT", 511, &e.QuestionCount}}) {
            if (Status s = read(key + n, max, *into); !s) {
                return s.error();
            }
        }
    }
    for (int c = 0; c < kCategories; ++c) {
        const std::string n = padded(c, 2);
        int category = 0;
        if (Status s = read("CATEGORY" + n, kCategories, category); !s || category != c + 1) {
            return refused("CATEGORY" + n + " is not " + std::to_string(c + 1));
        }
        const std::optional<std::string_view> points = fields.next("POINT" + n);
        if (!points || points->size() != 3 * kPointValues) {
            return refused("POINT" + n + " is not seven three-digit values");
        }
        for (int v = 0; v < kPointValues; ++v) {
            const std::optional<int> value = number(points->substr(3 * v, 3), 255);
            if (!value) {
                return refused("POINT" + n + " is not seven three-digit values");
            }
            out.points[c][v] = *value;
        }
    }
    out.questions.resize(count);
    for (int q = 0; q < count; ++q) {
        const std::string n = padded(q, 3);
        QuestionSlot& slot = out.questions[q];
        for (auto [key, max, into] :
             {std::tuple{"QNUM", 99999, &slot.number}, std::tuple{"CORR", 255, &slot.correct},
              std::tuple{"FALS", 255, &slot.wrong}}) {
            if (Status s = read(key + n, max, *into); !s) {
                return s.error();
            }
        }
    }
    const std::optional<std::string_view> status = fields.next("STATUS");
    if (!status || *status != "OK" || !fields.ended()) {
        return refused("the line does not end with STATUS=OK after " + std::to_string(count) +
                       " question slots");
    }
    return out;
}

std::string sentOnFromQuery(std::string_view query) {
    const auto day = sync::parseSyncDate(query);
    if (!day || query.size() != 10) {
        return {};
    }
    return std::string(query);
}

std::string downloadRecord(const Upload& upload) {
    std::string out;
    out.reserve(4096 + 48 * upload.questions.size());
    auto line = [&](std::string_view key, std::string_view value) {
        out.append(key).append("=").append(value).append("\r\n");
    };
    line("EMAIL", text::utf8ToCp932(upload.email));
    line("NAME", text::utf8ToCp932(upload.name));
    line("TEST_ID", text::utf8ToCp932(upload.testId));
    line("SENDQNUM", std::to_string(upload.questions.size()));
    line("UPDATE", upload.lastUpdate);
    line("MAX", std::to_string(upload.bestRate));
    line("AVG", std::to_string(upload.averageRate));
    for (int i = 0; i < kExamSlots; ++i) {
        const ExamRecord& e = upload.exams[i];
        const std::string n = padded(i, 2);
        line("TIME" + n, std::to_string(e.Minutes));
        line("DATE" + n,
             padded(e.Month, 2) + padded(e.Day, 2) + padded(e.Hour, 2) + padded(e.Minute, 2));
        line("RATE" + n, std::to_string(e.Rate));
        line("MODE" + n, std::to_string(e.Mode));
        line("QAMNT" + n, std::to_string(e.QuestionCount));
    }
    for (int c = 0; c < kCategories; ++c) {
        std::string points;
        for (int v : upload.points[c]) {
            points += padded(v, 3);
        }
        line("POINT" + padded(c, 2), points);
    }
    for (std::size_t q = 0; q < upload.questions.size(); ++q) {
        const QuestionSlot& slot = upload.questions[q];
        const std::string n = padded(static_cast<int>(q), 3);
        line("QNUM" + n, std::to_string(slot.number));
        line("CORR" + n, std::to_string(slot.correct));
        line("FALS" + n, std::to_string(slot.wrong));
    }
    return out;
}

std::string downloadAnswer(std::string_view serialUtf8, std::string_view record) {
    std::string out = "[DLDATA]\r\nSERIAL=" + text::utf8ToCp932(serialUtf8) + "\r\n";
    out += record;
    return out;
}

std::string dateAnswer(std::string_view lastUpdate) {
    return std::string(lastUpdate) + "\r\n";
}
std::string notFoundAnswer() {
    return "NOTFOUND\r\n";
}
std::string refusalAnswer(std::string_view messageUtf8) {
    return "ERROR1 " + text::utf8ToCp932(messageUtf8) + "\r\n";
}
std::string unavailableAnswer() {
    return "ERROR2\r\n";
}
std::string acceptedAnswer() {
    return "OK\r\n";
}

std::optional<HistoryFile> historyOfRecord(std::string_view record) {
    return sync::historyFromDownload(downloadAnswer("", record), "");
}

}  // namespace tovalo::server::protocol
