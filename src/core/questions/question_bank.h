#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tovalo {

inline constexpr int kMaxCategories = 49;
inline constexpr int kCategorySlots = 50;
inline constexpr int kSubCategories = 20;
inline constexpr int kMaxQuestions = 500;
inline constexpr int kMaxChoices = 10;
inline constexpr int kRefNotes = 4;
inline constexpr int kCbtDocs = 2;

// A choice slot that holds this text is empty; every screen skips it.
inline constexpr std::string_view kAbsentChoice = "Ahyy";

struct CategorySlot {
    std::string CategoryName;
    int CategoryQuesCount = 0;
    std::array<std::string, kSubCategories> SubCategoryName;
    std::array<int, kSubCategories> SubCategoryQuesCount{};

    bool operator==(const CategorySlot&) const = default;
};

struct QuestionRecord {
    int QuesNum = 0;
    int Category = 0;
    int SubCategory = 0;
    std::string QuesText;
    int ChoiceCount = 0;
    int ShowCount = 0;
    int AnswerCount = 0;
    int Style = 0;
    std::array<std::string, kMaxChoices> Choice;
    std::string Explanation;
    std::array<std::string, kRefNotes> RefText;
    std::array<std::string, kRefNotes> RefPage{"0", "0", "0", "0"};  // "0": no page
    std::array<std::string, kCbtDocs> CbtHint;
    std::array<std::string, kCbtDocs> CbtFile;

    [[nodiscard]] bool choicePresent(int slot) const {
        return Choice.at(slot - 1) != kAbsentChoice;
    }
    bool operator==(const QuestionRecord&) const = default;
};

// The course being worked on: its category table and every question record,
// texts in UTF-8 with CR LF between lines. Slots are numbered from 1, as the
// history files and the screens number them.
struct QuestionBank {
    int ExamQuesCount = 0;
    int ExamTimeLimit = 0;
    int QuesTotal = 0;
    int CategoryCount = 0;
    std::vector<CategorySlot> categories;   // CategoryCount entries
    std::vector<QuestionRecord> questions;  // the records read, in file order

    [[nodiscard]] const CategorySlot& category(int slot) const { return categories.at(slot - 1); }
    [[nodiscard]] const QuestionRecord& question(int slot) const { return questions.at(slot - 1); }
    bool operator==(const QuestionBank&) const = default;
};

}  // namespace tovalo
