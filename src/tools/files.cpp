#include <cstdio>
#include <memory>

#include "tools/commands.h"

namespace tovalo::tool {

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

bool writeFileBytes(const std::string& path, const std::string& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() ||
        std::fflush(f.get()) != 0) {
        std::fprintf(stderr, "%s: 書き込めません\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace tovalo::tool
