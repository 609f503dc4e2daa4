#include "core/platform/doubles.h"

#include "core/common/files.h"

namespace tovalo::platform {

std::optional<std::string> MemorySettingsStore::read(std::string_view key) const {
    auto it = values.find(key);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void MemorySettingsStore::write(std::string_view key, std::string_view value) {
    values.insert_or_assign(std::string(key), std::string(value));
}

void RecordingMessageBoxes::showError(const std::string& text) {
    shown.push_back({kErrorCaption, text});
    if (whileShown) {
        whileShown();
    }
}

bool RecordingMessageBoxes::askYesNo(const std::string& text) {
    shown.push_back({kQuestionCaption, text});
    if (whileShown) {
        whileShown();
    }
    if (answers.empty()) {
        return false;
    }
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingMessageBoxes::showNotice(const std::string& caption, const std::string& text) {
    shown.push_back({caption, text});
    if (whileShown) {
        whileShown();
    }
}

Status RecordingShell::open(const std::string& target) {
    Status checked = checkShellTarget(target);
    if (!checked) {
        refused.push_back(target);
        return checked;
    }
    opened.push_back(target);
    return Ok{};
}

Status MemoryFileAttributes::setReadOnly(const std::string& path, bool readOnly) {
    files[path].readOnly = readOnly;
    return Ok{};
}

Status MemoryFileAttributes::setHidden(const std::string& path, bool hidden) {
    files[path].hidden = hidden;
    return Ok{};
}

Result<std::chrono::system_clock::time_point> MemoryFileAttributes::lastWriteTime(
    const std::string& path) const {
    auto it = files.find(path);
    if (it == files.end()) {
        return Error{kFileNotFound, path, 0};
    }
    return it->second.time;
}

Status MemoryFileAttributes::setFileTimes(const std::string& path,
                                          std::chrono::system_clock::time_point time) {
    files[path].time = time;
    return Ok{};
}

Status MemoryFileAttributes::setFileTimesBeforeRename(const std::string&, const std::string& path,
                                                      std::chrono::system_clock::time_point time) {
    return setFileTimes(path, time);
}

Result<std::string> FakeBundleLoader::load(const std::string& file, int slot) {
    attempts.push_back(file);
    auto it = bundles.find(file);
    if (it == bundles.end()) {
        return Error{kFileNotFound, file, 0};
    }
    loaded[slot] = file;
    return it->second;
}

void FakeBundleLoader::unload(int slot) {
    loaded.erase(slot);
    unloaded.push_back(slot);
}

}  // namespace tovalo::platform
