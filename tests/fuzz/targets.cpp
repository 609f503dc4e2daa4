#include "targets.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/net/http_client.h"
#include "core/questions/qdf_source.h"
#include "core/questions/question_file.h"
#include "core/results/adaptive_file.h"
#include "core/results/history_file.h"
#include "core/styles/style_handoff.h"
#include "core/styles/zones.h"
#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"
#include "core/text/ini.h"
#include "core/text/lines.h"
#include "core/text/scramble.h"
#include "server/protocol/form_wire.h"
#include "server/protocol/multipart.h"
#include "server/protocol/sync_wire.h"

namespace tovalo::fuzz {

namespace {

std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

bool everyLineEndIsCrLf(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

}  // namespace

void questionFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = bytesOf(data, size);
    auto bank = parseQuestionFile(in, "fuzz.qdf");
    if (bank) {
        require(bank->questions.size() <= kMaxQuestions, "at most 500 records");
        require(bank->CategoryCount <= kMaxCategories, "at most 49 categories");
        for (int slot = 1; slot <= static_cast<int>(bank->questions.size()); ++slot) {
            const QuestionRecord& q = bank->question(slot);
            const QuestionTexts t = bank->texts(slot);
            require(q.Category >= 1 && q.Category <= bank->CategoryCount, "category in the table");
            require(q.AnswerCount <= q.ShowCount && q.ShowCount <= q.ChoiceCount &&
                        q.ChoiceCount <= kMaxChoices,
                    "counts in order");
            require(text::isValidUtf8(t.QuesText) && text::isValidUtf8(t.Explanation),
                    "texts are UTF-8");
        }
        // Every file the reader accepts comes back byte for byte through its
        // readable source (files with bare LF line ends come back with CR LF).
        auto source = unpackQuestionFile(in, "fuzz.qdf");
        if (source && everyLineEndIsCrLf(in)) {
            require(text::isValidUtf8(*source), "the source is UTF-8");
            auto packed = packQuestionSource(*source, "fuzz.txt");
            require(packed.ok(), "the source of an accepted file packs");
            require(*packed == in, "unpack then pack gives the same bytes");
        }
    }
    const std::vector<Error> problems = checkQuestionContents(in, "fuzz.qdf");
    require(bank.ok() || !problems.empty(), "a file the reader refuses has a problem to report");
    const std::size_t lines = text::splitLines(in).size();
    for (const Error& e : problems) {
        require(e.line >= 0 && static_cast<std::size_t>(e.line) <= lines + 1,
                "a problem names a line of the file");
    }
}

void qdfHeader(const std::uint8_t* data, std::size_t size) {
    auto h = parseQdfHeader(bytesOf(data, size), "fuzz.qdf");
    if (h) {
        require(h->FormatKind == 1 || h->FormatKind == 2, "a listed file has a format tag");
        require(text::isValidUtf8(h->ExamTitle) && text::isValidUtf8(h->QdfDate), "UTF-8 fields");
    }
}

void historyFile(const std::uint8_t* data, std::size_t size) {
    const HistoryFile h = parseHistoryFile(bytesOf(data, size));
    const std::string bytes = historyFileBytes(h);
    require(bytes.size() == kHistoryFileSize, "a history file is 1960 bytes");
    const HistoryFile again = parseHistoryFile(bytes);
    require(historyFileBytes(again) == bytes, "writing what was read is stable");
    HistoryFile next = again;
    GradedExam exam;
    for (std::size_t i = 0; i < size && i < 600; ++i) {
        exam.positions.push_back({static_cast<int>(data[i]) * 2, data[i] % 52, (data[i] & 1) != 0});
    }
    exam.ExamRate = size % 101;
    exam.ElapsedSeconds = static_cast<int>(size) * 97;
    recordExam(next, exam, "fuzz.qdf");
    require(historyFileBytes(next).size() == kHistoryFileSize, "still 1960 bytes after an exam");
}

void adaptiveFile(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines;
    for (std::string_view l : text::splitLines(bytesOf(data, size))) {
        lines.emplace_back(l);
        if (auto e = parseAdaptiveLine(l)) {
            require(e->AskedCount >= 0 && e->RightCount >= 0 && e->MeanTime >= 0,
                    "counts read within their range");
            auto again = parseAdaptiveLine(adaptiveLine(*e));
            require(again.has_value(), "a rebuilt line reads back");
        }
    }
    QuestionBank bank;
    for (int i = 1; i <= 3; ++i) {
        QuestionRecord q;
        q.QuesNum = i;
        q.Category = 1;
        q.SubCategory = 1;
        q.QuesText = bank.keep("q\r\n" + std::to_string(i));
        bank.questions.push_back(q);
    }
    bank.QuesTotal = 3;
    const std::vector<std::string> before = lines;
    updateAdaptiveLines(lines, {{1, true, 12}, {2, false, 7}, {3, true, 0}}, bank);
    require(lines.size() <= before.size() + 2, "at most one line appended per timed answer");
    // Only the lines of questions 1 and 2 may change; every other line keeps its bytes.
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto e = parseAdaptiveLine(before[i]);
        if (!e || (e->QuesNum != "1" && e->QuesNum != "2")) {
            require(lines[i] == before[i], "lines the exam did not count keep their bytes");
        }
    }
}

