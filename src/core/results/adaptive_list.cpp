#include "core/results/adaptive_list.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "core/questions/figure_line.h"
#include "core/questions/numbers.h"
#include "core/questions/question_file.h"
#include "core/results/adaptive_file.h"
#include "core/text/characters.h"
#include "core/text/cp932.h"

namespace tovalo {

namespace {

constexpr std::string_view kQuestionStart = "QS -->";
constexpr std::string_view kLineBreak = "<br>";

// The category's name and its minor category's, or empty ones when the
// numbers are not in the table.
std::pair<std::string, std::string> categoryNames(const AdaptiveEntry& entry,
                                                  const std::vector<CategorySlot>& categories) {
    const std::optional<int> major = parseFileInteger(entry.Category);
    if (!major || *major < 1 || *major > static_cast<int>(categories.size())) {
        return {};
    }
    const CategorySlot& slot = categories[*major - 1];
    const std::optional<int> minor = parseFileInteger(entry.SubCategory);
    if (!minor || *minor < 1 || *minor > kSubCategories) {
        return {slot.CategoryName, {}};
    }
    return {slot.CategoryName, slot.SubCategoryName[*minor - 1]};
}

// The row's text of a stored question text, without a figure line.
std::string listedText(const std::string& stored, const QuestionBank* questions,
                       const QuestionRecord* own) {
    std::string shown = adaptiveExcerpt(text::cp932ToUtf8(stored));
    const std::size_t marker = shown.find(kFigureMarker);
    if (marker == std::string::npos) {
        return shown;
    }
    if (own != nullptr) {
        const std::string ownText = questions->text(own->QuesText);
        if (adaptiveStoredText(ownText) == stored) {
            return adaptiveExcerpt(
                text::cp932ToUtf8(adaptiveStoredText(withoutFigureLines(ownText))));
        }
    }
    // The file name runs into the text after it; a row of reading matter
    // is better cut short than showing it.
    shown.resize(marker);
    return shown;
}

}  // namespace

std::string adaptiveListTitle(std::string_view examTitle) {
    return "テスト名 : " + std::string(examTitle);
}

std::string adaptiveExcerpt(std::string_view text) {
    const std::size_t at = text.find(kQuestionStart);
    if (at != std::string_view::npos) {
        text.remove_prefix(at + kQuestionStart.size());
    }
    // The break is looked for before the cut: one that straddles the
    // hundredth character would otherwise leave "<b" at the row's end.
    if (const std::size_t br = text.find(kLineBreak); br != std::string_view::npos) {
        text = text.substr(0, br);
    }
    if (at != std::string_view::npos) {
        text = text::firstCharacters(text, kAdaptiveExcerptLength);
    }
    return std::string(text);
}

AdaptiveList adaptiveList(const std::vector<std::string>& lines,
                          const std::vector<CategorySlot>& categories,
                          const QuestionBank* questions) {
    AdaptiveList list;
    list.rows.reserve(lines.size());
    // A line names its question by the number as stored; the first record
    // of a number is the one an exam counts into the line.
    std::unordered_map<std::string, const QuestionRecord*> byNumber;
    if (questions != nullptr) {
        for (const QuestionRecord& q : questions->questions) {
            byNumber.emplace(std::to_string(q.QuesNum), &q);
        }
    }
    // Counts are read within 0..kMaxAdaptiveCount; 64 bits hold any sum of them.
    long long asked = 0;
    long long right = 0;
    long long timeSum = 0;
    long long timed = 0;
    for (const std::string& line : lines) {
        const std::optional<AdaptiveEntry> entry = parseAdaptiveLine(line);
        if (!entry) {
            continue;
        }
        auto [major, minor] = categoryNames(*entry, categories);
        const auto own = byNumber.find(entry->QuesNum);
        list.rows.push_back(
            {text::cp932ToUtf8(entry->QuesNum), std::move(major), std::move(minor),
             listedText(entry->QuesText, questions, own != byNumber.end() ? own->second : nullptr),
             std::to_string(entry->AskedCount), std::to_string(entry->RightCount),
             std::to_string(entry->MeanTime)});
        asked += entry->AskedCount;
        right += entry->RightCount;
        // A question never answered has no time yet; it would only pull the
        // mean towards 0.
        if (entry->MeanTime > 0) {
            timeSum += entry->MeanTime;
            ++timed;
        }
    }
    list.totals = "出題数の合計 : " + std::to_string(asked) +
                  " 正解数の合計 : " + std::to_string(right) +
                  " 平均回答時間 : " + std::to_string(timed > 0 ? timeSum / timed : 0);
    return list;
}

Result<std::optional<AdaptiveList>> readAdaptiveList(const std::string& adpPath,
                                                     const std::string& qdfPath) {
    auto lines = readAdaptiveFile(adpPath);
    if (!lines) {
        return lines.error();
    }
    if (!lines->has_value()) {
        return std::optional<AdaptiveList>();
    }
    QuestionBank questions;
    if (LoadQuestionBank(questions, qdfPath)) {
        return std::optional<AdaptiveList>(adaptiveList(**lines, questions.categories, &questions));
    }
    // A fault among the records still leaves the category names to show.
    auto categories = readCategoryTable(qdfPath);
    AdaptiveList list =
        adaptiveList(**lines, categories ? *categories : std::vector<CategorySlot>{});
    if (!categories) {
        list.categoryProblem = categories.error();
    }
    return std::optional<AdaptiveList>(std::move(list));
}

std::string adaptiveDeleteQuestion(std::string_view examTitle) {
    return "「" + std::string(examTitle) +
           "」のAdaptive履歴を削除しますか？\n削除した履歴は元に戻せません。";
}

Status deleteAdaptiveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        const int err = errno;
        if (err != ENOENT) {
            return Error{"ファイルを削除できません (" + std::string(std::strerror(err)) + ")", path,
                         0};
        }
    }
    return Ok{};
}

}  // namespace tovalo
