#include "core/results/history_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "core/text/lines.h"

namespace tovalo {

namespace {

constexpr std::string_view kExamsHeading = "■過去10回の履歴";
constexpr std::string_view kCategoriesHeading = "■カテゴリー毎の過去5回の履歴";
constexpr std::string_view kLineEnd = "\r\n";

// A line of numbers, each after its label; `end` closes the line. Two-digit
// numbers have a leading zero below 10, the others none.
template <class Record>
struct NumberField {
    std::string_view label;
    int Record::*value;
    bool twoDigits;
};

constexpr NumberField<ExamRecord> kExamFields[] = {
    {"所要時間 :", &ExamRecord::Minutes, true},
    {"分 モード :", &ExamRecord::Mode, false},
    {" 解いた問題数 :", &ExamRecord::QuestionCount, false},
    {"問 テスト日時 :", &ExamRecord::Month, true},
    {"月", &ExamRecord::Day, true},
    {"日 ", &ExamRecord::Hour, true},
    {":", &ExamRecord::Minute, true},
    {" 正答率 :", &ExamRecord::Rate, false},
};
constexpr std::string_view kExamEnd = "%";

constexpr NumberField<HistoryText> kRateFields[] = {
    {"●最高正答率 :", &HistoryText::BestRate, false},
    {"%●平均正答率 :", &HistoryText::AverageRate, false},
};
constexpr std::string_view kRatesEnd = "%";

// "name:" then each recent rate followed by "%, ", then the best and the mean.
constexpr std::string_view kCategoryNameEnd = ":";
constexpr std::string_view kRecentEnd = "%, ";
constexpr std::string_view kCategoryBest = " 最高:";
constexpr std::string_view kCategoryAverage = "% 平均:";
constexpr std::string_view kCategoryEnd = "%";

// The widest number a history holds is a question count of two bytes.
constexpr int kMaxNumber = 65535;
constexpr std::size_t kMaxDigits = 5;

std::string number(int n, bool twoDigits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, twoDigits ? "%02d" : "%d", n);
    return buf;
}

template <class Record, std::size_t N>
std::string numberLine(const Record& r, const NumberField<Record> (&fields)[N],
                       std::string_view end) {
    std::string line;
    for (const NumberField<Record>& f : fields) {
        line += f.label;
        line += number(r.*f.value, f.twoDigits);
    }
    line += end;
    return line;
}

std::optional<int> numberOf(std::string_view digits) {
    if (digits.empty() || digits.size() > kMaxDigits) {
        return std::nullopt;
    }
    int n = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || n > kMaxNumber) {
        return std::nullopt;
    }
    return n;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes `label` and the number after it off the front of `line`.
std::optional<int> takeLeading(std::string_view& line, std::string_view label) {
    if (!line.starts_with(label)) {
        return std::nullopt;
    }
    line.remove_prefix(label.size());
    const std::size_t n = std::find_if_not(line.begin(), line.end(), isDigit) - line.begin();
    const std::optional<int> value = numberOf(line.substr(0, n));
    line.remove_prefix(n);
    return value;
}

// Takes `label` and the number before it off the back of `line`.
std::optional<int> takeTrailing(std::string_view& line, std::string_view label) {
    if (!line.ends_with(label)) {
        return std::nullopt;
    }
    line.remove_suffix(label.size());
    const std::size_t n = std::find_if_not(line.rbegin(), line.rend(), isDigit) - line.rbegin();
    const std::optional<int> value = numberOf(line.substr(line.size() - n));
    line.remove_suffix(n);
    return value;
}

template <class Record, std::size_t N>
bool readNumberLine(std::string_view line, const NumberField<Record> (&fields)[N],
                    std::string_view end, Record& r) {
    for (const NumberField<Record>& f : fields) {
        const std::optional<int> value = takeLeading(line, f.label);
        if (!value) {
            return false;
        }
        r.*f.value = *value;
    }
    return line == end;
}

// A category's name may hold anything, colons included, so its line is
// read from the end.
bool readCategoryLine(std::string_view line, HistoryTextCategory& c) {
    const std::optional<int> average = takeTrailing(line, kCategoryEnd);
    const std::optional<int> best = takeTrailing(line, kCategoryAverage);
    if (!average || !best || !line.ends_with(kCategoryBest)) {
        return false;
    }
    line.remove_suffix(kCategoryBest.size());
    c.record.CategoryAverage = *average;
    c.record.CategoryBest = *best;
    for (int k = static_cast<int>(c.record.RecentRates.size()) - 1; k >= 0; --k) {
        const std::optional<int> rate = takeTrailing(line, kRecentEnd);
        if (!rate) {
            return false;
        }
        c.record.RecentRates[k] = *rate;
    }
    if (!line.ends_with(kCategoryNameEnd)) {
        return false;
    }
    line.remove_suffix(kCategoryNameEnd.size());
    c.name = std::string(line);
    return true;
}

Error unreadable(std::size_t lineIndex) {
    return Error{"学習履歴の" + std::to_string(lineIndex + 1) + "行目が読めません。", {}, 0};
}

}  // namespace

