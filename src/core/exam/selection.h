#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/common/rounding.h"
#include "core/questions/question_bank.h"

namespace tovalo {

enum class SelectionMode { Normal = 1, MockExam = 2, Training = 3, Assessment = 4 };

// Mock exam and assessment fix categories, count and time.
constexpr bool modeLocksChoices(SelectionMode m) {
    return m == SelectionMode::MockExam || m == SelectionMode::Assessment;
}

struct SelectionSettings {
    SelectionMode mode = SelectionMode::Normal;
    int RequestedCount = 0;
    int TimeLimitSeconds = 0;
    bool TimeLimitOn = true;
    bool AdaptiveOn = false;
    int AvailableCount = 0;
    // The count and time fields as they were typed ("030" stays "030"): the
    // introduction card repeats them.
    std::string CountField;
    std::string TimeField;
};

// Which minor categories are checked: minor[c - 1][s - 1] for major c, minor s.
struct CategoryChecks {
    std::vector<std::array<bool, kSubCategories>> minor;

    // Every listed minor category of every shown category checked (the state
    // the screen starts in).
    static CategoryChecks allChecked(const QuestionBank& bank);
    [[nodiscard]] bool isChecked(int category, int sub) const;
    void setAll(bool on);
    [[nodiscard]] int checkedMinorCount(int category) const;
};

// The minor categories the screen lists for a major one: from 1 up to the
// first empty name.
int listedSubCategories(const CategorySlot& category);
// A major category with an empty name is not shown.
bool categoryShown(const CategorySlot& category);

// Sum of SubCategoryQuesCount over the checked minor categories.
int availableCount(const QuestionBank& bank, const CategoryChecks& checks);

struct CountAndTime {
    int count = 0;
    int minutes = 0;
};

// The count and time fields when the screen is shown.
CountAndTime defaultCountAndTime(const QuestionBank& bank, int available);
// The count and time fields when mock exam or assessment is chosen.
CountAndTime lockedCountAndTime(const QuestionBank& bank, int available);

// The messages of the count and time fields.
inline constexpr const char* kCountFieldInvalid = "出題数を正しく入力してください";
inline constexpr const char* kTimeFieldInvalid = "制限時間を正しく入力してください";

// True when every character typed into the count or time field is a digit.
bool onlyDigits(const std::string& fieldText);

struct StartCheck {
    bool ok = false;
    std::string message;  // shown in an "Error" box when not ok
    bool focusCountField = false;
    SelectionSettings settings;  // complete when ok
};

// The checks the start button makes, in their order.
StartCheck validateStart(const std::string& countField, const std::string& timeField,
                         SelectionMode mode, int available, bool adaptive);

// A question of the exam: a copy of the record plus the choices as shown.
struct ExamQuestion {
    int BankSlot = 0;
    int QuesNum = 0;
    int Style = 0;
    std::string QuesText;
    std::string Explanation;
    int ChoiceCount = 0;
    int ShowCount = 0;
    int AnswerCount = 0;
    std::array<std::string, kRefNotes> RefText;
    std::array<std::string, kRefNotes> RefPage;
    std::array<std::string, kCbtDocs> CbtFile;
    std::array<std::string, kCbtDocs> CbtHint;
    std::array<std::string, kMaxChoices> ShownChoice;
    std::array<bool, kMaxChoices> ShownCorrect{};
};

// The uniform draws the selection makes; tests and `--seed` replay them.
class RandomSource {
  public:
    explicit RandomSource(std::uint64_t seed) : gen_(seed) {}
    static RandomSource fromClock();
    // Uniform in lo..hi, both included.
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }

  private:
    std::mt19937_64 gen_;
};

// The training weights: how often each question slot was answered right,
// from the history file. Missing or short files read as zeros.
std::array<int, kMaxQuestions> readTrainingWeights(const std::string& historyPath);

// Draws the exam: which questions, in which order, with which choices.
// Takes as many questions as there are candidates when the bank's counts
// promise more than its records hold.
std::vector<ExamQuestion> SelectQuestions(const QuestionBank& bank, const CategoryChecks& checks,
                                          const SelectionSettings& settings, bool shuffleOrder,
                                          const std::array<int, kMaxQuestions>& weights,
                                          RandomSource& random);

// The shown choices of one question (exposed for tests of the choice draw).
void drawChoices(const QuestionRecord& record, std::array<std::string, kMaxChoices> choices,
                 ExamQuestion& out, RandomSource& random);

}  // namespace tovalo
