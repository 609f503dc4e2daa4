#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/directories.h"

namespace tovalo::app {

// Pages the exam, answer and result screens write into a vendor's question
// directory. They only live while the program runs.
inline constexpr std::string_view kPagesRemovedAtExit[] = {"cheat.htm", "result.htm", "exam.htm"};

// The generated pages of every vendor folder, whether they exist or not.
std::vector<std::string> generatedPages(const Directories& dirs,
                                        const std::vector<std::string>& vendorFolders);

// Deletes those of them that exist. A page that cannot be deleted is left
// behind: it is rewritten before it is shown again.
void removeGeneratedPages(const Directories& dirs, const std::vector<std::string>& vendorFolders);

}  // namespace tovalo::app
