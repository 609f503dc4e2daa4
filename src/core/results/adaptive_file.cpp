#include "core/results/adaptive_file.h"

#include <algorithm>
#include <unordered_map>

#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/questions/numbers.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"

namespace tovalo {

namespace {

// The marker "@k*" from `from` on. A trail byte may be "@" (0x40), so the
// scan steps over double-byte characters instead of searching the bytes.
std::size_t findMarker(std::string_view line, int k, std::size_t from) {
    const char digit = static_cast<char>('0' + k);
    for (std::size_t i = from; i < line.size();) {
        if (line[i] == '@' && i + 2 < line.size() && line[i + 1] == digit && line[i + 2] == '*') {
            return i;
        }
        i += text::isLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}

int countOf(const std::string& field) {
    const int v = parseFileInteger(field).value_or(0);
    return v >= 0 && v <= kMaxAdaptiveCount ? v : 0;
}

AdaptiveEntry entryFor(const QuestionBank& bank, const QuestionRecord& q) {
    AdaptiveEntry e;
    e.QuesNum = std::to_string(q.QuesNum);
    e.Category = std::to_string(q.Category);
    e.SubCategory = std::to_string(q.SubCategory);
    e.QuesText = adaptiveStoredText(bank.text(q.QuesText));
    return e;
}

}  // namespace

std::string adaptiveStoredText(std::string text) {
    std::size_t at;
    while ((at = text.find("\r\n")) != std::string::npos) {
        text.erase(at, 2);
    }
    return text::utf8ToCp932(text);
}

std::optional<AdaptiveEntry> parseAdaptiveLine(std::string_view line) {
    std::string fields[7];
    std::size_t from = 0;
    for (int k = 0; k <= 7; ++k) {
        const std::size_t at = findMarker(line, k, from);
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
        if (k > 0) {
            fields[k - 1] = std::string(line.substr(from, at - from));
        }
        from = at + 3;
    }
    AdaptiveEntry e;
    e.QuesNum = fields[0];
    e.Category = fields[1];
    e.SubCategory = fields[2];
    e.QuesText = fields[3];
    e.AskedCount = countOf(fields[4]);
    e.RightCount = countOf(fields[5]);
    e.MeanTime = countOf(fields[6]);
    return e;
}

std::string adaptiveLine(const AdaptiveEntry& e) {
    return "@0*" + e.QuesNum + "@1*" + e.Category + "@2*" + e.SubCategory + "@3*" + e.QuesText +
           "@4*" + std::to_string(e.AskedCount) + "@5*" + std::to_string(e.RightCount) + "@6*" +
           std::to_string(e.MeanTime) + "@7*";
}

std::vector<std::string> newAdaptiveLines(const QuestionBank& bank) {
    std::vector<std::string> lines;
    const int total = std::min<int>(bank.QuesTotal, static_cast<int>(bank.questions.size()));
    lines.reserve(total);
    for (int slot = 1; slot <= total; ++slot) {
        lines.push_back(adaptiveLine(entryFor(bank, bank.question(slot))));
    }
    return lines;
}

void updateAdaptiveLines(std::vector<std::string>& lines,
                         const std::vector<AdaptiveAnswer>& answers, const QuestionBank& bank) {
    // Each line is read once; the first line of a question number is the
    // one its answers go to.
    std::vector<std::optional<AdaptiveEntry>> entries;
    entries.reserve(lines.size());
    std::unordered_map<std::string, std::size_t> byQuesNum;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        entries.push_back(parseAdaptiveLine(lines[i]));
        if (entries.back()) {
            byQuesNum.emplace(entries.back()->QuesNum, i);
        }
    }
    std::vector<bool> changed(lines.size(), false);
    for (const AdaptiveAnswer& a : answers) {
        if (a.TimeSpent <= 0 || a.BankSlot < 1 ||
            a.BankSlot > static_cast<int>(bank.questions.size())) {
            continue;
        }
        const QuestionRecord& q = bank.question(a.BankSlot);
        const std::string wanted = std::to_string(q.QuesNum);
        auto found = byQuesNum.find(wanted);
        if (found == byQuesNum.end()) {
            lines.push_back(adaptiveLine(entryFor(bank, q)));
            entries.push_back(parseAdaptiveLine(lines.back()));
            changed.push_back(false);
            found = byQuesNum.emplace(wanted, lines.size() - 1).first;
        }
        AdaptiveEntry& entry = *entries[found->second];
        // Counts were read within 0..kMaxAdaptiveCount, so n is at least 1
        // and the sums below stay far inside 64 bits.
        const int n = std::min(entry.AskedCount + 1, kMaxAdaptiveCount);
        if (a.correct) {
            entry.RightCount = std::min(entry.RightCount + 1, kMaxAdaptiveCount);
        }
        const long long mean = (static_cast<long long>(entry.MeanTime) * (n - 1) + a.TimeSpent) / n;
        entry.MeanTime = static_cast<int>(std::clamp<long long>(mean, 0, kMaxAdaptiveCount));
        entry.AskedCount = n;
        changed[found->second] = true;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (changed[i]) {
            lines[i] = adaptiveLine(*entries[i]);
        }
    }
}

Result<std::optional<std::vector<std::string>>> readAdaptiveFile(const std::string& path) {
    auto bytes = readFileIfPresent(path);
    if (!bytes) {
        return bytes.error();
    }
    if (!bytes->has_value()) {
        return std::optional<std::vector<std::string>>();
    }
    // A trail byte is never CR or LF, so the stored bytes split into lines
    // without decoding them.
    std::vector<std::string> lines;
    for (std::string_view l : text::splitLines(**bytes)) {
        lines.emplace_back(l);
    }
    return std::optional<std::vector<std::string>>(std::move(lines));
}

Status saveAdaptiveFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return saveFileAtomically(path, out);
}

}  // namespace tovalo
