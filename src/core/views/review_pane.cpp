#include "core/views/review_pane.h"

#include "core/exam/choice_letters.h"
#include "core/exam/exam_engine.h"
#include "core/text/trim.h"
#include "core/views/answer_view.h"
#include "core/views/explanation_text.h"

namespace tovalo {

namespace {

constexpr std::string_view kBodyTag = "<body topmargin=\"1\" leftmargin=\"1\">";
constexpr std::size_t kFigureSlots = 4;

// Choice text as an HTML course's pane shows it: the characters that
// would read as mark-up or vanish as white space are written out.
std::string paneEscaped(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ') {
            out += "&nbsp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "<br>";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string between(std::string_view text, std::string_view from, std::string_view to) {
    const std::size_t start = text.find(from);
    const std::size_t begin = start == std::string_view::npos ? 0 : start;
    const std::size_t end = text.find(to, begin);
    return std::string(
        text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
}

}  // namespace

ReviewPane reviewPane(const ExamQuestion& q, int formatKind, std::string_view labelStyle,
                      const std::string& questionDir) {
    const bool html = formatKind == 2;
    const std::string_view crlf = "\r\n";
    ReviewPane pane;
    pane.mediaButton = q.QuesText.find("MediaPlayer1") != std::string::npos;

    const std::vector<std::string> names = figureNames(q.QuesText, kFigureSlots);
    const std::string questionText = textWithoutFigureLine(q.QuesText);
    if (questionText.size() != q.QuesText.size()) {
        for (const std::string& name : names) {
            pane.questionFigures.push_back(figurePath(questionDir, name));
        }
        pane.height = kPaneHeightWithButtons;
    }

    std::string& t = pane.text;
    if (html) {
        const std::size_t tag = questionText.find(kBodyTag);
        const std::string body =
            tag == std::string::npos
                ? questionText
                : questionText.substr(std::min(questionText.size(), tag + kBodyTag.size() + 2));
        t = "【問題】<br>\r\n" + body + "<br>\r\n";
    } else {
        t = "【問題】\r\n" + questionText + "\r\n";
    }

    const AnswerStyleTraits& traits = traitsOf(q.Style);
    const bool special = traits.scannedSlots > 0;
    if (special) {
        pane.styleView = viewWindowStyle(traits.style);
        pane.height = kPaneHeightWithButtons;
    } else {
        t += html ? "<br>\r\n【選択肢】<br>\r\n" : "\r\n【選択肢】\r\n";
        for (int i = 1; i <= q.ShowCount && i <= kMaxChoices; ++i) {
            // The sort key of a sorted-choice question is never shown.
            const std::string choice = choiceDisplayText(q.ShownChoice[i - 1], q.Style);
            t += choiceLetter(i, labelStyle) + ". " + (html ? paneEscaped(choice) : choice) +
                 (html ? "<br>" : "") + std::string(crlf);
        }
    }
    pane.questionFigureButtons = traits.style == AnswerStyle::Single ||
                                 traits.style == AnswerStyle::Multiple ||
                                 traits.style == AnswerStyle::Descriptive;

    t += html ? "<br>\r\n【解説】<br>" : "\r\n【解説】";
    std::vector<std::string> lines = textLines(q.Explanation);
    for (const std::string& name : takeFigureLine(lines)) {
        pane.explanationFigures.push_back(figurePath(questionDir, name));
    }
    const std::string explanation = memoText(lines);
    if (html) {
        t += "\r\n" + between(explanation, "<!-- KS -->", "<!-- KE -->") +
             "<br>\r\n<br>\r\n【参照】<br>\r\n";
    } else {
        t += "\r\n" + explanation + "\r\n\r\n【参照】\r\n";
    }

    bool first = true;
    for (std::size_t i = 0; i < q.RefText.size(); ++i) {
        const bool title = !text::trim(q.RefText[i]).empty();
        const bool page = q.RefPage[i] != "0";
        if (!title && !page) {
            continue;
        }
        // Each reference on a line of its own, also one that gives a page only.
        if (!first) {
            t += crlf;
        }
        first = false;
        if (title) {
            t += q.RefText[i] + (html ? "→" : " ");
        }
        if (page) {
            t += q.RefPage[i] + (html ? "P<br>" : "P");
        }
    }
    return pane;
}

}  // namespace tovalo
