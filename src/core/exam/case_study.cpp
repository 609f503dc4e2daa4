#include "core/exam/case_study.h"

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "core/text/ini.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

constexpr std::string_view kCaseStudyLine = "[case study]";
constexpr std::string_view kImageSection = "CASE STUDY IMAGE";

// Any "[...]" line ends the free text, whatever section it opens.
bool opensSection(std::string_view line) {
    return !line.empty() && line.front() == '[' && line.find(']') != std::string_view::npos;
}

}  // namespace

std::optional<CaseStudy> parseCaseStudy(std::string_view cp932Bytes, const std::string& imageDir) {
    const std::string utf8 = text::cp932ToUtf8(cp932Bytes);
    const std::vector<std::string_view> lines = text::splitLines(utf8);
    std::optional<std::size_t> start;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (text::asciiLower(text::trim(lines[i])) == kCaseStudyLine) {
            start = i + 1;
            break;
        }
    }
    if (!start) {
        return std::nullopt;
    }

    CaseStudy study;
    for (std::size_t i = *start; i < lines.size() && !opensSection(lines[i]); ++i) {
        if (i > *start) {
            study.text += "\r\n";
        }
        study.text += lines[i];
    }

    const text::IniFile ini = text::IniFile::parse(cp932Bytes);
    for (int k = 0; k < kCaseStudyFigures; ++k) {
        const std::string name = ini.value(kImageSection, "IMG" + std::to_string(k + 1), "none");
        // An empty entry would name the folder itself, which no figure is.
        if (name != "none" && !name.empty()) {
            study.figures[k] = imageDir + name;
        }
    }
    study.html = text::asciiLower(ini.value(kImageSection, "FMT", "text")) == "html";
    return study;
}

std::optional<CaseStudy> readCaseStudy(const std::string& iniPath, const std::string& imageDir) {
    Result<std::string> bytes = readWholeFile(iniPath);
    if (!bytes) {
        return std::nullopt;
    }
    return parseCaseStudy(*bytes, imageDir);
}

}  // namespace tovalo
