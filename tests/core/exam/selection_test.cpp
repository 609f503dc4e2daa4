#include <gtest/gtest.h>

#include <set>

#include "core/exam/selection.h"

using namespace tovalo;

namespace {

// A bank whose categories each have `subs` minor categories holding
// `perSub` questions, laid out in bank order category by category.
QuestionBank bankOf(int categories, int subs, int perSub) {
    QuestionBank b;
    b.ExamQuesCount = 100;
    b.ExamTimeLimit = 90;
    b.CategoryCount = categories;
    b.categories.resize(categories);
    int slot = 0;
    for (int c = 1; c <= categories; ++c) {
        CategorySlot& cat = b.categories[c - 1];
        cat.CategoryName = "カテゴリ" + std::to_string(c);
        for (int s = 1; s <= subs; ++s) {
            cat.SubCategoryName[s - 1] = "サブ" + std::to_string(s);
            cat.SubCategoryQuesCount[s - 1] = perSub;
            for (int k = 0; k < perSub; ++k) {
                QuestionRecord q;
                q.QuesNum = ++slot;
                q.Category = c;
                q.SubCategory = s;
                q.ChoiceCount = q.ShowCount = 4;
                q.AnswerCount = 1;
                q.Style = 1;
                const std::array<std::string_view, kMaxChoices> choices = {
                    "正", "誤1", "誤2", "誤3", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy"};
                for (int n = 0; n < kMaxChoices; ++n) {
                    q.Choice[n] = b.keep(choices[n]);
                }
                b.questions.push_back(q);
            }
        }
    }
    b.QuesTotal = slot;
    return b;
}

std::vector<int> slotsOf(const std::vector<ExamQuestion>& exam) {
    std::vector<int> v;
    for (const auto& e : exam)
        v.push_back(e.BankSlot);
    return v;
}

std::vector<ExamQuestion> draw(const QuestionBank& bank, SelectionMode mode, int n,
                               const std::array<int, kMaxQuestions>& weights = {},
                               bool shuffle = false, std::uint64_t seed = 1) {
    const CategoryChecks checks = CategoryChecks::allChecked(bank);
    SelectionSettings s;
    s.mode = mode;
    s.RequestedCount = n;
    s.AvailableCount = availableCount(bank, checks);
    RandomSource random(seed);
    return SelectQuestions(bank, checks, s, shuffle, weights, random);
}

}  // namespace

TEST(BalancedDraw, TenOverSixMinorCategoriesWidensQuotasPassByPass) {
    const QuestionBank bank = bankOf(3, 2, 5);
    EXPECT_EQ(slotsOf(draw(bank, SelectionMode::Normal, 10)),
              (std::vector<int>{1, 6, 11, 16, 21, 26, 2, 7, 12, 17}));
}

TEST(BalancedDraw, TwoOverFiveCategoriesStartsFromNegativeQuotas) {
    const QuestionBank bank = bankOf(5, 1, 1);
    EXPECT_EQ(slotsOf(draw(bank, SelectionMode::MockExam, 2)), (std::vector<int>{1, 2}));
}

TEST(BalancedDraw, RandomOrderStillBalancesAndNeverRepeats) {
    const QuestionBank bank = bankOf(3, 2, 5);
    const auto exam = draw(bank, SelectionMode::Normal, 12, {}, true, 42);
    std::set<int> distinct;
    int perSub[3][2] = {};
    for (const auto& e : exam) {
        distinct.insert(e.BankSlot);
        const QuestionRecord& q = bank.question(e.BankSlot);
        ++perSub[q.Category - 1][q.SubCategory - 1];
    }
    EXPECT_EQ(distinct.size(), 12u);
    for (auto& cat : perSub) {
        EXPECT_EQ(cat[0], 2);
        EXPECT_EQ(cat[1], 2);
    }
    // The same seed replays the same exam.
    EXPECT_EQ(slotsOf(exam), slotsOf(draw(bank, SelectionMode::Normal, 12, {}, true, 42)));
    EXPECT_NE(slotsOf(exam), slotsOf(draw(bank, SelectionMode::Normal, 12, {}, true, 43)));
}

TEST(BalancedDraw, TakesTheCandidatesThereAreWhenCountsPromiseMore) {
    QuestionBank bank = bankOf(2, 1, 3);
    bank.categories[0].SubCategoryQuesCount[0] = 10;  // the table claims more than the records
    const CategoryChecks checks = CategoryChecks::allChecked(bank);
    SelectionSettings s;
    s.RequestedCount = 12;
    s.AvailableCount = availableCount(bank, checks);
    ASSERT_EQ(s.AvailableCount, 13);
    RandomSource random(7);
    const auto exam = SelectQuestions(bank, checks, s, true, {}, random);
    EXPECT_EQ(exam.size(), 6u);
}

TEST(TrainingDraw, WeakestFirstAndTiesInDrawOrder) {
    const QuestionBank bank = bankOf(1, 1, 4);
    std::array<int, kMaxQuestions> weights{};
    weights[0] = 3;
    weights[2] = 2;
    EXPECT_EQ(slotsOf(draw(bank, SelectionMode::Training, 2, weights)), (std::vector<int>{2, 4}));
    EXPECT_EQ(slotsOf(draw(bank, SelectionMode::Training, 3, weights)),
              (std::vector<int>{2, 4, 3}));
    // Outside training the weights play no part.
    EXPECT_EQ(slotsOf(draw(bank, SelectionMode::Normal, 2, weights)), (std::vector<int>{1, 2}));
}

TEST(ChoiceDraw, ShowsDistinctChoicesWithTheCorrectOnesMarked) {
    QuestionRecord q;
    q.ChoiceCount = 6;
    q.ShowCount = 4;
    q.AnswerCount = 1;
    q.Style = 1;
    const std::array<std::string, kMaxChoices> choices = {"正解", "誤A",  "誤B",  "誤C",  "誤D",
                                                          "誤E",  "Ahyy", "Ahyy", "Ahyy", "Ahyy"};
    std::set<std::string> seenWrong;
    std::set<int> correctSlots;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        RandomSource random(seed);
        ExamQuestion e;
        drawChoices(q, choices, e, random);
        std::set<std::string> shown(e.ShownChoice.begin(), e.ShownChoice.begin() + 4);
        ASSERT_EQ(shown.size(), 4u);
        int correct = 0;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(e.ShownCorrect[k], e.ShownChoice[k] == "正解");
            correct += e.ShownCorrect[k];
            if (e.ShownCorrect[k])
                correctSlots.insert(k);
            else
                seenWrong.insert(e.ShownChoice[k]);
        }
        EXPECT_EQ(correct, 1);
        EXPECT_TRUE(e.ShownChoice[4].empty());
    }
    EXPECT_EQ(seenWrong.size(), 5u);     // every wrong choice gets its turn
    EXPECT_EQ(correctSlots.size(), 4u);  // and the right one moves around
}

