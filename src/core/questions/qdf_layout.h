#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/common/result.h"
#include "core/text/trim.h"

namespace tovalo {

// What each line of a question file is. The layout of a question file does
// not depend on the values of its numbers, only on where the block markers
// stand, so one walk (qdf_walk.h) gives every line its role; the loader, the
// packer and the unpacker all share it and can never disagree on which
// lines are scrambled.
enum class QdfField : std::uint8_t {
    FormatTag,
    CountAndPassMark,
    TimeLimit,
    HeaderText,  // lines 4-9: code, title, level flags, date and options
    QuesTotal,
    CategoryEnd,
    CategoryName,
    CategoryQuesCount,
    SubCategoryName,
    SubCategoryQuesCount,
    QuesNum,
    Category,
    SubCategory,
    QuesText,
    QuesTextEnd,
    ChoiceCount,
    ShowCount,
    AnswerCount,
    Style,
    Choice,
    ChoiceEnd,
    Skipped,
    Explanation,
    ExplanationEnd,
    RefText,
    RefPage,
    CbtHint,
    CbtFile,
    Closing,
    AfterEnd,  // lines after "*EOF", never read
};

struct LineRole {
    QdfField field;
    std::uint16_t owner;  // 1-based category slot or record number; 0 for the header
    std::uint8_t item;    // 1-based sub-category, choice, reference or document slot
};

// Tells whether line `index` (0-based), standing where a block may end,
// is the given marker.
using MarkerTest = std::function<bool(std::size_t index, std::string_view marker)>;

// The marker test on stored lines: the line, trimmed, equals the marker.
inline bool storedLineIsMarker(std::string_view line, std::string_view marker) {
    return text::trim(line) == marker;
}

// The block marker that ends a text block of `field` ("*QE", "*AE", "*EE"),
// "*CE" for a category name position, empty for every other field.
constexpr std::string_view markerFor(QdfField field) {
    switch (field) {
        case QdfField::QuesText:
            return "*QE";
        case QdfField::Choice:
            return "*AE";
        case QdfField::Explanation:
            return "*EE";
        case QdfField::CategoryName:
            return "*CE";
        default:
            return {};
    }
}

struct QdfLayout {
    std::vector<LineRole> roles;  // one per line, up to where the walk stopped
    // Set (naming `path` and the line) when the file ends inside a text
    // block or before a line the reader needs, or holds more than 49
    // categories or more than 500 records. Lines before the fault keep their
    // roles so that an earlier problem can still be reported first.
    std::optional<Error> error;
};

// Walks the line structure.
QdfLayout classifyQdfLines(std::size_t lineCount, const MarkerTest& isMarker,
                           const std::string& path);

// The same walk over stored lines, with storedLineIsMarker as the test.
QdfLayout classifyStoredQdfLines(const std::vector<std::string_view>& lines,
                                 const std::string& path);

// The roles whose lines are stored scrambled; RefText and RefPage lines are
// scrambled only when they hold something (see refLineIsEmpty).
constexpr bool isTextField(QdfField field) {
    switch (field) {
        case QdfField::CategoryName:
        case QdfField::SubCategoryName:
        case QdfField::QuesText:
        case QdfField::Choice:
        case QdfField::Explanation:
        case QdfField::RefText:
        case QdfField::RefPage:
        case QdfField::CbtHint:
        case QdfField::CbtFile:
            return true;
        default:
            return false;
    }
}

// A reference line that is empty or "Null" (tested on the stored line) means "none".
inline bool refLineIsEmpty(std::string_view storedLine) {
    const std::string_view t = text::trim(storedLine);
    return t.empty() || t == "Null";
}

}  // namespace tovalo
