#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tovalo {

inline constexpr int kCaseStudyFigures = 4;

// The scenario a course's questions share, from the course settings file.
struct CaseStudy {
    std::string text;  // its lines, joined by CR LF
    // Full paths of the figures; empty where the file names none.
    std::array<std::string, kCaseStudyFigures> figures;
    bool html = false;  // "FMT=html": shown as a page, not as plain text
};

// The case study of a course settings file, or nothing when the file has no
// "[case study]" line. `imageDir` is the vendor's figure folder, ending "/".
std::optional<CaseStudy> parseCaseStudy(std::string_view cp932Bytes, const std::string& imageDir);
// A missing or unreadable file means the course has no case study.
std::optional<CaseStudy> readCaseStudy(const std::string& iniPath, const std::string& imageDir);

}  // namespace tovalo
