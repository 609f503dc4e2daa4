#pragma once

#include <array>
#include <string>

#include "core/exam/selection.h"

namespace tovalo {

// The special answer styles (3 to 8) are answered in their own windows or
// on a picture; the exam records a right answer as a mark on one slot.

// How many shown slots a style scans for its data lines (0 for choice styles).
int scannedSlots(int style);

// Groups a..e of a special-style question: the last scanned shown choice
// that starts with the group letter and "@", with two characters (styles
// 3, 5, 8) or one (4, 6, 7, which keep the "@") taken off the front.
std::array<std::string, 5> choiceGroups(const ExamQuestion& question);

// The slot of the last scanned shown choice that starts with "a@", the
// slot a solved style window marks; 0 when there is none.
int answerSlot(const ExamQuestion& question);

}  // namespace tovalo
