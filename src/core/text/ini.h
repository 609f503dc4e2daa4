#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

namespace tovalo::text {

// The one reader for INI-style settings files (Tovalo20.ini, the course
// settings files). Files are CP932; names and values come out as UTF-8.
// Section and key names match regardless of ASCII case, values are trimmed,
// and when a key appears twice in a section the first one wins, as the
// desktop's own settings-file functions behave. Lines that are not
// "[section]" or "key=value" (comments, the free text some files carry
// before their first section) are ignored.
class IniFile {
  public:
    IniFile() = default;

    static IniFile parse(std::string_view cp932Bytes);
    // A missing or unreadable file is an error naming the file.
    static Result<IniFile> load(const std::string& path);
    // For files whose absence only means "all defaults".
    static IniFile loadOrEmpty(const std::string& path);

    [[nodiscard]] std::string value(std::string_view section, std::string_view key,
                                    std::string_view defaultValue = {}) const;
    [[nodiscard]] bool hasKey(std::string_view section, std::string_view key) const;
    [[nodiscard]] bool hasSection(std::string_view section) const;

  private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Entry* find(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
};

}  // namespace tovalo::text
