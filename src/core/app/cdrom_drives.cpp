#include "core/app/cdrom_drives.h"

#include "core/app/directories.h"
#include "core/text/lines.h"

namespace tovalo::app {

namespace {

// /proc/mounts writes blanks, tabs, newlines and backslashes in paths as
// three-digit octal escapes ("\040").
std::string unescapeMountField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            fields.push_back(line.substr(start, i - start));
        }
    }
    return fields;
}

}  // namespace

std::vector<std::string> parseCdromMounts(std::string_view procMounts) {
    std::vector<std::string> roots;
    for (std::string_view line : text::splitLines(procMounts)) {
        std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() < 3) {
            continue;
        }
        if (fields[2] == "iso9660" || fields[2] == "udf") {
            roots.push_back(withTrailingSlash(unescapeMountField(fields[1])));
        }
    }
    return roots;
}

std::vector<std::string> limitCdromDrives(std::vector<std::string> roots) {
    if (roots.size() > kMaxCdromDrives) {
        roots.resize(kMaxCdromDrives);
    }
    return roots;
}

}  // namespace tovalo::app
