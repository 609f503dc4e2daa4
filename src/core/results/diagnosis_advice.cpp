#include "core/results/diagnosis_advice.h"

#include <algorithm>
#include <tuple>

namespace tovalo {

namespace {

bool unscored(const CategoryRecord& c) {
    return c.CategoryBest == 0 && c.CategoryAverage == 0 &&
           std::all_of(c.RecentRates.begin(), c.RecentRates.end(), [](int r) { return r == 0; });
}

bool weaker(const CategoryStanding& a, const CategoryStanding& b) {
    return std::tuple(a.CategoryAverage, a.CategoryBest) <
           std::tuple(b.CategoryAverage, b.CategoryBest);
}

}  // namespace

std::vector<CourseCategoryStanding> weakestAcrossCourses(
    const std::vector<DiagnosedCourse>& courses, std::size_t count) {
    std::vector<CourseCategoryStanding> scored;
    for (const DiagnosedCourse& course : courses) {
        for (const HistoryTextCategory& c : course.history.categories) {
            if (!unscored(c.record)) {
                scored.push_back(
                    {course.ExamCode, {c.name, c.record.CategoryAverage, c.record.CategoryBest}});
            }
        }
    }
    // Stable, so that of equal categories the one listed first comes first.
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return weaker(a.category, b.category); });
    scored.resize(std::min(scored.size(), count));
    return scored;
}

DiagnosisAdvice diagnosisAdvice(const std::vector<DiagnosedCourse>& courses,
                                std::string_view chosenCode) {
    DiagnosisAdvice advice;
    for (std::size_t i = 0; i < courses.size(); ++i) {
        const HistoryText& h = courses[i].history;
        CourseStanding s;
        s.ExamCode = courses[i].ExamCode;
        s.AverageRate = h.AverageRate;
        s.BestRate = h.BestRate;
        s.examsTaken = static_cast<int>(std::count_if(
            h.exams.begin(), h.exams.end(), [](const ExamRecord& e) { return !e.empty(); }));
        if (!chosenCode.empty() && !advice.chosen && s.ExamCode == chosenCode) {
            advice.chosen = i;
        }
        if (s.taken()) {
            const auto rank = [](const CourseStanding& c) {
                return std::tuple(c.AverageRate, c.BestRate);
            };
            if (!advice.trainNext || rank(s) < rank(advice.courses[*advice.trainNext])) {
                advice.trainNext = i;
            }
        }
        advice.courses.push_back(std::move(s));
    }
    if (!advice.chosen) {
        return advice;
    }
    const DiagnosedCourse& chosen = courses[*advice.chosen];
    for (const HistoryTextCategory& c : chosen.history.categories) {
        if (unscored(c.record)) {
            advice.unscored.push_back(c.name);
        }
    }
    for (CourseCategoryStanding& w : weakestAcrossCourses({chosen})) {
        advice.weakest.push_back(std::move(w.category));
    }
    return advice;
}

}  // namespace tovalo
