#include "core/sync/sync_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <tuple>
#include <unordered_map>

#include "core/text/cp932.h"
#include "core/text/trim.h"

namespace tovalo::sync {

std::string escapeBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ') {
            out += "%20";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string personLine(const app::Profile& profile, std::string_view testId) {
    std::string line = "Name=" + profile.name + "&Serial=" + profile.serial + "&Test_ID=";
    line += testId;
    line += "&Email=" + profile.email;
    return line;
}

std::string padded(int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

bool readNumber(std::string_view text, int digits, int& value) {
    if (text.size() != static_cast<std::size_t>(digits)) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

// Reads "1", "01" or "001" up to `maxDigits` digits.
bool readField(std::string_view& rest, int maxDigits, int& value) {
    std::size_t n = 0;
    while (n < rest.size() && n < static_cast<std::size_t>(maxDigits) && rest[n] >= '0' &&
           rest[n] <= '9') {
        ++n;
    }
    if (n == 0) {
        return false;
    }
    readNumber(rest.substr(0, n), static_cast<int>(n), value);
    rest.remove_prefix(n);
    return true;
}

bool take(std::string_view& rest, char c) {
    if (rest.empty() || rest.front() != c) {
        return false;
    }
    rest.remove_prefix(1);
    return true;
}

int daysIn(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

auto fields(const platform::LocalDateTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// A downloaded value: its low byte, and whether it reached 256. Digits are
// folded as they come, so no length of number can overflow anything.
struct ServerNumber {
    unsigned char low = 0;
    bool atLeast256 = false;
};

std::optional<ServerNumber> serverNumber(std::string_view text) {
    text = text::trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint32_t low = 0;
    std::uint32_t capped = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        low = (low * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFF;
        capped = std::min<std::uint32_t>(capped * 10 + static_cast<std::uint32_t>(c - '0'), 256);
    }
    ServerNumber n;
    n.low = static_cast<unsigned char>(negative ? (256 - low) & 0xFF : low);
    n.atLeast256 = !negative && capped >= 256;
    return n;
}

// Fixed-width pieces of a packed value ("DATE", "POINT"); a piece the text
// is too short for reads as 0, as does a text the server left out.
bool pieces(std::string_view text, int width, int* out, int count) {
    text = text::trim(text);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(i * width);
        const std::string_view piece =
            at < text.size() ? text.substr(at, width) : std::string_view();
        if (piece.empty()) {
            out[i] = 0;
            continue;
        }
        const std::optional<ServerNumber> n = serverNumber(piece);
        if (!n) {
            return false;
        }
        out[i] = n->low;
    }
    return true;
}

// The "DLDATA" section's keys (upper case) and values. A settings-file
// reader in spirit (first key wins, names in any case, values trimmed) but
// one pass over the text, whatever a server sends.
std::unordered_map<std::string, std::string_view> downloadedValues(std::string_view body) {
    std::unordered_map<std::string, std::string_view> values;
    bool inSection = false;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string_view::npos) {
            end = body.size();
        }
        const std::string_view line = text::trim(body.substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            inSection =
                close != std::string_view::npos &&
                text::equalsIgnoreAsciiCase(text::trim(line.substr(1, close - 1)), "DLDATA");
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inSection || eq == std::string_view::npos) {
            continue;
        }
        std::string key(text::trim(line.substr(0, eq)));
        for (char& c : key) {
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        values.emplace(std::move(key), text::trim(line.substr(eq + 1)));
    }
    return values;
}

}  // namespace

const char* stateText(SyncState state) {
    switch (state) {
        case SyncState::Synced:
            return "同期済み";
        case SyncState::ClientNewer:
            return "ｸﾗｲｱﾝﾄ最新";
        case SyncState::ServerNewer:
            return "ｻｰﾊﾞｰ最新";
        case SyncState::Unavailable:
            break;
    }
    return "同期不可";
}

std::string formatSyncDate(const platform::LocalDateTime& t) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::optional<platform::LocalDateTime> parseSyncDate(std::string_view text) {
    std::string_view rest = text::trim(text);
    platform::LocalDateTime t;
    if (!readField(rest, 4, t.year) || !take(rest, '/') || !readField(rest, 2, t.month) ||
        !take(rest, '/') || !readField(rest, 2, t.day)) {
        return std::nullopt;
    }
    if (!rest.empty()) {
        if (!take(rest, ' ')) {
            return std::nullopt;
        }
        while (take(rest, ' ')) {
        }
        if (!readField(rest, 2, t.hour) || !take(rest, ':') || !readField(rest, 2, t.minute)) {
            return std::nullopt;
        }
        if (take(rest, ':') && !readField(rest, 2, t.second)) {
            return std::nullopt;
        }
        if (!rest.empty()) {
            return std::nullopt;
        }
    }
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysIn(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return t;
}

std::chrono::system_clock::time_point toTimePoint(const platform::LocalDateTime& t) {
    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    fields.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&fields));
}

bool sameMoment(const platform::LocalDateTime& a, const platform::LocalDateTime& b) {
    return fields(a) == fields(b);
}

bool earlier(const platform::LocalDateTime& a, const platform::LocalDateTime& b) {
    return fields(a) < fields(b);
}

std::string checkProxy(std::string_view host, std::string_view port) {
    if (host.find("//") != std::string_view::npos) {
        return kBadProxyName;
    }
    int value = 0;
    if (port.empty() || port.size() > 5 ||
        !readNumber(port, static_cast<int>(port.size()), value) || value > 65535) {
        return kBadProxyPort;
    }
    return {};
}

std::string testIdOf(std::string_view qdfPath) {
    const std::size_t slash = qdfPath.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? qdfPath : qdfPath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string queryBody(const app::Profile& profile, std::string_view testId) {
    return text::utf8ToCp932(escapeBlanks(personLine(profile, testId))) + "\r\n";
}

std::string downloadBody(const app::Profile& profile, std::string_view testId) {
    return text::utf8ToCp932(personLine(profile, testId)) + "\r\n";
}

QueryAnswer readQueryAnswer(std::string_view body) {
    const std::string_view line = text::trim(body.substr(0, body.find('\n')));
    QueryAnswer answer;
    if (line.substr(0, 6) == "ERROR1") {
        answer.kind = QueryAnswer::Kind::Refused;
        const std::string_view words = line.size() > 7 ? line.substr(7) : std::string_view();
        // Servers of either age: UTF-8, or the CP932 the older ones write.
        answer.message = text::isValidUtf8(words) ? std::string(words) : text::cp932ToUtf8(words);
    } else if (line.substr(0, 6) == "ERROR2") {
        answer.serverDate = kNoDate;
    } else if (line == "NOTFOUND") {
        answer.serverDate = kNeverStored;
    } else {
        answer.serverDate = std::string(line);
    }
    return answer;
}

bool isUnusedHistory(std::string_view historyBytes) {
    return historyBytes.size() > 5 && historyBytes[5] == '\x0B';
}

std::optional<SyncState> decideState(std::string_view serverDate,
                                     const platform::LocalDateTime& client, bool unusedHistory) {
    if (serverDate == kNoDate) {
        return SyncState::Unavailable;
    }
    const std::optional<platform::LocalDateTime> server = parseSyncDate(serverDate);
    if (!server) {
        return std::nullopt;
    }
    if (sameMoment(*server, client)) {
        return SyncState::Synced;
    }
    if (earlier(*server, client)) {
        // A history nobody has used yet is only newer by the date the
        // catalog made it: whatever the server holds is worth more.
        return unusedHistory && serverDate != kNeverStored ? SyncState::ServerNewer
                                                           : SyncState::ClientNewer;
    }
    return SyncState::ServerNewer;
}

std::string shownServerDate(std::string_view serverDate) {
    return serverDate == kNeverStored || serverDate == kNoDate ? std::string(kNoDate)
                                                               : std::string(serverDate);
}

std::string uploadBody(const app::Profile& profile, std::string_view testId,
                       std::string_view clientDate, const QuestionBank& bank,
                       const HistoryFile& history) {
    const std::string email = profile.email.empty() ? "<NO EMAIL ADDRESS>" : profile.email;
    const std::string name = profile.name.empty() ? "<NO NAME>" : profile.name;
    const int total = bank.QuesTotal;
    std::string line;
    line.reserve(12000);
    line += "SERIAL=" + profile.serial + "&EMAIL=" + email + "&NAME=" + name + "&TEST_ID=";
    line += testId;
    line += "&SENDQNUM=" + std::to_string(total) + "&LASTUPDATE=";
    line += clientDate;
    line += "&MAX=" + std::to_string(history.BestRate) +
            "&AVG=" + std::to_string(history.AverageRate) + "&";
    for (int i = 0; i < kHistoryExams; ++i) {
        const ExamRecord& e = history.exams[i];
        const std::string n = padded(i, 2);
        line += "TIME" + n + "=" + std::to_string(e.Minutes) + "&DATE" + n + "=" +
                padded(e.Month, 2) + padded(e.Day, 2) + padded(e.Hour, 2) + padded(e.Minute, 2) +
                "&RATE" + n + "=" + std::to_string(e.Rate) + "&MODE" + n + "=" +
                std::to_string(e.Mode) + "&QAMNT" + n + "=" + std::to_string(e.QuestionCount) + "&";
    }
    for (int c = 1; c <= kHistoryCategories; ++c) {
        const CategoryRecord& r = history.categories[c - 1];
        line += "CATEGORY" + padded(c - 1, 2) + "=" + std::to_string(c) + "&POINT" +
                padded(c - 1, 2) + "=";
        for (int rate : r.RecentRates) {
            line += padded(rate, 3);
        }
        line += padded(r.CategoryAverage, 3) + padded(r.CategoryBest, 3) + "&";
    }
    for (int j = 1; j <= total; ++j) {
        const int num = j <= static_cast<int>(bank.questions.size()) ? bank.question(j).QuesNum : 0;
        const int right = j <= kHistoryQuestions ? history.CorrectCount[j - 1] : 0;
        const int wrong = j <= kHistoryQuestions ? history.WrongCount[j - 1] : 0;
        const std::string n = padded(j - 1, 3);
        line += "QNUM" + n + "=" + std::to_string(num) + "&CORR" + n + "=" + std::to_string(right) +
                "&FALS" + n + "=" + std::to_string(wrong) + "&";
    }
    line += "STATUS=OK";
    return text::utf8ToCp932(escapeBlanks(line)) + "\r\n";
}

std::optional<HistoryFile> historyFromDownload(std::string_view body, std::string_view qdfPath) {
    const auto values = downloadedValues(body);
    auto value = [&](const std::string& key) -> std::string_view {
        const auto it = values.find(key);
        return it == values.end() ? std::string_view("0") : it->second;
    };
    bool sound = true;
    auto number = [&](const std::string& key) -> ServerNumber {
        const std::optional<ServerNumber> n = serverNumber(value(key));
        sound = sound && n.has_value();
        return n.value_or(ServerNumber{});
    };
    auto packed = [&](const std::string& key, int width, int* out, int count) {
        sound = sound && pieces(value(key), width, out, count);
    };

    HistoryFile h;
    std::string path = text::utf8ToCp932(qdfPath);
    path.resize(std::min(path.size(), kHistoryPathField));
    h.QuestionFilePath = path;
    for (int i = 0; i < kHistoryExams; ++i) {
        ExamRecord& e = h.exams[i];
        const std::string n = padded(i, 2);
        e.Minutes = number("TIME" + n).low;
        int date[4] = {};
        packed("DATE" + n, 2, date, 4);
        e.Month = date[0];
        e.Day = date[1];
        e.Hour = date[2];
        e.Minute = date[3];
        e.Rate = number("RATE" + n).low;
        e.Mode = number("MODE" + n).low;
        const ServerNumber count = number("QAMNT" + n);
        e.QuestionCount = count.low | (count.atLeast256 ? 0x100 : 0);
    }
    h.BestRate = number("MAX").low;
    h.AverageRate = number("AVG").low;
    h.reserved = {0, 0, 0, 0};
    for (int c = 0; c < kHistoryCategories; ++c) {
        int values[7] = {};
        packed("POINT" + padded(c, 2), 3, values, 7);
        CategoryRecord& r = h.categories[c];
        std::copy(values, values + 5, r.RecentRates.begin());
        r.CategoryAverage = values[5];
        r.CategoryBest = values[6];
    }
    for (int q = 0; q < kHistoryQuestions; ++q) {
        const std::string n = padded(q, 3);
        h.CorrectCount[q] = number("CORR" + n).low;
        h.WrongCount[q] = number("FALS" + n).low;
    }
    if (!sound) {
        return std::nullopt;
    }
    return h;
}

}  // namespace tovalo::sync