std::string historyText(const HistoryFile& h, const std::vector<std::string>& categoryNames) {
    std::string t = std::string(kExamsHeading) + std::string(kLineEnd);
    for (const ExamRecord& e : h.exams) {
        t += numberLine(e, kExamFields, kExamEnd) + std::string(kLineEnd);
    }
    HistoryText rates;
    rates.BestRate = h.BestRate;
    rates.AverageRate = h.AverageRate;
    t += numberLine(rates, kRateFields, kRatesEnd) + std::string(kLineEnd);
    t += std::string(kCategoriesHeading) + std::string(kLineEnd);
    const std::size_t n = std::min<std::size_t>(categoryNames.size(), kHistoryCategories);
    for (std::size_t c = 0; c < n; ++c) {
        const CategoryRecord& cat = h.categories[c];
        t += categoryNames[c] + std::string(kCategoryNameEnd);
        for (int rate : cat.RecentRates) {
            t += std::to_string(rate) + std::string(kRecentEnd);
        }
        t += std::string(kCategoryBest) + std::to_string(cat.CategoryBest) +
             std::string(kCategoryAverage) + std::to_string(cat.CategoryAverage) +
             std::string(kCategoryEnd) + std::string(kLineEnd);
    }
    return t;
}

Result<HistoryText> parseHistoryText(std::string_view text) {
    const std::vector<std::string_view> lines = text::splitLines(text);
    constexpr std::size_t kRatesLine = 1 + kHistoryExams;
    constexpr std::size_t kFirstCategory = kRatesLine + 2;
    if (lines.empty() || lines[0] != kExamsHeading) {
        return unreadable(0);
    }
    HistoryText h;
    for (std::size_t i = 1; i < kFirstCategory; ++i) {
        if (i >= lines.size()) {
            return Error{"学習履歴が途中で切れています。", {}, 0};
        }
        const bool ok = i < kRatesLine
                            ? readNumberLine(lines[i], kExamFields, kExamEnd, h.exams[i - 1])
                        : i == kRatesLine ? readNumberLine(lines[i], kRateFields, kRatesEnd, h)
                                          : lines[i] == kCategoriesHeading;
        if (!ok) {
            return unreadable(i);
        }
    }
    if (lines.size() - kFirstCategory > static_cast<std::size_t>(kHistoryCategories)) {
        return Error{
            "学習履歴のカテゴリーが" + std::to_string(kHistoryCategories) + "を超えています。",
            {},
            0};
    }
    for (std::size_t i = kFirstCategory; i < lines.size(); ++i) {
        HistoryTextCategory c;
        if (!readCategoryLine(lines[i], c)) {
            return unreadable(i);
        }
        h.categories.push_back(std::move(c));
    }
    return h;
}

}  // namespace tovalo
