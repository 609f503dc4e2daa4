#include "server/protocol/form_wire.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "core/text/cp932.h"
#include "core/text/trim.h"

namespace tovalo::server::protocol {

namespace {

Error refused(std::string message) {
    return Error{std::move(message), {}, 0};
}

enum class Charset { Utf8, Cp932 };

// The labels browsers and scripts use for the two charsets a page of ours
// can be posted in; Shift_JIS as browsers send it is CP932.
std::optional<Charset> charsetNamed(std::string_view label) {
    const std::string l = text::asciiLower(text::trim(label));
    for (std::string_view name : {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j",
                                  "cp932", "ms932", "ms_kanji", "csshiftjis", "x-ms-cp932"}) {
        if (l == name) {
            return Charset::Cp932;
        }
    }
    for (std::string_view name : {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8",
                                  "unicode20utf8", "x-unicode20utf8"}) {
        if (l == name) {
            return Charset::Utf8;
        }
    }
    return std::nullopt;
}

// A label from outside, fit to be quoted in a message: printable ASCII, cut short.
std::string quotable(std::string_view label) {
    std::string out;
    for (char c : label.substr(0, 40)) {
        out += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return out;
}

Error unknownCharset(std::string_view label) {
    return refused("文字コード「" + quotable(text::trim(label)) + "」には対応していません。");
}

struct ContentType {
    std::string mediaType;  // lower case
    std::optional<std::string> charset;
};

ContentType parseContentType(std::string_view header) {
    ContentType ct;
    std::size_t semi = header.find(';');
    ct.mediaType = text::asciiLower(text::trim(header.substr(0, semi)));
    while (semi != std::string_view::npos) {
        header.remove_prefix(semi + 1);
        semi = header.find(';');
        const std::string_view param = header.substr(0, semi);
        const std::size_t eq = param.find('=');
        if (eq == std::string_view::npos ||
            text::asciiLower(text::trim(param.substr(0, eq))) != "charset") {
            continue;
        }
        std::string_view value = text::trim(param.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        ct.charset = std::string(value);
    }
    return ct;
}

// "%XX" as a byte, and "+" as a blank where forms are meant; any other "%"
// is nothing a browser sends.
enum class Plus { Blank, Itself };
std::optional<std::string> unescaped(std::string_view raw, Plus plus = Plus::Blank) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '+' && plus == Plus::Blank) {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            const int hi = i + 1 < raw.size() ? text::hexDigitValue(raw[i + 1]) : -1;
            const int lo = i + 2 < raw.size() ? text::hexDigitValue(raw[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        }
    }
    return out;
}

// "&#NNNN;" and "&#xHHHH;" as their characters. Anything else that starts
// with "&#" (no digits, no ";", a surrogate, NUL, past U+10FFFF) stays as it
// was typed.
std::string withReferencesDecoded(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t amp = s.find("&#", i);
        if (amp == std::string_view::npos) {
            break;
        }
        out.append(s.substr(i, amp - i));
        std::size_t p = amp + 2;
        const bool hex = p < s.size() && (s[p] == 'x' || s[p] == 'X');
        p += hex ? 1 : 0;
        const std::size_t end = s.find(';', p);
        const std::size_t maxDigits = hex ? 6 : 7;
        std::uint32_t cp = 0;
        bool decoded = false;
        if (end != std::string_view::npos && end > p && end - p <= maxDigits) {
            const auto [ptr, ec] = std::from_chars(s.data() + p, s.data() + end, cp, hex ? 16 : 10);
            decoded =
                ec == std::errc() && ptr == s.data() + end && cp != 0 && text::appendUtf8(out, cp);
        }
        if (decoded) {
            i = end + 1;
        } else {
            out += "&#";
            i = amp + 2;
        }
    }
    out.append(s.substr(std::min(i, s.size())));
    return out;
}

// The line breaks the templates put around each marker's value.
std::string_view withoutOuterLineBreaks(std::string_view s) {
    const auto lineBreak = [](char c) { return c == '\r' || c == '\n'; };
    while (!s.empty() && lineBreak(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && lineBreak(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string mib(std::size_t bytes) {
    return std::to_string(bytes / (1024 * 1024)) + "MiB";
}

// The fields as bytes, before the charset is known.
Result<FormFields> splitBody(std::string_view body) {
    if (body.size() > kMaxFormBodyBytes) {
        return refused("送信された内容が大きすぎます(上限" + mib(kMaxFormBodyBytes) + ")。");
    }
    FormFields fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t amp = body.find('&', start);
        if (amp == std::string_view::npos) {
            amp = body.size();
        }
        const std::string_view piece = body.substr(start, amp - start);
        start = amp + 1;
        if (piece.empty()) {
            continue;
        }
        if (fields.size() == kMaxFormFields) {
            return refused("送信された項目が多すぎます(上限" + std::to_string(kMaxFormFields) +
                           "項目)。");
        }
        const std::size_t eq = piece.find('=');
        std::optional<std::string> name = unescaped(piece.substr(0, eq));
        std::optional<std::string> value =
            eq == std::string_view::npos ? std::string() : unescaped(piece.substr(eq + 1));
        const std::string position = std::to_string(fields.size() + 1) + "番目の項目";
        if (!name || !value) {
            return refused(position + "に、16進数2桁の続かない「%」があります。");
        }
        if (name->size() > kMaxFormNameBytes) {
            return refused(position + "の名前が長すぎます(上限" +
                           std::to_string(kMaxFormNameBytes) + "バイト)。");
        }
        if (name->find('\0') != std::string::npos || value->find('\0') != std::string::npos) {
            return refused(position + "にNUL文字があります。");
        }
        fields.push_back({std::move(*name), std::move(*value)});
    }
    return fields;
}

bool allUtf8(const FormFields& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const FormField& f) {
        return text::isValidUtf8(f.name) && text::isValidUtf8(f.value);
    });
}

// Which charset the bytes are in; refuses a charset that is named but unknown.
Result<Charset> chosenCharset(const FormFields& fields, const ContentType& ct) {
    if (ct.charset) {
        if (const auto c = charsetNamed(*ct.charset)) {
            return *c;
        }
        return unknownCharset(*ct.charset);
    }
    const auto named = std::find_if(fields.begin(), fields.end(),
                                    [](const FormField& f) { return f.name == "_charset_"; });
    if (named != fields.end()) {
        if (const auto c = charsetNamed(named->value)) {
            return *c;
        }
        return unknownCharset(named->value);
    }
    return allUtf8(fields) ? Charset::Utf8 : Charset::Cp932;
}

std::optional<std::string> decoded(std::string_view bytes, Charset charset) {
    if (charset == Charset::Utf8) {
        return text::isValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    }
    std::string utf8;
    if (!text::cp932ToUtf8Defined(bytes, utf8)) {
        return std::nullopt;
    }
    // What the page's charset could not hold came as character references;
    // in UTF-8 nothing did, so "&#" there is what the learner typed.
    return withReferencesDecoded(utf8);
}

}  // namespace

Result<FormFields> decodeForm(std::string_view body, std::string_view contentType) {
    const ContentType ct = parseContentType(contentType);
    if (!ct.mediaType.empty() && ct.mediaType != "application/x-www-form-urlencoded") {
        return refused("フォームの送信形式「" + quotable(ct.mediaType) +
                       "」には対応していません。");
    }
    Result<FormFields> raw = splitBody(body);
    if (!raw) {
        return raw.error();
    }
    const Result<Charset> charset = chosenCharset(*raw, ct);
    if (!charset) {
        return charset.error();
    }
    FormFields fields;
    fields.reserve(raw->size());
    for (std::size_t i = 0; i < raw->size(); ++i) {
        const FormField& f = (*raw)[i];
        std::optional<std::string> name = decoded(f.name, *charset);
        std::optional<std::string> value = decoded(f.value, *charset);
        if (!name || !value) {
            return refused(std::to_string(i + 1) + "番目の項目が" +
                           (*charset == Charset::Utf8 ? "UTF-8" : "Shift_JIS") +
                           "の文字として読めません。");
        }
        fields.push_back({std::move(*name), std::string(withoutOuterLineBreaks(*value))});
    }
    return fields;
}

CourseName splitCourseName(std::string_view text) {
    const std::size_t sep = text.find(" : ");
    if (sep == std::string_view::npos) {
        return {text::trimmed(text), {}};
    }
    return {text::trimmed(text.substr(0, sep)), text::trimmed(text.substr(sep + 3))};
}

namespace {

const FormField* fieldNamed(const FormFields& fields, std::string_view name) {
    const auto it = std::find_if(fields.begin(), fields.end(),
                                 [name](const FormField& f) { return f.name == name; });
    return it == fields.end() ? nullptr : &*it;
}

std::string valueOf(const FormFields& fields, std::string_view name) {
    const FormField* f = fieldNamed(fields, name);
    return f != nullptr ? f->value : std::string();
}

// Blank: nothing but ASCII white space and ideographic spaces.
bool blank(std::string_view s) {
    constexpr std::string_view kIdeographicSpace = "\u3000";
    while (!s.empty()) {
        if (static_cast<unsigned char>(s.front()) <= 0x20) {
            s.remove_prefix(1);
        } else if (s.starts_with(kIdeographicSpace)) {
            s.remove_prefix(kIdeographicSpace.size());
        } else {
            return false;
        }
    }
    return true;
}

// Question numbers are positive and far below this.
constexpr int kMaxQuesNum = 999999;

Result<PostedForm> supportQuestion(const FormFields& fields) {
    SupportQuestion q;
    q.sender = {valueOf(fields, "serial"), valueOf(fields, "name"), valueOf(fields, "org"),
                valueOf(fields, "mail")};
    q.course = splitCourseName(valueOf(fields, "test"));
    if (q.course.code.empty()) {
        return refused("質問の送信内容にテスト名がありません。");
    }
    q.qdfDate = valueOf(fields, "qdfdate");
    const std::string num(text::trim(valueOf(fields, "quesnum")));
    const auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), q.quesNum);
    if (num.empty() || ec != std::errc() || ptr != num.data() + num.size() || q.quesNum < 1 ||
        q.quesNum > kMaxQuesNum) {
        return refused("質問の送信内容の問題番号が正しくありません。");
    }
    q.questionText = valueOf(fields, "ques");
    q.answerBlock = valueOf(fields, "answ");
    q.question = valueOf(fields, "question");
    if (blank(q.question)) {
        return refused("ご質問が入力されていません。");
    }
    return PostedForm(std::move(q));
}

Result<PostedForm> diagnosisRequest(const FormFields& fields) {
    DiagnosisRequest r;
    r.sender = {valueOf(fields, "SERIAL"), valueOf(fields, "NAME"), valueOf(fields, "ORG"),
                valueOf(fields, "MAIL")};
    r.message = valueOf(fields, "MESSAGE");
    const std::string test = text::trimmed(valueOf(fields, "TEST"));
    if (!test.empty() && test != kNoCourseChosen) {
        r.chosen = splitCourseName(test);
    }
    constexpr std::string_view kFixed[] = {"SERIAL", "NAME",    "ORG",      "MAIL",
                                           "TEST",   "MESSAGE", "_charset_"};
    for (const FormField& f : fields) {
        if (std::find(std::begin(kFixed), std::end(kFixed), f.name) != std::end(kFixed) ||
            fieldNamed(fields, f.name) != &f) {
            continue;
        }
        Result<HistoryText> history = parseHistoryText(f.value);
        if (!history) {
            return refused("テスト「" + f.name + "」の" + history.error().message);
        }
        r.courses.push_back({f.name, std::move(history).value()});
    }
    return PostedForm(std::move(r));
}

}  // namespace

Result<PostedForm> classifyForm(const FormFields& fields) {
    if (fieldNamed(fields, "quesnum") != nullptr || fieldNamed(fields, "question") != nullptr) {
        return supportQuestion(fields);
    }
    if (fieldNamed(fields, "TEST") != nullptr) {
        return diagnosisRequest(fields);
    }
    return refused("質問サービスの送信内容でも、診断の申し込みでもありません。");
}

std::optional<std::string> percentDecoded(std::string_view raw) {
    return unescaped(raw, Plus::Itself);
}

std::optional<std::string> queryParameter(std::string_view query, std::string_view name) {
    std::size_t start = 0;
    while (start <= query.size()) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view pair = query.substr(start, end - start);
        if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == '=') {
            return percentDecoded(pair.substr(name.size() + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace tovalo::server::protocol
