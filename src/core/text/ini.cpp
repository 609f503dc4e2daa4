#include "core/text/ini.h"

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo::text {

IniFile IniFile::parse(std::string_view cp932Bytes) {
    IniFile ini;
    const std::string utf8 = cp932ToUtf8(cp932Bytes);
    Section* current = nullptr;
    for (std::string_view raw : splitLines(utf8)) {
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) {
                // A broken section header: its keys belong to no section we
                // could name, so they are skipped until the next good header.
                current = nullptr;
                continue;
            }
            const std::string name(trim(line.substr(1, close - 1)));
            current = nullptr;
            for (Section& s : ini.sections_) {
                if (equalsIgnoreAsciiCase(s.name, name)) {
                    current = &s;
                    break;
                }
            }
            if (current == nullptr) {
                ini.sections_.push_back(Section{name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        std::string key(trim(line.substr(0, eq)));
        if (key.empty()) {
            continue;
        }
        std::string_view value = trim(line.substr(eq + 1));
        // A value wrapped in matching quotes keeps its inner blanks.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        bool seen = false;
        for (const Entry& e : current->entries) {
            if (equalsIgnoreAsciiCase(e.key, key)) {
                seen = true;
                break;
            }
        }
        if (!seen) {
            current->entries.push_back(Entry{std::move(key), std::string(value)});
        }
    }
    return ini;
}

Result<IniFile> IniFile::load(const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) {
        return bytes.error();
    }
    return parse(*bytes);
}

IniFile IniFile::loadOrEmpty(const std::string& path) {
    auto loaded = load(path);
    return loaded ? std::move(loaded).value() : IniFile{};
}

const IniFile::Entry* IniFile::find(std::string_view section, std::string_view key) const {
    for (const Section& s : sections_) {
        if (!equalsIgnoreAsciiCase(s.name, section)) {
            continue;
        }
        for (const Entry& e : s.entries) {
            if (equalsIgnoreAsciiCase(e.key, key)) {
                return &e;
            }
        }
        return nullptr;
    }
    return nullptr;
}

std::string IniFile::value(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const {
    const Entry* e = find(section, key);
    return e != nullptr ? e->value : std::string(defaultValue);
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return find(section, key) != nullptr;
}

bool IniFile::hasSection(std::string_view section) const {
    for (const Section& s : sections_) {
        if (equalsIgnoreAsciiCase(s.name, section)) {
            return true;
        }
    }
    return false;
}

}  // namespace tovalo::text
