#include "core/exam/category_rules.h"

namespace tovalo {

namespace {

bool validCategory(const QuestionBank& bank, const CategoryChecks& checks, int category) {
    return category >= 1 && category <= static_cast<int>(bank.categories.size()) &&
           category <= static_cast<int>(checks.minor.size());
}

}  // namespace

BoxState majorStateOf(const QuestionBank& bank, const CategoryChecks& checks, int category) {
    if (!validCategory(bank, checks, category)) {
        return BoxState::Unchecked;
    }
    const int listed = listedSubCategories(bank.category(category));
    int on = 0;
    for (int s = 1; s <= listed; ++s) {
        on += checks.isChecked(category, s) ? 1 : 0;
    }
    if (on == 0) {
        return BoxState::Unchecked;
    }
    return on == listed ? BoxState::Checked : BoxState::Grayed;
}

void applyMajorBox(const QuestionBank& bank, CategoryChecks& checks, int category, BoxState state) {
    if (state == BoxState::Grayed || !validCategory(bank, checks, category)) {
        return;
    }
    const int listed = listedSubCategories(bank.category(category));
    for (int s = 1; s <= listed; ++s) {
        checks.minor[category - 1][s - 1] = state == BoxState::Checked;
    }
}

void toggleMinor(CategoryChecks& checks, int category, int sub) {
    if (category < 1 || category > static_cast<int>(checks.minor.size()) || sub < 1 ||
        sub > kSubCategories) {
        return;
    }
    bool& mark = checks.minor[category - 1][sub - 1];
    mark = !mark;
}

void checkPartlyCheckedCategories(const QuestionBank& bank, CategoryChecks& checks) {
    for (int c = 1; c <= static_cast<int>(bank.categories.size()); ++c) {
        if (categoryShown(bank.category(c)) && majorStateOf(bank, checks, c) == BoxState::Grayed) {
            applyMajorBox(bank, checks, c, BoxState::Checked);
        }
    }
}

std::vector<CategoryPlacement> placeCategories(const QuestionBank& bank, bool majorsOnly) {
    std::vector<CategoryPlacement> placements;
    int y = kCategoryAreaTop;
    for (int c = 1; c <= static_cast<int>(bank.categories.size()); ++c) {
        if (!categoryShown(bank.category(c))) {
            continue;
        }
        CategoryPlacement p;
        p.category = c;
        p.boxTop = y;
        p.listTop = y + kMinorListOffset;
        p.listHeight = listedSubCategories(bank.category(c)) * kMinorLineHeight;
        placements.push_back(p);
        y = majorsOnly ? y + kMajorOnlyPitch : p.listTop + p.listHeight + kGapAfterMinorList;
    }
    return placements;
}

int categoryAreaHeight(const std::vector<CategoryPlacement>& placements, bool majorsOnly) {
    if (placements.empty()) {
        return 0;
    }
    const CategoryPlacement& last = placements.back();
    const int bottom = majorsOnly ? last.boxTop + kMajorBoxHeight : last.listTop + last.listHeight;
    return bottom + kCategoryAreaTop;
}

BoxState nextBoxState(BoxState current) {
    return current == BoxState::Checked ? BoxState::Unchecked : BoxState::Checked;
}

}  // namespace tovalo
