#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "tools/commands.h"

namespace tovalo::tool {

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

Catalog vendorCatalog(std::string root, const std::string& vendor) {
    if (!root.empty() && root.back() != '/') {
        root += '/';
    }
    const std::string historyDir = root + "HIST/" + vendor + "/";
    removeLeftoverSaveFiles(historyDir);
    return buildCatalog(root + "QDAT/" + vendor + "/", historyDir, emptyHistoryFiles(""));
}

Result<app::Profile> readProfileJson(const std::string& path) {
    Result<std::string> text = readWholeFile(path);
    if (!text) {
        return text.error();
    }
    const nlohmann::json j = nlohmann::json::parse(*text, nullptr, false);
    if (!j.is_object()) {
        return Error{"プロフィールが JSON のオブジェクトではありません", path, 0};
    }
    const auto field = [&j](const char* key) {
        const auto it = j.find(key);
        return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    return app::Profile{field("Name"), field("Org"), field("Email"), field("Serial")};
}

std::string readProxyOption(const std::string& option, std::string& host, int& port) {
    const std::size_t colon = option.rfind(':');
    const std::string name = option.substr(0, colon);
    const std::string number = colon == std::string::npos ? "" : option.substr(colon + 1);
    if (std::string problem = sync::checkProxy(name, number); !problem.empty()) {
        return problem;
    }
    host = name;
    port = std::stoi(number);
    return {};
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
