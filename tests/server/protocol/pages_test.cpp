#include "server/protocol/pages.h"

#include <gtest/gtest.h>

#include <functional>

namespace tovalo::server::protocol {
namespace {

constexpr std::string_view kHostile = "<b>&\"'";
constexpr std::string_view kEscaped = "&lt;b&gt;&amp;&quot;&#39;";

DiagnosedCourse course(std::string code, int average, int exams,
                       std::vector<HistoryTextCategory> categories = {}) {
    DiagnosedCourse c;
    c.ExamCode = std::move(code);
    c.history.AverageRate = average;
    c.history.BestRate = average;
    for (int i = 0; i < exams; ++i) {
        c.history.exams[i] = {10, 1, 2, 3, 4, average, 1, 20};
    }
    c.history.categories = std::move(categories);
    return c;
}

// Whatever came from the learner, the staff or a question file reaches a
// page only escaped: a value in every field of every page, and no trace of
// it unescaped.
TEST(Pages, EveryOutsideValueIsEscaped) {
    const std::string h(kHostile);
    SupportQuestion q;
    q.sender.name = q.sender.mail = q.question = h;
    q.course = {h, h};
    DiagnosisRequest r;
    r.chosen = CourseName{h, h};
    r.message = h;
    r.courses = {course(h, 40, 1, {{h, {{30, 0, 0, 0, 0}, 30, 30}}, {h + "0", {}}}),
                 course(h + "2", 0, 0)};
    const DiagnosisAdvice advice = diagnosisAdvice(r.courses, h);
    const std::vector<FaqEntry> entries = {{h, h, {{h, h}}}};

    const struct {
        const char* page;
        std::function<std::string()> render;
        int values;  // how many outside values the page shows at least
    } cases[] = {
        {"support receipt", [&] { return supportReceiptPage(7, q); }, 5},
        {"diagnosis receipt", [&] { return diagnosisReceiptPage(7, r, advice); }, 7},
        {"faq",
         [&] {
             return faqPage({h, h}, 3, h, entries);
         },
         7},
        {"news",
         [&] {
             return newsPage({{h, h, h}});
         },
         3},
        {"error", [&] { return errorPage(400, h); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string html = c.render();
        EXPECT_EQ(html.find(kHostile.substr(0, 3)), std::string::npos);
        EXPECT_EQ(html.find("&\"'"), std::string::npos);
        int shown = 0;
        for (std::size_t at = html.find(kEscaped); at != std::string::npos;
             at = html.find(kEscaped, at + 1)) {
            ++shown;
        }
        EXPECT_GE(shown, c.values);
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    }
}

TEST(Pages, EmptyStatesAreSaidKindly) {
    const struct {
        const char* page;
        std::string html;
        std::string says;
    } cases[] = {
        {"faq", faqPage({"NX-1", "基礎"}, 3, "", {}), "この問題へのご質問はまだありません"},
        {"news", newsPage({}), "お知らせはありません"},
        {"no course taken",
         diagnosisReceiptPage(1, {}, diagnosisAdvice({course("NX-1", 0, 0)}, "")),
         "まだ受験したテストがありません"},
        {"no course chosen", diagnosisReceiptPage(1, {}, diagnosisAdvice({}, "")),
         "診断するテストが選ばれていませんでした"},
        {"not found", errorPage(404, "ありません"), "ページが見つかりません"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(c.html.find(c.says), std::string::npos) << c.page;
    }
}

// The receipt carries the advice: the chosen course's weakest categories and
// the course to train next, apart from what is only listed.
TEST(Pages, DiagnosisReceiptShowsTheAdvice) {
    DiagnosisRequest r;
    r.chosen = CourseName{"NX-1", "基礎"};
    r.courses = {course("NX-1", 70, 2, {{"弱点A", {{10, 0, 0, 0, 0}, 10, 10}}, {"未出題B", {}}}),
                 course("NX-2", 30, 1), course("NX-3", 0, 0)};
    const std::string html = diagnosisReceiptPage(42, r, diagnosisAdvice(r.courses, "NX-1"));
    for (std::string_view shown :
         {"受付番号 42", "弱点A", "まだ正解のないカテゴリー: 未出題B", "<p class=\"next\">NX-2</p>",
          "まだ受験していないテスト: NX-3"}) {
        EXPECT_NE(html.find(shown), std::string::npos) << shown;
    }
}

}  // namespace
}  // namespace tovalo::server::protocol
