#include "core/common/result.h"

namespace tovalo {

std::string Error::describe() const {
    if (file.empty()) {
        return message;
    }
    std::string where = file;
    if (line > 0) {
        where += ":" + std::to_string(line);
    }
    return where + ": " + message;
}

}  // namespace tovalo
