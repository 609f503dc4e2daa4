#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

// Pages made from a template installed beside the program (support page,
// launch page): the template is read as CP932, `fill` turns its text into
// the page, and the page is written as CP932 with the characters CP932
// cannot hold as character references. A missing template or an unwritable
// page fails naming the file, and nothing is written then.
Status writeTemplatePage(const std::string& templatePath, const std::string& pagePath,
                         const std::function<std::string(std::string_view)>& fill);

}  // namespace tovalo