TEST(ChoiceDraw, StyleNineSortsByItsKeyBytes) {
    QuestionRecord q;
    q.ChoiceCount = q.ShowCount = 4;
    q.AnswerCount = 1;
    q.Style = 9;
    // Keys in CP932 byte order: "01" < "02" < "ア" (0x83 0x41) < "イ" (0x83 0x43).
    const std::array<std::string, kMaxChoices> choices = {"02正", "イ誤", "01誤", "ア誤", "Ahyy",
                                                          "Ahyy", "Ahyy", "Ahyy", "Ahyy", "Ahyy"};
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        RandomSource random(seed);
        ExamQuestion e;
        drawChoices(q, choices, e, random);
        EXPECT_EQ(e.ShownChoice[0], "01誤");
        EXPECT_EQ(e.ShownChoice[1], "02正");
        EXPECT_EQ(e.ShownChoice[2], "ア誤");
        EXPECT_EQ(e.ShownChoice[3], "イ誤");
        EXPECT_TRUE(e.ShownCorrect[1]);
        EXPECT_FALSE(e.ShownCorrect[0] || e.ShownCorrect[2] || e.ShownCorrect[3]);
    }
}

TEST(CountAndTime, DefaultsAndLockedModes) {
    QuestionBank bank = bankOf(1, 1, 1);
    bank.ExamQuesCount = 100;
    bank.ExamTimeLimit = 90;
    EXPECT_EQ(defaultCountAndTime(bank, 30).count, 30);
    EXPECT_EQ(defaultCountAndTime(bank, 30).minutes, 27);
    EXPECT_EQ(defaultCountAndTime(bank, 150).count, 100);
    EXPECT_EQ(defaultCountAndTime(bank, 150).minutes, 90);
    bank.ExamQuesCount = 60;
    EXPECT_EQ(lockedCountAndTime(bank, 60).count, 60);
    EXPECT_EQ(lockedCountAndTime(bank, 60).minutes, 90);
    bank.ExamTimeLimit = 120;
    EXPECT_EQ(lockedCountAndTime(bank, 70).count, 60);
    EXPECT_EQ(lockedCountAndTime(bank, 70).minutes, 120);
    EXPECT_EQ(lockedCountAndTime(bank, 5).minutes, 8);  // 7.5 rounds to the even 8
    EXPECT_EQ(lockedCountAndTime(bank, 3).minutes, 4);  // 4.5 rounds to the even 4
}

