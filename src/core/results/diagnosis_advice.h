#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/results/history_text.h"

namespace tovalo {

// The advice a diagnosis request earns, from the histories it carried. It is
// data: the page that shows it words it.

// One course's history as a diagnosis request carries it.
struct DiagnosedCourse {
    std::string ExamCode;
    HistoryText history;
};

// A course as the advisor screen shows it: the mean and best rates the
// history keeps, and how many of its ten slots hold an exam.
struct CourseStanding {
    std::string ExamCode;
    int AverageRate = 0;
    int BestRate = 0;
    int examsTaken = 0;

    [[nodiscard]] bool taken() const { return examsTaken > 0; }
};

struct CategoryStanding {
    std::string name;
    int CategoryAverage = 0;
    int CategoryBest = 0;
};

// At most this many weakest categories are named.
inline constexpr std::size_t kWeakestCategories = 3;

struct DiagnosisAdvice {
    std::vector<CourseStanding> courses;  // in the order sent
    // The chosen course, by index into `courses`; none when the learner chose
    // none or its history was not sent.
    std::optional<std::size_t> chosen;
    // The chosen course's categories with the lowest mean of their last five
    // rates, weakest first.
    std::vector<CategoryStanding> weakest;
    // The chosen course's categories whose recent and best rates are all 0:
    // never asked or never answered right, which the history cannot tell
    // apart, so they are named apart from the weakest.
    std::vector<std::string> unscored;
    // The taken course with the lowest mean (the lower best breaking a tie);
    // none when no course was taken.
    std::optional<std::size_t> trainNext;
};

// `chosenCode` is the course the learner asked about ("" for none).
DiagnosisAdvice diagnosisAdvice(const std::vector<DiagnosedCourse>& courses,
                                std::string_view chosenCode);

struct CourseCategoryStanding {
    std::string ExamCode;
    CategoryStanding category;
};

// The categories with the lowest mean of their last five rates over every
// course, weakest first, by the same rule as one course's weakest; of equal
// ones the course sent first comes first. Unscored categories are left out.
std::vector<CourseCategoryStanding> weakestAcrossCourses(
    const std::vector<DiagnosedCourse>& courses, std::size_t count = kWeakestCategories);

}  // namespace tovalo
