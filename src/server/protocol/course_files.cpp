#include "server/protocol/course_files.h"

#include <algorithm>
#include <ctime>

#include "core/text/cp932.h"
#include "core/text/cp932_text_file.h"
#include "core/text/lines.h"

namespace tovalo::server::protocol {

namespace {

// Where line `index` (0-based) starts and where its text ends (before CR LF
// or LF); npos when the file has fewer lines.
struct LineSpan {
    std::size_t begin = std::string_view::npos;
    std::size_t end = std::string_view::npos;
};

LineSpan lineAt(std::string_view bytes, std::size_t index) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t lf = bytes.find('\n', begin);
        if (lf == std::string_view::npos) {
            return {};
        }
        begin = lf + 1;
    }
    if (begin >= bytes.size() && index > 0) {
        return {};
    }
    std::size_t end = bytes.find('\n', begin);
    if (end == std::string_view::npos) {
        end = bytes.size();
    }
    if (end > begin && bytes[end - 1] == '\r') {
        --end;
    }
    return {begin, end};
}

}  // namespace

Result<std::string> installedSettingsFile(std::string_view bytes, const std::string& path) {
    if (text::isValidUtf8(bytes)) {
        return text::cp932TextFile(bytes, path);
    }
    std::string utf8;
    if (!text::cp932ToUtf8Exact(bytes, utf8)) {
        return Error{"UTF-8 でも Shift_JIS (CP932) でもありません", path, 0};
    }
    return std::string(bytes);
}

std::string withDateLine(std::string_view qdf, std::string_view dateLine) {
    const LineSpan line = lineAt(qdf, 8);
    if (line.begin == std::string_view::npos) {
        return std::string(qdf);
    }
    std::string out(qdf.substr(0, line.begin));
    out += dateLine;
    out += qdf.substr(line.end);
    return out;
}

std::string withFigureVersions(std::string_view ini, std::uint64_t listVersion,
                               std::span<const std::uint64_t> figureVersions) {
    std::string out(ini);
    // From the last line back, so that the spans found stay where they are.
    for (std::size_t i = figureVersions.size(); i-- > 0;) {
        const LineSpan line = lineAt(out, 3 + i);
        if (line.begin == std::string::npos) {
            continue;
        }
        std::string_view entry = std::string_view(out).substr(line.begin, line.end - line.begin);
        // The number is the last word; the name and what precedes the number
        // stay as the author wrote them.
        std::size_t numberEnd = entry.find_last_not_of(" \t");
        if (numberEnd == std::string_view::npos) {
            continue;
        }
        ++numberEnd;
        const std::size_t blank = entry.find_last_of(" \t", numberEnd - 1);
        if (blank == std::string_view::npos) {
            continue;
        }
        out.replace(line.begin + blank + 1, numberEnd - blank - 1,
                    std::to_string(figureVersions[i]));
    }
    const LineSpan second = lineAt(out, 1);
    if (second.begin != std::string::npos) {
        out.replace(second.begin, second.end - second.begin, std::to_string(listVersion));
    }
    return out;
}

bool isStamp(std::string_view line) {
    return line.size() >= 14 && std::all_of(line.begin(), line.begin() + 14,
                                            [](char c) { return c >= '0' && c <= '9'; });
}

std::time_t stampTime(std::string_view stamp) {
    if (!isStamp(stamp)) {
        return 0;
    }
    const auto number = [&](std::size_t at, std::size_t digits) {
        int n = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            n = n * 10 + (stamp[i] - '0');
        }
        return n;
    };
    std::tm t{};
    t.tm_year = number(0, 4) - 1900;
    t.tm_mon = number(4, 2) - 1;
    t.tm_mday = number(6, 2);
    t.tm_hour = number(8, 2);
    t.tm_min = number(10, 2);
    t.tm_sec = number(12, 2);
    // The stamp is a wall-clock reading with no zone; UTC arithmetic keeps
    // it free of daylight-saving jumps.
    return ::timegm(&t);
}

std::string secondAfter(std::string_view stamp) {
    const std::time_t next = stampTime(stamp) + 1;
    std::tm out{};
    ::gmtime_r(&next, &out);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &out);
    return text;
}

}  // namespace tovalo::server::protocol
