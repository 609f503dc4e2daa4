#include "core/exam/page_writer.h"

#include <sys/stat.h>

#include "core/common/safe_file.h"
#include "core/questions/figure_line.h"
#include "core/text/cp932.h"

namespace tovalo {

namespace {

constexpr std::string_view kScript[] = {
    "<html>",
    "<SCRIPT language=\"JavaScript\">",
    "function keydown() {",
    "alert(\"このウィンドウでは、キー操作できません。\");",
    "return false;",
    "}",
    "function right() {",
    "if (event.button == 2 || event.button == 3) {",
    "alert(\"右クリックはできません。\");",
    "return false;",
    "}",
    "return true;",
    "}",
    "document.onmousedown=right;",
    "window.onmousedown=right;",
    "document.onkeydown=keydown;",
    "window.onkeydown=keydown;",
    "</SCRIPT>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
};

constexpr std::string_view kStyledHead[] = {
    "<head>",
    "<style>",
    "body { font-size: 9pt }",
    "td { font-size: 9pt }",
    "</style>",
    "</head>",
    "<body topmargin=\"8\" leftmargin=\"1\">",
};

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::size_t at = 0;
    while ((at = s.find(from, at)) != std::string::npos) {
        s.replace(at, from.size(), to);
        at += to.size();
    }
}

}  // namespace

std::string pageBytes(std::string_view content, PageMode mode) {
    if (mode == PageMode::DropFirstLine) {
        const std::size_t lf = content.find('\n');
        content = lf == std::string_view::npos ? std::string_view{} : content.substr(lf + 1);
    }
    std::string page;
    page.reserve(content.size() + 1024);
    auto line = [&page](std::string_view l) {
        page += l;
        page += "\r\n";
    };
    for (std::string_view l : kScript) {
        line(l);
    }
    if (mode == PageMode::Styled) {
        for (std::string_view l : kStyledHead) {
            line(l);
        }
    }
    line(content);
    if (mode == PageMode::Styled) {
        line("</body>");
    }
    line("</html>");
    return text::utf8ToCp932(page, text::Unmappable::HtmlReference);
}

Status WritePage(std::string_view content, const std::string& path, PageMode mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        ::chmod(path.c_str(), st.st_mode | S_IWUSR);
    }
    return saveFileAtomically(path, pageBytes(content, mode), Durability::Replaceable);
}

std::string PageToListText(std::string_view questionText, int formatKind) {
    std::string t = withoutFigureLines(questionText);
    if (formatKind != 2) {
        return t;
    }
    for (std::string_view mark :
         {std::string_view("QS -->\r\n"), std::string_view("</object><br>\r\n")}) {
        const std::size_t at = t.find(mark);
        if (at != std::string::npos) {
            t = t.substr(at + mark.size());
        }
    }
    const std::size_t cut = std::min(t.find("<br>"), t.find("\r\n"));
    if (cut != std::string::npos) {
        t.resize(cut);
    }
    std::size_t img = std::string::npos;
    std::size_t close = std::string::npos;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t.compare(i, 9, "<img src=") == 0) {
            img = i;
        } else if (t[i] == '>' && img != std::string::npos) {
            close = i;
            break;
        }
    }
    if (img != std::string::npos) {
        t = t.substr(0, img) + "<<画像>>" +
            (close != std::string::npos ? t.substr(close + 1) : std::string());
    }
    replaceAll(t, "<BR>", " ");
    for (std::string_view tag :
         {"<sup>", "</sup>", "<sub>", "</sub>", "<i>", "</i>", "<u>", "</u>", "<b>", "</b>"}) {
        replaceAll(t, tag, "");
    }
    replaceAll(t, "&lt;", "<");
    replaceAll(t, "&gt;", ">");
    replaceAll(t, "&quot;", "\"");
    replaceAll(t, "&nbsp;", " ");
    replaceAll(t, "&amp;", "&");
    return t;
}

}  // namespace tovalo
