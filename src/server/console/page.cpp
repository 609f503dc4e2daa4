#include "server/console/page.h"

#include <array>

#include "core/text/html_escape.h"

namespace tovalo::server::console {

namespace {

// System fonts with the Japanese faces Debian installs; relative sizes so
// that browser zoom and the reader's own font size both work. Colours keep
// at least 4.5:1 against their background.
constexpr std::string_view kStyle = R"(
*,*::before,*::after{box-sizing:border-box}
html{font-size:100%}
body{margin:0;font-family:"IPAPGothic","IPAGothic","Noto Sans CJK JP",sans-serif;line-height:1.6;color:#1c2430;background:#f4f6f9}
a{color:#1a4fa0}
a:focus-visible,button:focus-visible,input:focus-visible,textarea:focus-visible,select:focus-visible,summary:focus-visible{outline:3px solid #c2410c;outline-offset:2px}
.skip{position:absolute;left:-999em}
.skip:focus{left:1rem;top:.5rem;background:#fff;padding:.5rem 1rem;z-index:9}
header{background:#1f3f7a;color:#fff;padding:.5rem 1rem;display:flex;flex-wrap:wrap;align-items:center;gap:.5rem 1.5rem}
header .brand{font-weight:bold;font-size:1.1rem;margin-right:auto}
header nav ul{list-style:none;margin:0;padding:0;display:flex;flex-wrap:wrap;gap:.25rem}
header nav a{color:#fff;text-decoration:none;padding:.35rem .75rem;border-radius:4px;display:inline-block}
header nav a[aria-current=page]{background:#fff;color:#1f3f7a;font-weight:bold}
header nav a:hover{text-decoration:underline}
header .who{display:flex;align-items:center;gap:.5rem;flex-wrap:wrap}
header .who button{background:transparent;color:#fff;border:1px solid #fff}
main{max-width:72rem;margin:0 auto;padding:1rem}
h1{font-size:1.5rem;color:#1f3f7a;margin:.5rem 0 1rem}
h2{font-size:1.2rem;color:#1f3f7a;margin:1.5rem 0 .5rem;border-bottom:2px solid #c9d3e3}
h3{font-size:1.05rem;margin:1rem 0 .5rem}
section.card,.card{background:#fff;border:1px solid #c9d3e3;border-radius:6px;padding:1rem;margin:0 0 1rem}
.scroll{overflow-x:auto}
table{border-collapse:collapse;width:100%;background:#fff}
th,td{border:1px solid #c9d3e3;padding:.4rem .6rem;text-align:left;vertical-align:top}
th{background:#e6ecf5}
td.num,th.num{text-align:right;white-space:nowrap}
caption{text-align:left;font-weight:bold;padding:.25rem 0}
form.inline{display:inline}
label{font-weight:bold;display:block;margin:.5rem 0 .25rem}
input[type=text],input[type=search],input[type=password],textarea,select{font:inherit;padding:.4rem;border:1px solid #6b7a90;border-radius:4px;width:100%;max-width:32rem;background:#fff}
textarea{min-height:8rem;max-width:48rem}
button{font:inherit;padding:.4rem 1rem;border-radius:4px;border:1px solid #1f3f7a;background:#1f3f7a;color:#fff;cursor:pointer}
button.secondary{background:#fff;color:#1f3f7a}
button.danger{background:#fff;color:#a61b1b;border-color:#a61b1b}
.row{display:flex;flex-wrap:wrap;gap:.5rem;align-items:flex-end}
.note,.muted{color:#4a5568}
.message{border-left:4px solid #2f7d32;background:#eef7ee;padding:.5rem 1rem;margin:0 0 1rem}
.error{border-left:4px solid #a61b1b;background:#fbeeee;padding:.5rem 1rem;margin:0 0 1rem;white-space:pre-wrap}
.text{white-space:pre-wrap;overflow-wrap:anywhere;border:1px solid #c9d3e3;background:#fafbfd;padding:.5rem .75rem;margin:.25rem 0}
.badge{display:inline-block;padding:0 .5rem;border-radius:999px;font-size:.9rem;border:1px solid}
.badge.open{color:#a61b1b;border-color:#a61b1b}
.badge.answered{color:#8a5a00;border-color:#8a5a00}
.badge.done{color:#2f7d32;border-color:#2f7d32}
.verdict{display:inline-block;font-size:2rem;font-weight:bold;width:3rem;height:3rem;line-height:3rem;text-align:center;border-radius:50%;background:#1f3f7a;color:#fff}
.figures{display:flex;flex-wrap:wrap;gap:1rem;align-items:center}
.figures div{min-width:7rem}
svg.chart{width:100%;max-width:48rem;height:auto;background:#fff}
.card>h2:first-child{margin-top:0}
.pager{display:flex;gap:1rem;align-items:center;margin:.75rem 0}
dl.fields{display:grid;grid-template-columns:minmax(6rem,max-content) 1fr;gap:.25rem 1rem}
dl.fields dt{font-weight:bold}
dl.fields dd{margin:0;white-space:pre-wrap;overflow-wrap:anywhere}
@media (max-width:40rem){main{padding:.5rem}header{padding:.5rem}dl.fields{grid-template-columns:1fr}}
)";

struct NavItem {
    Section section;
    std::string_view path;
    std::string_view label;
};
constexpr std::array kNav = {NavItem{Section::Learners, "/console/learners", "学習者"},
                             NavItem{Section::Courses, "/console/courses", "コース"},
                             NavItem{Section::Inbox, "/console/inbox", "問い合わせ"},
                             NavItem{Section::News, "/console/news", "お知らせ"}};

std::string head(std::string_view title) {
    return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" +
           esc(title) + " - Tovalo 管理コンソール</title>\n<style>" + std::string(kStyle) +
           "</style>\n</head>\n<body>\n";
}

}  // namespace

std::string esc(std::string_view text) {
    return text::htmlEscaped(text);
}

std::string csrfField(std::string_view csrf) {
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + esc(csrf) + "\">";
}

std::string framedPage(const Frame& frame, std::string_view mainHtml) {
    std::string html = head(frame.title);
    html +=
        "<a class=\"skip\" href=\"#main\">本文へ移動</a>\n<header>\n"
        "<span class=\"brand\">Tovalo 管理コンソール</span>\n"
        "<nav aria-label=\"メインメニュー\"><ul>\n";
    for (const NavItem& item : kNav) {
        html += "<li><a href=\"" + std::string(item.path) + "\"" +
                (item.section == frame.section ? " aria-current=\"page\"" : "") + ">" +
                std::string(item.label) + "</a></li>\n";
    }
    html += "</ul></nav>\n<div class=\"who\"><span>" + esc(frame.staffName) +
            " さん</span>\n<form class=\"inline\" method=\"post\" action=\"/console/signout\">" +
            csrfField(frame.csrf) +
            "<button type=\"submit\">サインアウト</button></form></div>\n"
            "</header>\n<main id=\"main\" tabindex=\"-1\">\n<h1>" +
            esc(frame.title) + "</h1>\n";
    html += mainHtml;
    html += "\n</main>\n</body>\n</html>\n";
    return html;
}

std::string signInPage(std::string_view csrf, std::string_view name, std::string_view message) {
    std::string html = head("サインイン");
    html +=
        "<header><span class=\"brand\">Tovalo 管理コンソール</span></header>\n"
        "<main id=\"main\">\n<h1>サインイン</h1>\n";
    if (!message.empty()) {
        html += "<p class=\"error\" role=\"alert\">" + esc(message) + "</p>\n";
    }
    html += "<form class=\"card\" method=\"post\" action=\"/console/signin\">\n" + csrfField(csrf) +
            "\n<label for=\"name\">職員名</label>\n"
            "<input type=\"text\" id=\"name\" name=\"name\" autocomplete=\"username\" required "
            "autofocus value=\"" +
            esc(name) +
            "\">\n<label for=\"password\">パスワード</label>\n"
            "<input type=\"password\" id=\"password\" name=\"password\" "
            "autocomplete=\"current-password\" required>\n"
            "<p><button type=\"submit\">サインイン</button></p>\n</form>\n"
            "<p class=\"note\">アカウントはサーバーの管理者が "
            "<code>tovalo-server admin staff add 名前</code> で作成します。</p>\n"
            "</main>\n</body>\n</html>\n";
    return html;
}

std::string plainPage(std::string_view title, std::string_view message) {
    return head(title) + "<main id=\"main\">\n<h1>" + esc(title) + "</h1>\n<p>" + esc(message) +
           "</p>\n<p><a href=\"/console/signin\">サインインのページへ</a></p>\n</main>\n</body>\n"
           "</html>\n";
}

}  // namespace tovalo::server::console
