#include "server/protocol/pages.h"

#include "core/text/html_escape.h"

namespace tovalo::server::protocol {

namespace {

using text::htmlEscaped;

// The look of the installed templates, so that the learner moves from the
// program's pages to the server's without a change of style.
constexpr std::string_view kStyle =
    R"(body { font-family: "IPAPGothic", "IPAGothic", sans-serif; font-size: 10pt; margin: 20px 28px; color: #222; max-width: 60em; }
h2 { color: #1f3f7a; border-bottom: 3px solid #1f3f7a; padding-bottom: 4px; }
h3 { color: #1f3f7a; font-size: 11pt; margin: 18px 0 6px; }
table.info { border-collapse: collapse; margin: 10px 0 16px; }
table.info th { background: #e3eaf6; text-align: left; padding: 4px 12px; border: 1px solid #b8c4d8; white-space: nowrap; }
table.info td { padding: 4px 12px; border: 1px solid #b8c4d8; }
table.info td.num { text-align: right; }
table.info tr.chosen td { background: #fff7d6; }
.receipt { font-size: 13pt; font-weight: bold; color: #1f3f7a; }
.text { white-space: pre-wrap; border: 1px solid #b8c4d8; background: #fafbfd; padding: 8px 12px; margin: 6px 0; }
.entry { border-left: 4px solid #b8c4d8; padding: 2px 0 2px 12px; margin: 16px 0; }
.answer { border-left: 4px solid #7fa05a; padding: 2px 0 2px 12px; margin: 8px 0 8px 16px; }
.label { font-weight: bold; color: #1f3f7a; }
.date, .note { color: #555; }
.empty { color: #555; border: 1px dashed #b8c4d8; padding: 12px; }
.next { font-weight: bold; }
)";

class Page {
  public:
    explicit Page(std::string_view title) {
        html_ =
            "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Tovalo " +
            htmlEscaped(title) + "</title>\n<style>\n" + std::string(kStyle) +
            "</style>\n</head>\n<body>\n<h2>" + htmlEscaped(title) + "</h2>\n";
    }

    // Markup of our own, with every outside value already escaped.
    Page& raw(std::string_view markup) {
        html_ += markup;
        html_ += '\n';
        return *this;
    }
    Page& heading(std::string_view text) { return raw("<h3>" + htmlEscaped(text) + "</h3>"); }
    Page& paragraph(std::string_view text, std::string_view cls = {}) {
        return raw("<p" + classAttribute(cls) + ">" + htmlEscaped(text) + "</p>");
    }
    // Text whose line breaks are kept.
    Page& block(std::string_view text) {
        return raw("<div class=\"text\">" + htmlEscaped(text) + "</div>");
    }
    Page& receipt(std::int64_t number) {
        return raw("<p class=\"receipt\">受付番号 <span id=\"receipt\">" + std::to_string(number) +
                   "</span></p>");
    }
    // Rows of a two-column table, label and value.
    Page& info(std::initializer_list<std::pair<std::string_view, std::string>> rows) {
        std::string t = "<table class=\"info\">\n";
        for (const auto& [label, value] : rows) {
            t +=
                "<tr><th>" + htmlEscaped(label) + "</th><td>" + htmlEscaped(value) + "</td></tr>\n";
        }
        return raw(t + "</table>");
    }

    std::string finish() { return std::move(html_) + "</body>\n</html>\n"; }

  private:
    static std::string classAttribute(std::string_view cls) {
        return cls.empty() ? std::string() : " class=\"" + std::string(cls) + "\"";
    }

    std::string html_;
};

std::string courseLabel(const CourseName& c) {
    return c.title.empty() ? c.code : c.code + " : " + c.title;
}

std::string percent(int rate) {
    return std::to_string(rate) + "%";
}

std::string dated(std::string_view label, std::string_view date) {
    std::string s = "<p><span class=\"label\">" + htmlEscaped(label) + "</span>";
    if (!date.empty()) {
        s += " <span class=\"date\">" + htmlEscaped(date) + "</span>";
    }
    return s + "</p>";
}

std::string courseTable(const DiagnosisAdvice& advice) {
    std::string t =
        "<table class=\"info\">\n<tr><th>テスト</th><th>受験回数</th><th>平均正答率</th>"
        "<th>最高正答率</th></tr>\n";
    for (std::size_t i = 0; i < advice.courses.size(); ++i) {
        const CourseStanding& c = advice.courses[i];
        t += std::string(advice.chosen == i ? "<tr class=\"chosen\">" : "<tr>") + "<td>" +
             htmlEscaped(c.ExamCode) + "</td>";
        if (c.taken()) {
            t += "<td class=\"num\">" + std::to_string(c.examsTaken) + "回</td><td class=\"num\">" +
                 percent(c.AverageRate) + "</td><td class=\"num\">" + percent(c.BestRate) + "</td>";
        } else {
            t += "<td colspan=\"3\">未受験</td>";
        }
        t += "</tr>\n";
    }
    return t + "</table>";
}

void chosenCourseAdvice(Page& page, const DiagnosisRequest& request,
                        const DiagnosisAdvice& advice) {
    if (!request.chosen) {
        page.paragraph(
            "診断するテストが選ばれていませんでした。すべてのテストの成績をもとにお答えします。",
            "note");
        return;
    }
    page.heading("「" + courseLabel(*request.chosen) + "」の苦手なカテゴリー");
    if (!advice.chosen) {
        page.paragraph("このテストの学習履歴は送られていませんでした。", "note");
        return;
    }
    if (advice.weakest.empty()) {
        page.paragraph("まだ正答率の記録されたカテゴリーがありません。", "note");
    } else {
        std::string t =
            "<table "
            "class=\"info\">\n<tr><th>カテゴリー</th><th>最近5回の平均</th><th>最高</th></tr>\n";
        for (const CategoryStanding& c : advice.weakest) {
            t += "<tr><td>" + htmlEscaped(c.name) + "</td><td class=\"num\">" +
                 percent(c.CategoryAverage) + "</td><td class=\"num\">" + percent(c.CategoryBest) +
                 "</td></tr>\n";
        }
        page.raw(t + "</table>");
    }
    if (!advice.unscored.empty()) {
        std::string names;
        for (const std::string& n : advice.unscored) {
            names += (names.empty() ? "" : "、") + n;
        }
        page.paragraph("まだ正解のないカテゴリー: " + names);
    }
}

}  // namespace

std::string supportReceiptPage(std::int64_t receipt, const SupportQuestion& q) {
    Page page("ご質問を受け付けました");
    page.receipt(receipt)
        .paragraph(
            "ご質問ありがとうございます。回答は、ご登録のE-mailアドレスへお送りします。"
            "お問い合わせの際は受付番号をお知らせください。")
        .heading("受け付けた内容")
        .info({{"氏名", q.sender.name},
               {"E-mail", q.sender.mail},
               {"テスト", courseLabel(q.course)},
               {"問題番号", std::to_string(q.quesNum)}})
        .heading("ご質問")
        .block(q.question);
    return page.finish();
}

std::string diagnosisReceiptPage(std::int64_t receipt, const DiagnosisRequest& request,
                                 const DiagnosisAdvice& advice) {
    Page page("診断のお申し込みを受け付けました");
    page.receipt(receipt).paragraph(
        "お申し込みありがとうございます。講師が学習の様子を確かめ、ご登録のE-mailアドレスへ"
        "アドバイスをお送りします。まずは送られた学習履歴からの診断です。");
    page.heading("テストごとの成績");
    if (advice.courses.empty()) {
        page.paragraph("学習履歴は送られていませんでした。", "note");
    } else {
        page.raw(courseTable(advice));
    }
    chosenCourseAdvice(page, request, advice);
    page.heading("次に取り組むテスト");
    if (advice.trainNext) {
        const CourseStanding& next = advice.courses[*advice.trainNext];
        page.raw("<p class=\"next\">" + htmlEscaped(next.ExamCode) + "</p>")
            .paragraph("受験したテストのうち、平均正答率がいちばん低いテストです(" +
                       percent(next.AverageRate) + ")。");
    } else {
        page.paragraph("まだ受験したテストがありません。まず模擬試験を受けてみましょう。");
    }
    std::string untaken;
    for (const CourseStanding& c : advice.courses) {
        if (!c.taken()) {
            untaken += (untaken.empty() ? "" : "、") + c.ExamCode;
        }
    }
    if (!untaken.empty()) {
        page.paragraph("まだ受験していないテスト: " + untaken);
    }
    if (!request.message.empty()) {
        page.heading("講師へのメッセージ").block(request.message);
    }
    return page.finish();
}

std::string faqPage(const CourseName& course, int quesNum, std::string_view questionText,
                    const std::vector<FaqEntry>& entries) {
    Page page("よくある質問");
    page.info({{"テスト", courseLabel(course)}, {"問題番号", std::to_string(quesNum)}});
    if (!questionText.empty()) {
        page.heading("問題").block(questionText);
    }
    page.heading("この問題へのご質問と回答");
    if (entries.empty()) {
        page.raw(
            "<p class=\"empty\">この問題へのご質問はまだありません。"
            "わからない点は、解説画面の質問ボタンからお寄せください。</p>");
    }
    for (const FaqEntry& e : entries) {
        page.raw("<div class=\"entry\">").raw(dated("質問", e.askedAt)).block(e.question);
        for (const FaqAnswer& a : e.answers) {
            page.raw("<div class=\"answer\">")
                .raw(dated("回答", a.answeredAt))
                .block(a.text)
                .raw("</div>");
        }
        page.raw("</div>");
    }
    return page.finish();
}

std::string newsPage(const std::vector<NewsNotice>& notices) {
    Page page("お知らせ");
    if (notices.empty()) {
        page.raw("<p class=\"empty\">現在、お知らせはありません。</p>");
    }
    for (const NewsNotice& n : notices) {
        page.raw("<div class=\"entry\">")
            .heading(n.title)
            .raw(n.postedAt.empty() ? std::string()
                                    : "<p class=\"date\">" + htmlEscaped(n.postedAt) + "</p>")
            .block(n.text)
            .raw("</div>");
    }
    return page.finish();
}

std::string errorPage(int status, std::string_view message) {
    const char* title = status == 404   ? "ページが見つかりません"
                        : status == 400 ? "送信内容を受け付けられませんでした"
                                        : "処理できませんでした";
    Page page(title);
    page.paragraph(message).paragraph("ブラウザの「戻る」で前のページへお戻りください。", "note");
    return page.finish();
}

}  // namespace tovalo::server::protocol
