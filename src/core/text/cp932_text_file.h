#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo::text {

// A UTF-8 text as the program's own files keep it: CP932 with CR LF line
// ends. Text that is not UTF-8, or holds a character CP932 cannot write,
// fails naming `path` and the line, so nothing is silently turned into "?".
Result<std::string> cp932TextFile(std::string_view utf8, const std::string& path);

}  // namespace tovalo::text
