#include <gtest/gtest.h>

#include "core/exam/category_rules.h"

using namespace tovalo;

namespace {

// Categories with the given numbers of listed minor categories; an entry of
// -1 is a slot without a name, which the screen does not show.
QuestionBank bankWith(const std::vector<int>& minors) {
    QuestionBank b;
    b.CategoryCount = static_cast<int>(minors.size());
    b.categories.resize(minors.size());
    for (std::size_t c = 0; c < minors.size(); ++c) {
        if (minors[c] < 0) {
            continue;
        }
        b.categories[c].CategoryName = "カテゴリ" + std::to_string(c + 1);
        for (int s = 0; s < minors[c]; ++s) {
            b.categories[c].SubCategoryName[s] = "サブ" + std::to_string(s + 1);
            b.categories[c].SubCategoryQuesCount[s] = 5;
        }
    }
    return b;
}

}  // namespace

TEST(CategoryChecks, MajorBoxFollowsItsMinorMarks) {
    const QuestionBank bank = bankWith({3, 2});
    CategoryChecks checks = CategoryChecks::allChecked(bank);
    EXPECT_EQ(majorStateOf(bank, checks, 1), BoxState::Checked);

    toggleMinor(checks, 1, 2);
    EXPECT_EQ(majorStateOf(bank, checks, 1), BoxState::Grayed);
    toggleMinor(checks, 1, 1);
    toggleMinor(checks, 1, 3);
    EXPECT_EQ(majorStateOf(bank, checks, 1), BoxState::Unchecked);
    toggleMinor(checks, 1, 3);
    EXPECT_EQ(majorStateOf(bank, checks, 1), BoxState::Grayed);
    // The other category is untouched.
    EXPECT_EQ(majorStateOf(bank, checks, 2), BoxState::Checked);
    EXPECT_EQ(availableCount(bank, checks), 15);
}

TEST(CategoryChecks, MajorBoxSetsOrClearsItsMinorsButGrayedKeepsThem) {
    const QuestionBank bank = bankWith({3, 2});
    CategoryChecks checks = CategoryChecks::allChecked(bank);
    toggleMinor(checks, 1, 2);

    applyMajorBox(bank, checks, 1, BoxState::Grayed);
    EXPECT_TRUE(checks.isChecked(1, 1));
    EXPECT_FALSE(checks.isChecked(1, 2));

    applyMajorBox(bank, checks, 1, BoxState::Checked);
    EXPECT_EQ(checks.checkedMinorCount(1), 3);
    // Slots past the listed minor categories stay clear: they hold no questions.
    EXPECT_FALSE(checks.isChecked(1, 4));

    applyMajorBox(bank, checks, 1, BoxState::Unchecked);
    EXPECT_EQ(checks.checkedMinorCount(1), 0);
    EXPECT_EQ(checks.checkedMinorCount(2), 2);
}

TEST(CategoryChecks, MajorsOnlyTurnsPartlyCheckedIntoChecked) {
    const QuestionBank bank = bankWith({3, 2, 2});
    CategoryChecks checks = CategoryChecks::allChecked(bank);
    toggleMinor(checks, 1, 1);                            // category 1 grayed
    applyMajorBox(bank, checks, 2, BoxState::Unchecked);  // category 2 unchecked
    checkPartlyCheckedCategories(bank, checks);
    EXPECT_EQ(majorStateOf(bank, checks, 1), BoxState::Checked);
    EXPECT_EQ(majorStateOf(bank, checks, 2), BoxState::Unchecked);
    EXPECT_EQ(majorStateOf(bank, checks, 3), BoxState::Checked);
}

TEST(CategoryLayout, ListsUnderTheirBoxesOrBoxesAlone) {
    // Category 2 has no name and is not shown.
    const QuestionBank bank = bankWith({3, -1, 2, 0});

    const auto full = placeCategories(bank, false);
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(full[0].category, 1);
    EXPECT_EQ(full[0].boxTop, 4);
    EXPECT_EQ(full[0].listTop, 20);
    EXPECT_EQ(full[0].listHeight, 36);
    EXPECT_EQ(full[1].category, 3);
    EXPECT_EQ(full[1].boxTop, 20 + 36 + 6);
    EXPECT_EQ(full[1].listTop, 62 + 16);
    EXPECT_EQ(full[1].listHeight, 24);
    EXPECT_EQ(full[2].category, 4);
    EXPECT_EQ(full[2].boxTop, 78 + 24 + 6);
    EXPECT_EQ(full[2].listHeight, 0);
    EXPECT_EQ(categoryAreaHeight(full, false), 108 + 16 + 0 + 4);

    const auto majors = placeCategories(bank, true);
    ASSERT_EQ(majors.size(), 3u);
    EXPECT_EQ(majors[0].boxTop, 4);
    EXPECT_EQ(majors[1].boxTop, 24);
    EXPECT_EQ(majors[2].boxTop, 44);
    EXPECT_EQ(categoryAreaHeight(majors, true), 44 + 16 + 4);
}

TEST(CategoryBoxes, AClickSetsOrClearsTheWholeCategory) {
    EXPECT_EQ(nextBoxState(BoxState::Unchecked), BoxState::Checked);
    EXPECT_EQ(nextBoxState(BoxState::Grayed), BoxState::Checked);
    EXPECT_EQ(nextBoxState(BoxState::Checked), BoxState::Unchecked);
}
