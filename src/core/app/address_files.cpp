#include "core/app/address_files.h"

#include <string_view>

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo::app {

Result<std::vector<std::string>> readAddressLines(const std::string& path) {
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        return bytes.error();
    }
    std::vector<std::string> lines;
    for (std::string_view line : text::splitLines(*bytes)) {
        lines.push_back(text::trimmed(text::cp932ToUtf8(line)));
    }
    return lines;
}

Result<std::string> readFirstAddress(const std::string& path) {
    Result<std::vector<std::string>> lines = readAddressLines(path);
    if (!lines) {
        return lines.error();
    }
    return lines->empty() ? std::string() : lines->front();
}

}  // namespace tovalo::app