// Exact halves round to the even neighbour, also where floating point would
// fall a hair short of the half.
TEST(CountAndTime, ExactHalvesRoundToEven) {
    QuestionBank bank = bankOf(1, 1, 1);
    const struct {
        int questions, minutes, available, expected;
    } cases[] = {
        {22, 15, 11, 8},  // 7.5
        {94, 3, 47, 2},   // 1.5
        {4, 5, 2, 2},     // 2.5
        {4, 7, 2, 4},     // 3.5
        {3, 10, 1, 3},    // 3.33
        {3, 10, 2, 7},    // 6.67
        {10, 0, 5, 0},
    };
    for (const auto& c : cases) {
        bank.ExamQuesCount = c.questions;
        bank.ExamTimeLimit = c.minutes;
        EXPECT_EQ(defaultCountAndTime(bank, c.available).minutes, c.expected)
            << c.minutes << " min for " << c.questions << ", " << c.available << " available";
    }
}

TEST(StartValidation, MessagesInTheirOrder) {
    struct Case {
        std::string count, time;
        int available;
        bool ok;
        std::string message;
        bool focusCount;
    };
    const Case cases[] = {
        {"", "30", 10, false, "出題数と制限時間を確認してください", true},
        {"5", "", 10, false, "出題数と制限時間を確認してください", true},
        {"5", "-1", 10, false, "制限時間が不正です。確認してください。", false},
        {"0", "30", 0, false, "選択しているカテゴリには問題がありません", false},
        {"0", "30", 10, false, "問題数を増やしてください", true},
        {"11", "30", 10, false, "問題はそんなにありません", true},
        {"10", "0", 10, true, "", false},
        {"3", "5", 10, true, "", false},
    };
    for (const Case& c : cases) {
        const StartCheck r =
            validateStart(c.count, c.time, SelectionMode::Normal, c.available, true);
        EXPECT_EQ(r.ok, c.ok) << c.count << "/" << c.time;
        EXPECT_EQ(r.message, c.message) << c.count << "/" << c.time;
        EXPECT_EQ(r.focusCountField, c.focusCount) << c.count << "/" << c.time;
    }
    const StartCheck noLimit = validateStart("10", "0", SelectionMode::Training, 10, true);
    EXPECT_FALSE(noLimit.settings.TimeLimitOn);
    EXPECT_EQ(noLimit.settings.RequestedCount, 10);
    EXPECT_TRUE(noLimit.settings.AdaptiveOn);
    const StartCheck five = validateStart("3", "5", SelectionMode::Normal, 10, false);
    EXPECT_TRUE(five.settings.TimeLimitOn);
    EXPECT_EQ(five.settings.TimeLimitSeconds, 300);
    EXPECT_TRUE(onlyDigits("0123"));
    EXPECT_FALSE(onlyDigits("1a"));
    EXPECT_FALSE(onlyDigits("-1"));
}

TEST(CategoryChecks, ListsStopAtTheFirstEmptyName) {
    QuestionBank bank = bankOf(2, 3, 2);
    bank.categories[0].SubCategoryName[1] = " ";  // ends category 1's list after one line
    bank.categories[1].CategoryName = "";         // category 2 is not shown
    CategoryChecks checks = CategoryChecks::allChecked(bank);
    EXPECT_EQ(listedSubCategories(bank.category(1)), 1);
    EXPECT_EQ(checks.checkedMinorCount(1), 1);
    EXPECT_EQ(checks.checkedMinorCount(2), 0);
    EXPECT_EQ(availableCount(bank, checks), 2);
    checks.setAll(false);
    EXPECT_EQ(availableCount(bank, checks), 0);
}
