#include "core/app/vendors.h"

#include <charconv>

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "core/text/ini.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo::app {

namespace {

// Number of bytes of the UTF-8 sequence that starts with `lead`; a stray
// byte counts as one so that damaged text still advances.
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    if (lead >= 0xC2) {
        return 2;
    }
    return 1;
}

long parseNumber(std::string_view s, long fallback) {
    s = text::trim(s);
    long value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return fallback;
    }
    return value;
}

}  // namespace

std::vector<std::string> parseVendorList(std::string_view cp932Bytes) {
    text::IniFile ini = text::IniFile::parse(cp932Bytes);
    std::vector<std::string> folders;
    for (int key = 1;; ++key) {
        std::string folder = ini.value("Vender", std::to_string(key), "*");
        if (folder == "*") {
            break;
        }
        folders.push_back(std::move(folder));
    }
    return folders;
}

std::vector<std::string> readVendorList(const std::string& iniPath) {
    Result<std::string> bytes = readWholeFile(iniPath);
    if (!bytes) {
        return {};
    }
    return parseVendorList(*bytes);
}

std::string limitCp932Bytes(std::string_view utf8, std::size_t maxBytes) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t len =
            std::min(utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        std::size_t encoded = text::utf8ToCp932(utf8.substr(i, len)).size();
        if (used + encoded > maxBytes) {
            break;
        }
        used += encoded;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

VendorStrings VendorStrings::parse(std::string_view utf8) {
    VendorStrings result;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") {
        utf8.remove_prefix(3);
    }
    for (std::string_view line : text::splitLines(utf8)) {
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        long number = parseNumber(line.substr(0, eq), 0);
        if (number <= 0) {
            continue;
        }
        result.strings_.emplace(static_cast<int>(number),
                                limitCp932Bytes(line.substr(eq + 1), kVendorStringMaxBytes));
    }
    return result;
}

const std::string& VendorStrings::get(int number) const {
    static const std::string empty;
    auto it = strings_.find(number);
    return it == strings_.end() ? empty : it->second;
}

bool Vendor::hasLevel(int level) const {
    if (level < 1 || level > 4) {
        return false;
    }
    return levelNames[level - 1] != " ";
}

Vendor makeVendor(int number, const std::string& listedFolder, const std::string& bundleFile,
                  const VendorStrings& strings) {
    Vendor v;
    v.number = number;
    v.listedFolder = listedFolder;
    v.bundleFile = bundleFile;
    // A bundle without its folder string still belongs to the folder that
    // listed it.
    v.folder = strings.has(2) ? strings.get(2) : listedFolder;
    v.infoTooltip = strings.get(1);
    // Installations keep tab position and vendor number equal.
    v.tabPosition = static_cast<int>(parseNumber(strings.get(3), number));
    v.panelColor = parseNumber(strings.get(4), 0);
    for (int level = 1; level <= 4; ++level) {
        v.levelNames[level - 1] = strings.get(4 + level);
    }
    v.panelTextColor = parseNumber(strings.get(9), 0);
    v.helpText = strings.get(10);
    v.displayName = strings.get(11);
    v.choiceLabelStyle = strings.get(12);
    return v;
}

std::string bundleFileFor(const Directories& dirs, std::string_view folder) {
    return dirs.programDir() + "Tovalo" + std::string(folder) + ".rcc";
}

std::vector<Vendor> loadVendors(const Directories& dirs, const std::vector<std::string>& listed,
                                platform::BundleLoader& loader) {
    std::vector<Vendor> vendors;
    for (const std::string& folder : listed) {
        if (!directoryExists(dirs.questionDir(folder))) {
            continue;
        }
        int slot = static_cast<int>(vendors.size()) + 1;
        std::string file = bundleFileFor(dirs, folder);
        Result<std::string> strings = loader.load(file, slot);
        if (!strings) {
            continue;
        }
        vendors.push_back(makeVendor(slot, folder, file, VendorStrings::parse(*strings)));
    }
    return vendors;
}

void unloadVendors(const std::vector<Vendor>& vendors, platform::BundleLoader& loader) {
    for (const Vendor& v : vendors) {
        loader.unload(v.number);
    }
}

int selectVendor(int storedIndex, const std::vector<Vendor>& vendors, std::string_view argument) {
    int count = static_cast<int>(vendors.size());
    int current = storedIndex < 1 ? 1 : storedIndex;
    if (current > count) {
        current = count;
    }
    if (!argument.empty()) {
        std::string wanted = text::asciiLower(argument);
        for (const Vendor& v : vendors) {
            if (v.folder == wanted) {
                return v.number;
            }
        }
    }
    return current;
}

}  // namespace tovalo::app
