#include "core/questions/qdf_source.h"

#include "core/questions/qdf_layout.h"
#include "core/questions/question_file.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/scramble.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

bool isEscaped(std::string_view sourceLine) {
    return !sourceLine.empty() && sourceLine.front() == '\\';
}

bool isMarkerLine(QdfField f) {
    return f == QdfField::CategoryEnd || f == QdfField::QuesTextEnd || f == QdfField::ChoiceEnd ||
           f == QdfField::ExplanationEnd || f == QdfField::Closing;
}

bool isRefField(QdfField f) {
    return f == QdfField::RefText || f == QdfField::RefPage;
}

bool isNullLine(std::string_view line) {
    return text::trim(line) == "Null";
}

// Lines kept as they stand although their field is scrambled text: "none"
// in a reference line, and the empty-slot "Null" of a choice block, which
// the source shows as the author wrote it rather than as the reader sees it.
bool keptPlain(const LineRole& role, std::string_view line) {
    return (isRefField(role.field) && refLineIsEmpty(line)) ||
           (role.field == QdfField::Choice && isNullLine(line));
}

const char kHex[] = "0123456789ABCDEF";

void appendHexByte(std::string& out, unsigned char b) {
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
}

std::string escapeLine(std::string_view bytes) {
    std::string utf8;
    const bool exact = text::cp932ToUtf8Exact(bytes, utf8);
    std::string out = "\\";
    for (unsigned char c : exact ? std::string_view(utf8) : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || (!exact && c >= 0x80)) {
            appendHexByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

Result<std::string> encodeExactly(std::string_view utf8, const std::string& path, int lineNo) {
    std::string bytes = text::utf8ToCp932(utf8);
    std::string back;
    if (!text::isValidUtf8(utf8) || !text::cp932ToUtf8Exact(bytes, back) || back != utf8) {
        return Error{"Shift_JIS (CP932) で書けない文字があります", path, lineNo};
    }
    return bytes;
}

// The CP932 bytes a source line stands for.
Result<std::string> sourceBytes(std::string_view line, const std::string& path, int lineNo) {
    if (!isEscaped(line)) {
        return encodeExactly(line, path, lineNo);
    }
    std::string out;
    std::string run;
    auto flush = [&]() -> bool {
        if (run.empty()) {
            return true;
        }
        auto b = encodeExactly(run, path, lineNo);
        if (!b) {
            return false;
        }
        out += *b;
        run.clear();
        return true;
    };
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] != '\\') {
            run += line[i];
            continue;
        }
        if (!flush()) {
            return Error{"Shift_JIS (CP932) で書けない文字があります", path, lineNo};
        }
        if (i + 1 < line.size() && line[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < line.size() && line[i + 1] == 'x' &&
                   text::hexDigitValue(line[i + 2]) >= 0 && text::hexDigitValue(line[i + 3]) >= 0) {
            out += static_cast<char>(text::hexDigitValue(line[i + 2]) * 16 +
                                     text::hexDigitValue(line[i + 3]));
            i += 3;
        } else {
            return Error{"\"\\\" の後は \"\\\" か \"xHH\" でなければなりません", path, lineNo};
        }
    }
    if (!flush()) {
        return Error{"Shift_JIS (CP932) で書けない文字があります", path, lineNo};
    }
    return out;
}

}  // namespace

Result<std::string> unpackQuestionFile(std::string_view stored, const std::string& path) {
    const auto lines = text::splitLines(stored);
    const QdfLayout layout = classifyStoredQdfLines(lines, path);
    if (layout.error) {
        return *layout.error;
    }
    std::string out;
    out.reserve(stored.size() + stored.size() / 4);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineRole& role = layout.roles[i];
        const bool scrambled = isTextField(role.field) && !keptPlain(role, lines[i]);
        const std::string bytes = scrambled ? text::scramble(lines[i]) : std::string(lines[i]);
        std::string utf8;
        bool escape = !text::cp932ToUtf8Exact(bytes, utf8) || isEscaped(utf8) ||
                      (!bytes.empty() && bytes.back() == '\r');
        if (!escape && scrambled) {
            const std::string_view t = text::trim(utf8);
            const std::string_view marker = markerFor(role.field);
            escape = (!marker.empty() && t == marker) || keptPlain(role, utf8);
        }
        if (escape && isMarkerLine(role.field)) {
            return Error{"この行は読める形に書き出せません", path, static_cast<int>(i + 1)};
        }
        if (escape && isTextField(role.field) && !scrambled) {
            // An escaped line of a text field is always scrambled by pack, so
            // a plain "Null" that needs escaping is written in its readable form.
            out += escapeLine(text::scramble(lines[i]));
        } else {
            out += escape ? escapeLine(bytes) : utf8;
        }
        if (i + 1 < lines.size() || text::endsWithLineEnd(stored)) {
            out += '\n';
        }
    }
    return out;
}

Result<std::string> packQuestionSource(std::string_view source, const std::string& path) {
    const auto lines = text::splitLines(source);
    const QdfLayout layout = classifyQdfLines(
        lines.size(),
        [&lines](std::size_t i, std::string_view marker) {
            return !isEscaped(lines[i]) && text::trim(lines[i]) == marker;
        },
        path);
    if (layout.error) {
        return *layout.error;
    }
    std::string out;
    out.reserve(source.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineRole& role = layout.roles[i];
        const int lineNo = static_cast<int>(i + 1);
        auto bytes = sourceBytes(lines[i], path, lineNo);
        if (!bytes) {
            return bytes.error();
        }
        std::string stored = std::move(bytes).value();
        if (isTextField(role.field) && !(!isEscaped(lines[i]) && keptPlain(role, lines[i]))) {
            stored = text::scramble(stored);
            const std::string_view marker = markerFor(role.field);
            if (!marker.empty() && text::trim(stored) == marker) {
                return Error{"この行は保存すると区切り行 \"" + std::string(marker) +
                                 "\" と読まれてしまいます",
                             path, lineNo};
            }
            // An author's reference text must not silently read as "none";
            // an escaped line says exactly which bytes are meant.
            if (!isEscaped(lines[i]) && isRefField(role.field) && refLineIsEmpty(stored)) {
                return Error{"この行は保存すると \"Null\" (参照なし) と読まれてしまいます", path,
                             lineNo};
            }
        }
        out += stored;
        if (i + 1 < lines.size() || text::endsWithLineEnd(source)) {
            out += "\r\n";
        }
    }
    auto loaded = parseQuestionFile(out, path);
    if (!loaded) {
        return loaded.error();
    }
    return out;
}

}  // namespace tovalo
