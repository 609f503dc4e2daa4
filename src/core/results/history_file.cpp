#include "core/results/history_file.h"

#include <algorithm>

#include "core/common/safe_file.h"
#include "core/text/cp932.h"

namespace tovalo {

std::string emptyHistoryFile(std::string_view questionFilePath) {
    std::string f;
    f.reserve(kHistoryFileSize);
    f += ".HIS";
    std::string path = text::utf8ToCp932(questionFilePath);
    path.resize(std::min(path.size(), kHistoryPathField));
    f += path;
    f.append(kHistoryPathField - path.size(), '\x0B');
    f.append(90, '\0');                 // ten empty exam records
    f += '\0';                          // BestRate
    f += '\0';                          // AverageRate
    f += std::string("\0\0\0\xFF", 4);  // reserved: marks a file no exam was saved to
    f.append(350, '\0');                // fifty category records
    f += "\xFF\xFF";                    // end mark
    f.append(1000, '\0');               // right and wrong counts of 500 questions
    return f;
}

Status createEmptyHistoryFile(const std::string& path, std::string_view questionFilePath) {
    return saveFileAtomically(path, emptyHistoryFile(questionFilePath));
}

}  // namespace tovalo
