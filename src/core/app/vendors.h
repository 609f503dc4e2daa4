#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/directories.h"
#include "core/platform/bundle_loader.h"

namespace tovalo::app {

// Vendor folder names from the vendor list file (section "Vender", keys
// "1", "2", … in order, stopping at the first absent key). A missing file
// gives no vendors.
std::vector<std::string> readVendorList(const std::string& iniPath);
std::vector<std::string> parseVendorList(std::string_view cp932Bytes);

inline constexpr const char* kVendorListFile = "Tovalo20.ini";
// Longest string a bundle may give, counted in CP932 bytes.
inline constexpr std::size_t kVendorStringMaxBytes = 100;

// A bundle's numbered strings. The string table is UTF-8, one "N=text" per
// line; the text is taken verbatim after the first "=" because a single
// blank is meaningful (a level the vendor does not have).
class VendorStrings {
  public:
    static VendorStrings parse(std::string_view utf8);

    // Empty when the bundle has no string `number`.
    [[nodiscard]] const std::string& get(int number) const;
    [[nodiscard]] bool has(int number) const { return strings_.count(number) != 0; }

  private:
    std::map<int, std::string> strings_;
};

// `utf8` shortened so that its CP932 form takes at most `maxBytes`; a
// character is kept whole or dropped.
std::string limitCp932Bytes(std::string_view utf8, std::size_t maxBytes);

// A loaded vendor: its slot number and what its bundle says about it.
struct Vendor {
    int number = 0;                         // 1-based, in the order the bundles loaded
    std::string listedFolder;               // as named in the vendor list
    std::string bundleFile;                 // the file loaded into slot `number`
    std::string folder;                     // bundle string 2: QDAT/HIST folder, command-line match
    std::string infoTooltip;                // 1
    int tabPosition = 0;                    // 3: the tab picture sits at (tabPosition − 1) × 77
    long panelColor = 0;                    // 4: a desktop colour value, 0x00BBGGRR
    std::array<std::string, 4> levelNames;  // 5..8 for levels 1..4
    long panelTextColor = 0;                // 9
    std::string helpText;                   // 10
    std::string displayName;                // 11
    std::string choiceLabelStyle;           // 12: "A", "a" or "ｱ"

    // A level name of a single blank means the vendor has no such level.
    [[nodiscard]] bool hasLevel(int level) const;
    // The name shown to the learner: the bundle's, or the folder's when the
    // bundle gives none.
    [[nodiscard]] const std::string& shownName() const {
        return displayName.empty() ? folder : displayName;
    }
};

Vendor makeVendor(int number, const std::string& listedFolder, const std::string& bundleFile,
                  const VendorStrings& strings);

// The bundle file of a vendor folder, in the program directory.
std::string bundleFileFor(const Directories& dirs, std::string_view folder);

// Loads the bundle of every listed vendor whose question directory exists.
// Vendors are numbered in the order their bundles loaded; a folder without a
// question directory and a bundle that fails to load are skipped.
std::vector<Vendor> loadVendors(const Directories& dirs, const std::vector<std::string>& listed,
                                platform::BundleLoader& loader);

void unloadVendors(const std::vector<Vendor>& vendors, platform::BundleLoader& loader);

// The vendor to open with: the stored index, no higher than the number of
// vendors (0 when there are none), unless the command-line argument,
// lower-cased, is exactly one vendor's folder name.
int selectVendor(int storedIndex, const std::vector<Vendor>& vendors, std::string_view argument);

}  // namespace tovalo::app
