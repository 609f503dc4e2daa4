#include "server/protocol/form_wire.h"

#include <gtest/gtest.h>

#include "core/results/advisor.h"
#include "core/text/cp932.h"

namespace tovalo::server::protocol {
namespace {

// A form as a browser posts it from one of our Shift_JIS pages: every
// character the charset cannot hold as a character reference, every byte
// but the unreserved ones as "%XX", blanks as "+".
std::string posted(const FormFields& fields) {
    const auto encode = [](std::string_view utf8) {
        std::string out;
        for (const char c : text::utf8ToCp932(std::string(utf8), text::Unmappable::HtmlReference)) {
            const auto b = static_cast<unsigned char>(c);
            if (std::isalnum(b) != 0 ||
                std::string_view("-._*").find(c) != std::string_view::npos) {
                out += c;
            } else if (c == ' ') {
                out += '+';
            } else {
                static constexpr char kHex[] = "0123456789ABCDEF";
                out += {'%', kHex[b >> 4], kHex[b & 15]};
            }
        }
        return out;
    };
    std::string body;
    for (const FormField& f : fields) {
        body += (body.empty() ? "" : "&") + encode(f.name) + "=" + encode(f.value);
    }
    return body;
}

TEST(FormWire, BodiesDecodeToTheirFields) {
    const std::string sjis = "application/x-www-form-urlencoded; charset=\"Shift_JIS\"";
    const struct {
        std::string body;
        std::string contentType;
        FormFields fields;
    } cases[] = {
        {"name=%8ER%93c+%91%BE%98Y", "", {{"name", "山田 太郎"}}},
        {"a=1+%2B+2&b&=c", "", {{"a", "1 + 2"}, {"b", ""}, {"", "c"}}},
        {"&&a=%E5%B1%B1&", "", {{"a", "山"}}},
        // Either code of a character CP932 holds twice is taken.
        {"q=%81%40%ED%40", "", {{"q", "　纊"}}},
        // References for what Shift_JIS lacks; malformed ones, a surrogate
        // and NUL stay as typed.
        {"q=%82%A0%26%239829%3B%26%23x1F600%3B%26%23abc%3B%26%2355296%3B%26%230%3B%26%23",
         "",
         {{"q", "あ♥😀&#abc;&#55296;&#0;&#"}}},
        {"NX%26%239829%3B=%82%A0", sjis, {{"NX♥", "あ"}}},
        // In UTF-8 nothing needed a reference, so "&#" is the learner's own.
        {"q=%E3%81%82%26%239829%3B", "", {{"q", "あ&#9829;"}}},
        // Only the line breaks around a value go.
        {"q=%0D%0A+x%0D%0Ay+%0D%0A%0D%0A&r=%0A%0A", "", {{"q", " x\r\ny "}, {"r", ""}}},
        // The header's charset wins over the field, the field over a guess.
        {"_charset_=UTF-8&q=%C3%A9", sjis, {{"_charset_", "UTF-8"}, {"q", "ﾃｩ"}}},
        {"_charset_=shift_jis&q=%C3%A9", "", {{"_charset_", "shift_jis"}, {"q", "ﾃｩ"}}},
        {"q=%C3%A9", "", {{"q", "é"}}},
        {"q=%C3%A9", "Application/X-WWW-Form-Urlencoded;Charset=UTF-8", {{"q", "é"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const Result<FormFields> got = decodeForm(c.body, c.contentType);
        ASSERT_TRUE(got.ok()) << got.error().message;
        EXPECT_EQ(*got, c.fields);
    }
}

std::string repeated(std::string_view piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) {
        s += piece;
    }
    return s;
}

TEST(FormWire, HostileBodiesAreRefusedWithAReason) {
    const struct {
        std::string body;
        std::string contentType;
        std::string says;
    } cases[] = {
        {repeated("a=1&", kMaxFormFields + 1), "", "多すぎ"},
        {repeated("a=1&", 10000), "", "多すぎ"},
        {"a=" + std::string(kMaxFormBodyBytes - 1, 'x'), "", "大きすぎ"},
        {"a=%G1", "", "16進数"},
        {"a=%4", "", "16進数"},
        {"a%=1", "", "16進数"},
        {"%00=1", "", "NUL"},
        {"a%00b=1", "", "NUL"},
        {"a=%00", "", "NUL"},
        {std::string(kMaxFormNameBytes + 1, 'n') + "=1", "", "長すぎ"},
        {"a=%85%40", "", "Shift_JIS"},
        {"a=%82", "", "Shift_JIS"},
        {"a=%FF", "", "Shift_JIS"},
        {"a=%82%A0", "application/x-www-form-urlencoded; charset=utf-8", "UTF-8"},
        {"a=1", "application/x-www-form-urlencoded; charset=euc-jp", "euc-jp"},
        {"_charset_=ISO-2022-JP&a=1", "", "ISO-2022-JP"},
        {"a=1", "multipart/form-data; boundary=x", "multipart/form-data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 60) + " " + c.contentType);
        const Result<FormFields> got = decodeForm(c.body, c.contentType);
        ASSERT_FALSE(got.ok());
        EXPECT_NE(got.error().message.find(c.says), std::string::npos) << got.error().message;
    }
    // The limits themselves are allowed.
    for (const std::string& body :
         {repeated("a=1&", kMaxFormFields), std::string(kMaxFormNameBytes, 'n') + "=1",
          "a=" + std::string(kMaxFormBodyBytes - 2, 'x')}) {
        EXPECT_TRUE(decodeForm(body).ok()) << body.substr(0, 60);
    }
}

// The values as the templates lay them out: each marker line's value
// between the line breaks around it.
std::string onItsLine(std::string_view value) {
    return "\r\n" + std::string(value) + "\r\n";
}

AdvisorCourse historyOf(std::string code, int average, std::vector<std::string> categories) {
    AdvisorCourse c;
    c.ExamCode = std::move(code);
    c.history.AverageRate = average;
    c.history.BestRate = average + 5;
    c.history.exams[0] = {12, 7, 3, 9, 5, average, 2, 40};
    c.CategoryName = std::move(categories);
    c.history.categories[0] = {{average, 0, 0, 0, 0}, average, average};
    return c;
}

TEST(FormWire, BothPagesAreReadAsTheirForms) {
    const Result<FormFields> support = decodeForm(posted({
        {"serial", onItsLine("TV-0001")},
        {"name", onItsLine("山田 <太郎>")},
        {"org", onItsLine("R&D")},
        {"mail", onItsLine("taro@example.jp")},
        {"test", onItsLine("NX-101 : ネットワーク基礎")},
        {"qdfdate", onItsLine("2026/12/01")},
        {"quesnum", onItsLine("12")},
        {"ques", "問題文 ♥\r\n"},
        {"answ", "A : x\r\n正解 :A\r\n解答 : A \r\n"},
        {"question", "ここが\r\nわかりません"},
    }));
    ASSERT_TRUE(support.ok()) << support.error().message;
    const Result<PostedForm> q = classifyForm(*support);
    ASSERT_TRUE(q.ok()) << q.error().message;
    const auto* sq = std::get_if<SupportQuestion>(&*q);
    ASSERT_NE(sq, nullptr);
    EXPECT_EQ(
        std::tie(sq->sender.serial, sq->sender.name, sq->sender.org, sq->sender.mail, sq->qdfDate),
        std::make_tuple("TV-0001", "山田 <太郎>", "R&D", "taro@example.jp", "2026/12/01"));
    EXPECT_EQ(std::tie(sq->course.code, sq->course.title, sq->quesNum),
              std::make_tuple("NX-101", "ネットワーク基礎", 12));
    EXPECT_EQ(sq->questionText, "問題文 ♥");
    EXPECT_EQ(sq->answerBlock, "A : x\r\n正解 :A\r\n解答 : A ");
    EXPECT_EQ(sq->question, "ここが\r\nわかりません");

    const AdvisorCourse first = historyOf("NX-1", 40, {"基礎"});
    const AdvisorCourse second = historyOf("NX-2", 75, {"応用", "設計"});
    for (const auto& [choice, chosen] : std::vector<std::pair<std::string, std::string>>{
             {"NX-2 : 応用 ネットワーク", "NX-2"}, {std::string(kNoCourseChosen), ""}}) {
        SCOPED_TRACE(choice);
        const Result<FormFields> diagnosis = decodeForm(posted({
            {"SERIAL", onItsLine("TV-0001")},
            {"NAME", onItsLine("山田 太郎")},
            {"ORG", onItsLine("")},
            {"MAIL", onItsLine("taro@example.jp")},
            {"TEST", onItsLine(choice)},
            {"NX-1", advisorHistoryText(first)},
            {"NX-2", advisorHistoryText(second)},
            {"MESSAGE", "よろしく"},
        }));
        ASSERT_TRUE(diagnosis.ok()) << diagnosis.error().message;
        const Result<PostedForm> d = classifyForm(*diagnosis);
        ASSERT_TRUE(d.ok()) << d.error().message;
        const auto* dr = std::get_if<DiagnosisRequest>(&*d);
        ASSERT_NE(dr, nullptr);
        EXPECT_EQ(dr->chosen ? dr->chosen->code : "", chosen);
        if (dr->chosen) {
            EXPECT_EQ(dr->chosen->title, "応用 ネットワーク");
        }
        EXPECT_EQ(std::tie(dr->sender.serial, dr->sender.name, dr->sender.org, dr->message),
                  std::make_tuple("TV-0001", "山田 太郎", "", "よろしく"));
        ASSERT_EQ(dr->courses.size(), 2u);
        EXPECT_EQ(dr->courses[1].ExamCode, "NX-2");
        EXPECT_EQ(dr->courses[1].history.AverageRate, 75);
        ASSERT_EQ(dr->courses[1].history.categories.size(), 2u);
        EXPECT_EQ(dr->courses[1].history.categories[1].name, "設計");
    }
}

TEST(FormWire, WhatIsNeitherFormIsRefused) {
    const FormFields support = {{"test", "NX-1 : 基礎"}, {"quesnum", "3"}, {"question", "なぜ?"}};
    const auto with = [](FormFields fields, std::string name, std::string value) {
        for (FormField& f : fields) {
            if (f.name == name) {
                f.value = value;
                return fields;
            }
        }
        fields.push_back({std::move(name), std::move(value)});
        return fields;
    };
    ASSERT_TRUE(classifyForm(support).ok());
    const struct {
        FormFields fields;
        std::string says;
    } cases[] = {
        {{}, "送信内容でも"},
        {{{"Test", "NX-1"}, {"Question", "?"}}, "送信内容でも"},
        {with(support, "question", " 　\r\n"), "ご質問が入力されていません"},
        {with(support, "quesnum", "0"), "問題番号"},
        {with(support, "quesnum", "12a"), "問題番号"},
        {with(support, "quesnum", ""), "問題番号"},
        {with(support, "test", " : 基礎"), "テスト名"},
        {{{"quesnum", "3"}, {"question", "?"}}, "テスト名"},
        {{{"TEST", "NX-1 : 基礎"}, {"NX-1", "壊れた履歴"}}, "テスト「NX-1」の学習履歴"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const Result<PostedForm> got = classifyForm(c.fields);
        ASSERT_FALSE(got.ok());
        EXPECT_NE(got.error().message.find(c.says), std::string::npos) << got.error().message;
    }
}

}  // namespace
}  // namespace tovalo::server::protocol
