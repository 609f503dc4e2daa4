#include "core/views/explanation_text.h"

#include "core/exam/choice_letters.h"
#include "core/questions/figure_line.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

constexpr std::size_t kFigureSlots = 4;

}  // namespace

std::vector<std::string> textLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) {
        return lines;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        const std::size_t next = end + 1;
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.emplace_back(text.substr(start, end - start));
        if (lf == std::string_view::npos || next == text.size()) {
            break;
        }
        start = next;
    }
    return lines;
}

std::string memoText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> takeFigureLine(std::vector<std::string>& lines) {
    while (!lines.empty() && lines.front().empty()) {
        lines.erase(lines.begin());
    }
    if (lines.empty() || lines.front().find(kFigureMarker) == std::string::npos) {
        return {};
    }
    std::vector<std::string> names = figureLineNames(lines.front(), kFigureSlots);
    lines.erase(lines.begin());
    return names;
}

std::string figurePath(const std::string& questionDir, const std::string& name) {
    return questionDir + "img/" + name;
}

std::vector<std::string> answerReferenceLines(const std::array<std::string, 4>& refText,
                                              const std::array<std::string, 4>& refPage,
                                              int formatKind) {
    const bool html = formatKind == 2;
    const std::string br = html ? "<br>" : "";
    std::vector<std::string> lines{html ? "<br>" : " ", "【参照】" + br};
    for (std::size_t k = 0; k < refText.size(); ++k) {
        if (!text::trim(refText[k]).empty()) {
            lines.push_back(refText[k] + br);
        }
        if (refPage[k] != "0") {
            lines.push_back("→" + refPage[k] + "P" + br);
        }
    }
    return lines;
}

std::string supportLetter(int slot, std::string_view labelStyle) {
    return choiceLetter(slot, labelStyle == "ｱ" ? labelStyle : std::string_view("A"));
}

}  // namespace tovalo
