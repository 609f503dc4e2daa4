#include "core/results/diagnosis_advice.h"

#include <algorithm>
#include <tuple>

namespace tovalo {

namespace {

bool unscored(const CategoryRecord& c) {
    return c.CategoryBest == 0 && c.CategoryAverage == 0 &&
           std::all_of(c.RecentRates.begin(), c.RecentRates.end(), [](int r) { return r == 0; });
}

}  // namespace

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
    std::vector<CategoryStanding> scored;
    for (const HistoryTextCategory& c : courses[*advice.chosen].history.categories) {
        if (unscored(c.record)) {
            advice.unscored.push_back(c.name);
        } else {
            scored.push_back({c.name, c.record.CategoryAverage, c.record.CategoryBest});
        }
    }
    // Stable, so that of equal categories the one listed first comes first.
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
        return std::tuple(a.CategoryAverage, a.CategoryBest) <
               std::tuple(b.CategoryAverage, b.CategoryBest);
    });
    scored.resize(std::min(scored.size(), kWeakestCategories));
    advice.weakest = std::move(scored);
    return advice;
}

}  // namespace tovalo
