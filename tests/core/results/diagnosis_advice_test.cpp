#include "core/results/diagnosis_advice.h"

#include <gtest/gtest.h>

#include "core/results/advisor.h"

using namespace tovalo;

namespace {

// Every field different, the widest numbers a history file holds, and
// category names that look like the line's own punctuation.
AdvisorCourse busyCourse() {
    AdvisorCourse c;
    c.ExamCode = "NX-1";
    for (int i = 0; i < kHistoryExams; ++i) {
        c.history.exams[i] = {i * 27, i + 1, 3 * i, 2 * i, 6 * i, 11 * i, i % 4, 7000 * i};
    }
    c.history.exams[9] = {};  // an empty slot
    c.history.exams[0].Minutes = 255;
    c.history.exams[1].QuestionCount = 65535;
    c.history.BestRate = 97;
    c.history.AverageRate = 61;
    c.CategoryName = {"基礎", "a:b", "50%, 60%, ", "", " 最高:1% 平均:2%"};
    for (int k = 0; k < 5; ++k) {
        c.history.categories[k] = {{k, 100, 255, 7 * k, 0}, 10 * k, 20 * k + 1};
    }
    return c;
}

void expectSameNumbers(const HistoryText& got, const AdvisorCourse& sent) {
    for (int i = 0; i < kHistoryExams; ++i) {
        const ExamRecord& a = got.exams[i];
        const ExamRecord& b = sent.history.exams[i];
        EXPECT_EQ(
            std::tie(a.Minutes, a.Month, a.Day, a.Hour, a.Minute, a.Rate, a.Mode, a.QuestionCount),
            std::tie(b.Minutes, b.Month, b.Day, b.Hour, b.Minute, b.Rate, b.Mode, b.QuestionCount))
            << "exam " << i;
    }
    EXPECT_EQ(got.BestRate, sent.history.BestRate);
    EXPECT_EQ(got.AverageRate, sent.history.AverageRate);
    ASSERT_EQ(got.categories.size(), sent.CategoryName.size());
    for (std::size_t c = 0; c < got.categories.size(); ++c) {
        const CategoryRecord& a = got.categories[c].record;
        const CategoryRecord& b = sent.history.categories[c];
        EXPECT_EQ(got.categories[c].name, sent.CategoryName[c]);
        EXPECT_EQ(a.RecentRates, b.RecentRates) << c;
        EXPECT_EQ(std::tie(a.CategoryAverage, a.CategoryBest),
                  std::tie(b.CategoryAverage, b.CategoryBest))
            << c;
    }
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos;
         at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

// What the request page writes is read back as the same numbers, also after
// a browser turned its CR LF into LF or the form dropped the last line end.
TEST(HistoryText, WhatTheRequestPageWritesReadsBackAsTheSameNumbers) {
    const AdvisorCourse sent = busyCourse();
    const std::string written = advisorHistoryText(sent);
    for (const std::string& text :
         {written, replaceAll(written, "\r\n", "\n"), written.substr(0, written.size() - 2)}) {
        const Result<HistoryText> got = parseHistoryText(text);
        ASSERT_TRUE(got.ok()) << got.error().message;
        expectSameNumbers(*got, sent);
    }
    AdvisorCourse none;
    const Result<HistoryText> empty = parseHistoryText(advisorHistoryText(none));
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->categories.empty());
}

TEST(HistoryText, DamagedTextsAreRefusedNamingTheLine) {
    const std::string good = advisorHistoryText(busyCourse());
    AdvisorCourse many;
    many.CategoryName.assign(kHistoryCategories, "c");
    const std::string full = advisorHistoryText(many);
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {"", "1行目"},
        {good.substr(good.find("\r\n") + 2), "1行目"},
        {replaceAll(good, "モード :0 ", "モード :x "), "行目"},
        {replaceAll(good, "正答率 :0%\r\n", "正答率 :0% \r\n"), "行目"},
        {replaceAll(good, "●最高正答率 :97%", "●最高正答率 :1234567%"), "12行目"},
        {good.substr(0, good.find("●")), "途中"},
        {replaceAll(good, "基礎:0%, ", "基礎:0% "), "14行目"},
        {replaceAll(good, "平均:2%:", "平均:2%"), "18行目"},
        {full + "c:0%, 0%, 0%, 0%, 0%,  最高:0% 平均:0%\r\n", "50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        const Result<HistoryText> got = parseHistoryText(c.text);
        ASSERT_FALSE(got.ok());
        EXPECT_NE(got.error().message.find(c.says), std::string::npos) << got.error().message;
    }
    EXPECT_TRUE(parseHistoryText(full).ok());
}

DiagnosedCourse diagnosed(std::string code, int average, int best, int exams,
                          std::vector<std::pair<std::string, CategoryRecord>> categories = {}) {
    DiagnosedCourse c;
    c.ExamCode = std::move(code);
    c.history.AverageRate = average;
    c.history.BestRate = best;
    for (int i = 0; i < exams; ++i) {
        c.history.exams[i] = {10, 4, 1 + i, 9, 0, average, 1, 20};
    }
    for (auto& [name, record] : categories) {
        c.history.categories.push_back({std::move(name), record});
    }
    return c;
}

TEST(DiagnosisAdvice, RatesWeakestCategoriesAndTheCourseToTrainNext) {
    const std::vector<DiagnosedCourse> courses = {
        diagnosed("NX-1", 60, 80, 3,
                  {{"基礎", {{70, 60, 0, 0, 0}, 65, 70}},
                   {"未出題", {}},
                   {"応用", {{20, 40, 0, 0, 0}, 30, 40}},
                   {"設計", {{30, 30, 0, 0, 0}, 30, 35}},
                   {"運用", {{0, 0, 0, 0, 0}, 0, 10}},
                   {"保守", {{90, 0, 0, 0, 0}, 90, 90}}}),
        diagnosed("NX-2", 40, 70, 2),
        diagnosed("NX-3", 0, 0, 0),
        diagnosed("NX-4", 40, 50, 1),
    };
    const DiagnosisAdvice a = diagnosisAdvice(courses, "NX-1");
    ASSERT_EQ(a.courses.size(), 4u);
    EXPECT_EQ(std::tie(a.courses[0].AverageRate, a.courses[0].BestRate, a.courses[0].examsTaken),
              std::make_tuple(60, 80, 3));
    EXPECT_FALSE(a.courses[2].taken());
    EXPECT_EQ(a.chosen, 0u);
    // The lowest mean among taken courses; of two equal means the lower best.
    EXPECT_EQ(a.trainNext, 3u);
    std::vector<std::string> weakest;
    for (const CategoryStanding& c : a.weakest) {
        weakest.push_back(c.name);
    }
    // A best of 10 with a mean of 0 is weak, not unscored; equal means go by the best.
    EXPECT_EQ(weakest, (std::vector<std::string>{"運用", "設計", "応用"}));
    EXPECT_EQ(a.unscored, (std::vector<std::string>{"未出題"}));

    for (std::string_view chosen : {"", "NX-9"}) {
        const DiagnosisAdvice none = diagnosisAdvice(courses, chosen);
        EXPECT_FALSE(none.chosen.has_value());
        EXPECT_TRUE(none.weakest.empty() && none.unscored.empty());
        EXPECT_EQ(none.trainNext, 3u);
    }
    EXPECT_FALSE(diagnosisAdvice({diagnosed("NX-3", 0, 0, 0)}, "NX-3").trainNext.has_value());
}

// Over several courses the same rule picks across all of them: unscored
// categories never count, and a tie keeps the course sent first.
TEST(DiagnosisAdvice, WeakestCategoriesAcrossCoursesFollowTheOneCourseRule) {
    const std::vector<DiagnosedCourse> courses = {
        diagnosed("NX-1", 60, 80, 3,
                  {{"基礎", {{70, 0, 0, 0, 0}, 65, 70}},
                   {"未出題", {}},
                   {"設計", {{30, 0, 0, 0, 0}, 30, 35}}}),
        diagnosed("NX-2", 40, 70, 2,
                  {{"網", {{30, 0, 0, 0, 0}, 30, 35}}, {"暗号", {{10, 0, 0, 0, 0}, 10, 90}}}),
        diagnosed("NX-3", 0, 0, 0, {{"空", {}}}),
    };
    const auto names = [](const std::vector<CourseCategoryStanding>& found) {
        std::vector<std::string> out;
        for (const CourseCategoryStanding& c : found) {
            out.push_back(c.ExamCode + " " + c.category.name);
        }
        return out;
    };
    EXPECT_EQ(names(weakestAcrossCourses(courses)),
              (std::vector<std::string>{"NX-2 暗号", "NX-1 設計", "NX-2 網"}));
    EXPECT_EQ(names(weakestAcrossCourses(courses, 10)),
              (std::vector<std::string>{"NX-2 暗号", "NX-1 設計", "NX-2 網", "NX-1 基礎"}));
    EXPECT_TRUE(weakestAcrossCourses({courses[2]}).empty());
}

}  // namespace
