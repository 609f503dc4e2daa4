#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/questions/question_bank.h"

namespace tovalo {

// The adaptive list: a course's adaptive file as a table of what the learner
// met, question by question, with the category names of its question file.

inline constexpr std::string_view kAdaptiveListCaption = "Tovalo Adaptive一覧表";
inline constexpr std::string_view kNoAdaptiveHistory = "Adaptive履歴はありません。";

inline constexpr int kAdaptiveListColumns = 7;
inline constexpr std::array<std::string_view, kAdaptiveListColumns> kAdaptiveListHeadings = {
    "問題No", "大カテゴリ", "小カテゴリ", "問題文", "出題回数", "正解回数", "平均回答時間"};
inline constexpr std::array<int, kAdaptiveListColumns> kAdaptiveListColumnWidths = {64, 78, 95, 288,
                                                                                    64, 64, 64};
inline constexpr int kAdaptiveListRowHeight = 16;
// The first columns that hold counts rather than names.
inline constexpr int kAdaptiveListFirstCount = 4;

// The characters of a question's text that the list shows after the marker
// where the question proper begins.
inline constexpr std::size_t kAdaptiveExcerptLength = 100;

using AdaptiveListRow = std::array<std::string, kAdaptiveListColumns>;

struct AdaptiveList {
    std::vector<AdaptiveListRow> rows;  // UTF-8, in the order of the file's lines
    std::string totals;
    // Why the rows name no categories (the question file could not be read);
    // the counts are the learner's all the same, so the list still stands.
    std::optional<Error> categoryProblem;
};

// "テスト名 : " + the course's title, above the list.
std::string adaptiveListTitle(std::string_view examTitle);

// The start of a question's text (UTF-8, one line) that fits a row: what
// follows "QS -->" (at most kAdaptiveExcerptLength characters) when the text
// has that marker, and in any case nothing from the first "<br>" on.
std::string adaptiveExcerpt(std::string_view text);

// The list of the stored lines of an adaptive file. A line without its
// markers says nothing that could be shown and is left out; a category
// number outside `categories` leaves its name cells empty, since the
// question may have left the file while its history stays.
//
// A row shows no figure line. A stored text has lost its line ends, so
// where a figure line ended only the question's own text tells: `questions`
// (the course's question file, when it could be read) gives it for every
// stored text that is still its question's. Any other text shows only what
// stands before the marker.
AdaptiveList adaptiveList(const std::vector<std::string>& lines,
                          const std::vector<CategorySlot>& categories,
                          const QuestionBank* questions = nullptr);

// Reads the adaptive file and the course's question file. nullopt when the course has no adaptive
// file; an adaptive file that exists but cannot be read is an error naming it.
Result<std::optional<AdaptiveList>> readAdaptiveList(const std::string& adpPath,
                                                     const std::string& qdfPath);

// Asked before the list deletes a course's adaptive file.
std::string adaptiveDeleteQuestion(std::string_view examTitle);

// Removes a course's adaptive history. A file that is already gone is no
// failure: the learner asked for no history, and there is none.
Status deleteAdaptiveFile(const std::string& path);

}  // namespace tovalo
