#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A scratch folder tree that disappears with the test.
class TempTree {
  public:
    TempTree() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tovalo-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Absolute path of `relative`, with "/" between the parts.
    [[nodiscard]] std::string path(const std::string& relative = {}) const {
        return relative.empty() ? root_.string() : (root_ / relative).string();
    }
    void dir(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
    }
    void file(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path p = root_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    // Writes `bytes` and gives the file's absolute path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        file(relative, bytes);
        return path(relative);
    }
    [[nodiscard]] std::string read(const std::string& relative) const {
        std::stringstream ss;
        ss << std::ifstream(root_ / relative, std::ios::binary).rdbuf();
        return ss.str();
    }
    [[nodiscard]] bool exists(const std::string& relative) const {
        return std::filesystem::exists(root_ / relative);
    }

  private:
    std::filesystem::path root_;
};
