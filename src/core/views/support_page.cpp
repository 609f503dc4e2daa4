#include "core/views/support_page.h"

#include <utility>

#include "core/exam/choice_letters.h"
#include "core/questions/figure_line.h"
#include "core/questions/question_bank.h"
#include "core/styles/style_handoff.h"
#include "core/text/characters.h"
#include "core/text/html_escape.h"
#include "core/text/trim.h"
#include "core/views/explanation_text.h"
#include "core/views/template_page.h"

namespace tovalo {

using text::htmlEscaped;

namespace {

// Upper case for A-Z only: the katakana letters have no case.
std::string upperAtoZ(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

}  // namespace

std::string supportPage(std::string_view templateText, const SupportPageValues& v) {
    const std::pair<std::string_view, std::string> markers[] = {
        {"#SERIAL#", htmlEscaped(v.serial)},
        {"#CGI_URL#", "<form ACTION=\"" + v.cgiUrl + "\" METHOD=\"post\">"},
        {"#NAME#", htmlEscaped(v.name)},
        {"#MAIL#", htmlEscaped(v.mail)},
        {"#ORGA#", htmlEscaped(v.org)},
        {"#QUESNUM#", std::to_string(v.quesNum)},
        {"#QDFDATE#", v.qdfDate},
        {"#QUES#", v.question},
        {"#TEST#", v.test},
        {"#ANSW#", v.answer},
    };
    std::string page;
    for (const std::string& line : textLines(templateText)) {
        // A line is replaced once: a value is never read again as a marker,
        // so no profile text can pull another value into the page.
        const std::string_view t = text::trim(line);
        const std::string* value = &line;
        for (const auto& [marker, replacement] : markers) {
            if (t == marker) {
                value = &replacement;
                break;
            }
        }
        page += *value;
        page += "\r\n";
    }
    return page;
}

SupportPageValues supportPageValues(const app::Profile& profile, std::string_view cgiUrl,
                                    const CourseEntry& course, const ExamQuestion& question,
                                    std::string answer) {
    SupportPageValues v;
    v.serial = profile.serial;
    v.cgiUrl = cgiUrl;
    v.name = profile.name;
    v.mail = profile.email;
    v.org = profile.org;
    v.quesNum = question.QuesNum;
    v.qdfDate = course.QdfDate;
    v.question = supportQuestionText(question.QuesText, course.FormatKind);
    v.test = course.ExamCode + " : " + course.ExamTitle;
    v.answer = std::move(answer);
    return v;
}

SupportPageFiles supportPageFiles(int formatKind, const std::string& programDir,
                                  const std::string& questionDir) {
    if (formatKind == 2) {
        return {programDir + "QuesProto2", questionDir + "Ques.htm"};
    }
    return {programDir + "QuesProto", programDir + "Ques.htm"};
}

Status writeSupportPage(const SupportPageFiles& files, const SupportPageValues& values) {
    return writeTemplatePage(files.templatePath, files.pagePath,
                             [&](std::string_view text) { return supportPage(text, values); });
}

std::string supportQuestionText(std::string_view quesText, int formatKind) {
    std::vector<std::string> lines = textLines(quesText);
    if (!lines.empty() && lines.front().find(kFigureMarker) != std::string::npos) {
        lines.erase(lines.begin());
    }
    if (formatKind != 2) {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            text += (i > 0 ? "\r\n" : "") + lines[i];
        }
        return text;
    }
    std::string text;
    bool copying = false;
    for (const std::string& line : lines) {
        if (line.find("<!-- QE -->") != std::string::npos) {
            break;
        }
        if (line.find("<!-- QS -->") != std::string::npos) {
            copying = true;
        }
        if (copying) {
            text += line + "\r\n";
        }
    }
    return text;
}

std::string supportAnswerBlock(const ExamQuestion& q, std::string_view labelStyle,
                               std::string_view correctLetters,
                               const std::array<bool, kMaxChoices>& marks, SupportFrom from,
                               std::optional<bool> storedRight) {
    const AnswerStyleTraits& traits = traitsOf(q.Style);
    if (traits.scannedSlots == 0) {
        std::string block;
        for (int i = 1; i <= q.ShowCount && i <= kMaxChoices; ++i) {
            const std::string& choice = q.ShownChoice[i - 1];
            if (choice == kAbsentChoice) {
                continue;
            }
            const std::string_view text =
                traits.keyedChoices ? text::withoutFirstCharacters(choice, 2) : choice;
            block += supportLetter(i, labelStyle) + " : " + std::string(text) + "\r\n";
        }
        block += "正解 :" + upperAtoZ(correctLetters) + "\r\n";
        block += "解答 : ";
        for (int i = 1; i <= kMaxChoices; ++i) {
            if (marks[i - 1]) {
                block += (from == SupportFrom::AnswerView ? choiceLetter(i, labelStyle)
                                                          : supportLetter(i, labelStyle)) +
                         " ";
            }
        }
        return block;
    }
    const auto verdict = [](bool right) { return std::string("解答 : ") + (right ? "○" : "×"); };
    if (from == SupportFrom::AnswerView) {
        if (traits.answeredWith != AnswerWith::StyleWindow) {
            return {};
        }
        // Right when the slot a solved window marks is the one marked.
        const int slot = styleHandoff(traits.style, q.ShownChoice, {}).answerSlot;
        return verdict(slot > 0 && marks[slot - 1]);
    }
    if ((traits.style == AnswerStyle::Graphic || traits.style == AnswerStyle::Panel) &&
        storedRight) {
        return verdict(*storedRight);
    }
    return {};
}

}  // namespace tovalo
