#include "core/text/cp932_text_file.h"

#include "core/text/cp932.h"
#include "core/text/lines.h"

namespace tovalo::text {

Result<std::string> cp932TextFile(std::string_view utf8, const std::string& path) {
    if (!isValidUtf8(utf8)) {
        return Error{"UTF-8 ではありません", path, 0};
    }
    std::string out;
    const std::vector<std::string_view> lines = splitLines(utf8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string bytes = utf8ToCp932(lines[i]);
        if (cp932ToUtf8(bytes) != lines[i]) {
            return Error{"Shift_JIS (CP932) で書けない文字があります", path,
                         static_cast<int>(i + 1)};
        }
        out += bytes;
        if (i + 1 < lines.size() || endsWithLineEnd(utf8)) {
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace tovalo::text
