#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

// How WritePage lays out a page.
enum class PageMode {
    DropFirstLine = 0,  // the fragment's first line is not part of the page (exam, answer)
    Whole = 1,          // the whole fragment (case study)
    Styled = 2,         // the whole fragment with a 9-point style (result)
};

// The bytes of a generated page: CP932, every line ending CR LF. A
// character CP932 cannot hold becomes a numeric character reference so the
// browser still shows it; content is never cut, however long.
std::string pageBytes(std::string_view content, PageMode mode);

// Writes the page file, clearing its read-only bit first. When the file
// cannot be written the error names it and any previous page stays whole.
Status WritePage(std::string_view content, const std::string& path, PageMode mode);

// One line of plain text for a question in the review list.
std::string PageToListText(std::string_view questionText, int formatKind);

}  // namespace tovalo
