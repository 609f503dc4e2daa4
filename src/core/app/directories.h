#pragma once

#include <string>
#include <string_view>

namespace tovalo::app {

// "dir" -> "dir/"; an empty path stays empty.
std::string withTrailingSlash(std::string_view dir);

// The directory that holds `dir`: "/opt/tovalo/bin/" -> "/opt/tovalo/".
// The file system root is its own parent.
std::string parentDirectory(std::string_view dir);

// Where the installation keeps its files. The program lives in <root>/bin;
// question files live under <root>/QDAT and history under <root>/HIST. Every
// directory ends with "/".
class Directories {
  public:
    Directories() = default;

    // Looks at the disk once: when <root>/QDAT/ is missing the question
    // files are expected beside the program instead, which is how a copy
    // running straight out of its bin folder is laid out.
    static Directories resolve(std::string_view programDir);

    [[nodiscard]] const std::string& programDir() const { return programDir_; }
    [[nodiscard]] const std::string& root() const { return root_; }
    // <root>/QDAT/, or <program dir>/QDAT/ for the fallback above.
    [[nodiscard]] const std::string& questionBase() const { return questionBase_; }

    [[nodiscard]] std::string questionDir(std::string_view vendorFolder) const;
    [[nodiscard]] std::string imageDir(std::string_view vendorFolder) const;
    [[nodiscard]] std::string historyDir(std::string_view vendorFolder) const;
    // <root>/HIST/, which holds one history folder per vendor.
    [[nodiscard]] std::string historyBase() const { return root_ + "HIST/"; }
    // The root as stored in the settings under "Path": no trailing slash.
    [[nodiscard]] std::string pathValue() const;

  private:
    std::string programDir_;
    std::string root_;
    std::string questionBase_;
};

}  // namespace tovalo::app
