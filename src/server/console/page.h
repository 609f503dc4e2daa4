#pragma once

#include <string>
#include <string_view>

// The frame of every console page: one small style sheet, a skip link, the
// header with the navigation and the sign-out button, and the main content.
// Server-rendered, readable without scripts, at 200 % and on a phone.
namespace tovalo::server::console {

enum class Section { None, Learners, Courses, Inbox, News };

struct Frame {
    std::string title;  // our own text; escaped here all the same
    Section section = Section::None;
    std::string staffName;
    std::string csrf;
};

// Text from anywhere, fit for an element or a quoted attribute.
std::string esc(std::string_view text);

// A whole page around `mainHtml`, whose outside values are escaped already.
std::string framedPage(const Frame& frame, std::string_view mainHtml);

// The sign-in page; `message` says why the last attempt failed ("" for none).
std::string signInPage(std::string_view csrf, std::string_view name, std::string_view message);

// A page for someone not signed in: a refused form, an expired session.
std::string plainPage(std::string_view title, std::string_view message);

// A hidden field with the form's token.
std::string csrfField(std::string_view csrf);

}  // namespace tovalo::server::console