void iniFile(const std::uint8_t* data, std::size_t size) {
    const text::IniFile ini = text::IniFile::parse(bytesOf(data, size));
    for (const char* section : {"Vender", "Level", "CASE STUDY IMAGE", ""}) {
        for (const char* key : {"1", "TextA", "IMG1", "FMT", ""}) {
            const std::string v = ini.value(section, key, "default");
            require(text::isValidUtf8(v), "values are UTF-8");
        }
    }
}

void cp932(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = bytesOf(data, size);
    const std::string utf8 = text::cp932ToUtf8(in);
    require(text::isValidUtf8(utf8), "decoding gives UTF-8");
    std::string exact;
    if (text::cp932ToUtf8Exact(in, exact)) {
        require(text::utf8ToCp932(exact) == in, "an exact decode encodes back");
    }
    require(text::scramble(text::scramble(in)) == in, "scrambling is its own inverse");
    const std::string html =
        text::utf8ToCp932(bytesOf(data, size), text::Unmappable::HtmlReference);
    (void)html;
}

void styleData(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the style, the next lines are the shown choices
    // (data lines and anything else), and the bytes after a blank line are
    // the learner's actions, three at a time.
    if (size == 0) {
        return;
    }
    constexpr AnswerStyle kStyles[] = {AnswerStyle::Graphic,     AnswerStyle::Panel,
                                       AnswerStyle::Descriptive, AnswerStyle::PanelSecond,
                                       AnswerStyle::Connect,     AnswerStyle::ClickPicture};
    const AnswerStyle style = kStyles[data[0] % std::size(kStyles)];
    std::string_view rest = bytesOf(data + 1, size - 1);
    std::array<std::string, kMaxChoices> shown;
    for (std::size_t k = 0; k < shown.size() && !rest.empty(); ++k) {
        const std::size_t end = rest.find('\n');
        shown[k] = std::string(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (shown[k].empty()) {
            break;
        }
    }
    const StyleHandoff h = styleHandoff(style, shown, {"a.bmp", "b.jpg"});
    require(h.answerSlot >= 0 && h.answerSlot <= traitsOf(style).scannedSlots,
            "answer slot scanned");
    if (h.defect) {
        require(h.defect->group >= 0 && h.defect->group < 5 && !h.defect->what.empty(),
                "a defect names its group");
        return;
    }
    require(h.zones.size() <= MarkBoard::kMaxZones, "at most five zones");
    require(h.destinations.size() <= kMaxPanelItems && h.pieces.size() <= kMaxPanelItems,
            "at most 100 panel items");
    require(h.connect.panels.size() <= kMaxConnectPanels &&
                h.connect.connectors.size() <= kMaxConnectors &&
                h.connect.expected.size() <= kMaxConnections,
            "connect lists within their limits");
    const auto value = [&](std::size_t i) {
        return static_cast<int>(static_cast<std::int8_t>(rest[i])) * 8;
    };
    MarkBoard marks(h.zones);
    PanelBoard panels(h.destinations, h.pieces, style == AnswerStyle::PanelSecond);
    ConnectBoard connect(h.connect);
    for (std::size_t i = 0; i + 2 < rest.size(); i += 3) {
        const int n = static_cast<unsigned char>(rest[i]) % 24;
        switch (static_cast<unsigned char>(rest[i]) / 24) {
            case 0:
                marks.press(value(i + 1), value(i + 2));
                break;
            case 1:
                marks.unmark(n);
                break;
            case 2:
                marks.removeLatest();
                break;
            case 3:
                panels.drag(n, value(i + 1), value(i + 2));
                break;
            case 4:
                panels.press(n, value(i + 1), value(i + 2));
                break;
            case 5:
                panels.move(value(i + 1), value(i + 2));
                break;
            case 6:
                panels.release();
                break;
            case 7:
                connect.pressPanel(n, value(i + 1), value(i + 2), rest[i + 1] & 1);
                break;
            case 8:
                connect.movePanel(value(i + 1), value(i + 2));
                break;
            case 9:
                connect.releasePanel();
                connect.clickPanel(n);
                break;
            default:
                connect.clickConnector(n);
                break;
        }
    }
    require(marks.placedCount() <= marks.markLimit(), "no more marks than zones");
    for (std::size_t j = 1; j <= h.destinations.size(); ++j) {
        for (std::size_t o = j + 1; o <= h.destinations.size(); ++o) {
            require(panels.heldBy(static_cast<int>(j)) == 0 ||
                        panels.heldBy(static_cast<int>(j)) != panels.heldBy(static_cast<int>(o)),
                    "a piece sits in one slot at most");
        }
    }
    require(connect.connections().size() <= kMaxConnections, "at most 50 connections");
    require(connect.drawn().size() == connect.connections().size(), "every connection drawn");
    (void)panels.answerString();
    (void)connect.solved();
}

namespace {

// Every connection is answered with the same bytes, `block` at a time, so a
// redirection loops back to the same answer.
class ReplayServer : public net::Connector {
  public:
    ReplayServer(std::string_view bytes, std::size_t block) : bytes_(bytes), block_(block) {}

    net::NetStatus connect(const std::string&, int, std::chrono::milliseconds,
                           std::unique_ptr<net::Connection>& connection) override {
        ++connections;
        connection = std::make_unique<Reply>(bytes_, block_);
        return net::NetStatus::Ok;
    }
    // The same bytes go on inside the "TLS" session, so a proxy's answer to
    // CONNECT and the server's answer after it are one input.
    net::NetStatus secure(const std::string&, std::chrono::milliseconds,
                          std::unique_ptr<net::Connection>&) override {
        ++handshakes;
        return net::NetStatus::Ok;
    }

    int connections = 0;
    int handshakes = 0;

  private:
    class Reply : public net::Connection {
      public:
        Reply(std::string_view bytes, std::size_t block) : bytes_(bytes), block_(block) {}
        net::NetStatus send(std::string_view) override { return net::NetStatus::Ok; }
        net::NetStatus receive(char* buffer, std::size_t size, std::size_t& received) override {
            received = std::min({size, block_, bytes_.size()});
            bytes_.copy(buffer, received);
            bytes_.remove_prefix(received);
            return net::NetStatus::Ok;
        }

      private:
        std::string_view bytes_;
        std::size_t block_;
    };

    std::string_view bytes_;
    std::size_t block_;
};

}  // namespace

void httpResponse(const std::uint8_t* data, std::size_t size) {
    // The first byte is the size of the blocks the server's answer arrives in
    // and whether the request goes as https through a proxy.
    if (size == 0) {
        return;
    }
    ReplayServer server(bytesOf(data + 1, size - 1), data[0] % 64 + 1);
    net::HttpClient client(server);
    const bool tunnel = (data[0] & 0x40) != 0;
    if (tunnel) {
        client.settings.proxyHost = "proxy.example";
    }
    const net::HttpResponse r =
        client.post(tunnel ? "https://h.example/q" : "http://h.example/q", "a=1");
    require(server.handshakes <= server.connections, "one handshake per connection at most");
    require(server.connections >= 1 && server.connections <= net::kMaxRedirects + 1,
            "redirections are bounded");
    require(r.head.size() <= net::kMaxHeadBytes && r.body.size() <= net::kMaxBodyBytes,
            "the limits hold");
    require(r.outcome != net::HttpOutcome::Success || (r.status >= 200 && r.status <= 298),
            "success is a 2xx answer");
    require(r.received == r.body.size() || r.outcome != net::HttpOutcome::Success,
            "what was received is the body");
}

void syncUpload(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const Result<server::protocol::Upload> upload = server::protocol::parseUploadBody(body);
    if (!upload) {
        return;
    }
    // Whatever the server takes, it can give back as a history the client
    // reads, with the same date the next query will answer.
    const std::string answer =
        server::protocol::downloadAnswer(upload->serial, server::protocol::downloadRecord(*upload));
    require(sync::historyFromDownload(answer, "x.qdf").has_value(), "a kept upload downloads");
    require(sync::parseSyncDate(upload->lastUpdate).has_value(), "the kept date is a date");
    require(upload->questions.size() < server::protocol::kMaxQuestionSlots, "slots bounded");
}

void syncPerson(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const Result<server::protocol::PersonFields> person = server::protocol::parsePersonBody(body);
    if (!person) {
        return;
    }
    for (const std::string* field :
         {&person->name, &person->serial, &person->testId, &person->email}) {
        require(field->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                "no line break or NUL in a field");
        require(text::isValidUtf8(*field), "fields are UTF-8");
    }
    require(!person->serial.empty() && !person->testId.empty(), "identifier and course present");
}

void formBody(const std::uint8_t* data, std::size_t size) {
    using namespace server::protocol;
    const Result<FormFields> fields = decodeForm(bytesOf(data, size));
    if (!fields) {
        require(!fields.error().message.empty(), "a refusal says why");
        return;
    }
    require(fields->size() <= kMaxFormFields, "fields bounded");
    for (const FormField& f : *fields) {
        require(text::isValidUtf8(f.name) && text::isValidUtf8(f.value), "fields are UTF-8");
        require(f.name.find('\0') == std::string::npos && f.value.find('\0') == std::string::npos,
                "no NUL");
        require(f.value.empty() || (f.value.front() != '\n' && f.value.back() != '\n'),
                "values lose their outer line breaks");
    }
    const Result<PostedForm> form = classifyForm(*fields);
    if (const auto* q = form ? std::get_if<SupportQuestion>(&*form) : nullptr) {
        require(!q->course.code.empty() && q->quesNum > 0,
                "a question names its course and number");
    }
}

// The first line is the Content-Type header's value, the rest the body.
void multipartBody(const std::uint8_t* data, std::size_t size) {
    using namespace server::protocol;
    const std::string_view in = bytesOf(data, size);
    const std::size_t eol = in.find('\n');
    const std::string_view type = in.substr(0, eol);
    const std::string_view body = eol == std::string_view::npos ? "" : in.substr(eol + 1);
    const Result<std::vector<FormPart>> parts = parseMultipart(body, type);
    if (!parts) {
        require(!parts.error().message.empty(), "a refusal says why");
        return;
    }
    require(parts->size() <= kMaxMultipartParts, "parts bounded");
    std::size_t bytes = 0;
    for (const FormPart& p : *parts) {
        require(p.filename.find_first_of("/\\") == std::string::npos,
                "a file's name never carries a folder");
        require(p.isFile || p.filename.empty(), "only files have names");
        bytes += p.data.size();
    }
    require(bytes <= body.size(), "no part is longer than the body");
}

}  // namespace tovalo::fuzz
