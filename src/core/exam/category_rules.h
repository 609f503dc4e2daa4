#pragma once

#include <vector>

#include "core/exam/selection.h"
#include "core/questions/question_bank.h"

namespace tovalo {

// The three looks of a major category's box.
enum class BoxState { Unchecked, Checked, Grayed };

// The box state that matches the minor marks: all checked, none, or some.
// A category that lists no minor category reads as unchecked.
BoxState majorStateOf(const QuestionBank& bank, const CategoryChecks& checks, int category);

// What a click makes of a major box. The box always tells the state of its
// minor marks, so a click never leaves it grayed over marks that are all
// set: a checked box clears the whole category, an unchecked or grayed one
// checks all of it.
BoxState nextBoxState(BoxState current);

// The user left a major box in `state`: checked marks all its minor
// categories, unchecked clears them, grayed leaves them as they are.
void applyMajorBox(const QuestionBank& bank, CategoryChecks& checks, int category, BoxState state);

// Flips one minor mark (1-based `sub`).
void toggleMinor(CategoryChecks& checks, int category, int sub);

// When only the major categories are shown a box cannot be grayed: every
// partly checked category becomes fully checked.
void checkPartlyCheckedCategories(const QuestionBank& bank, CategoryChecks& checks);

// Where one shown major category sits in the category area.
struct CategoryPlacement {
    int category = 0;  // 1-based slot in the bank
    int boxTop = 0;
    int listTop = 0;     // the minor list; unused when only majors are shown
    int listHeight = 0;  // 12 pixels per listed minor category
};

inline constexpr int kCategoryAreaTop = 4;
inline constexpr int kMajorBoxHeight = 16;
inline constexpr int kMajorOnlyPitch = 20;
inline constexpr int kMinorListOffset = 16;
inline constexpr int kMinorLineHeight = 12;
inline constexpr int kGapAfterMinorList = 6;

// Stacks the shown major categories: each box, 16 pixels lower its list,
// 6 pixels below the list the next box; or, with `majorsOnly`, the boxes
// alone 20 pixels apart.
std::vector<CategoryPlacement> placeCategories(const QuestionBank& bank, bool majorsOnly);

// Height the category area's contents need for `placements`.
int categoryAreaHeight(const std::vector<CategoryPlacement>& placements, bool majorsOnly);

}  // namespace tovalo
