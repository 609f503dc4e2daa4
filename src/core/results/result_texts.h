#pragma once

#include <string>

#include "core/catalog/catalog.h"
#include "core/results/history_file.h"

namespace tovalo {

// The texts of the result screen's side column and caption.
struct ResultTexts {
    std::string caption;    // "CODE TITLE - 採点結果"
    std::string rate;       // "正答率 : 77%"
    std::string course;     // code CR LF title
    std::string count;      // "問題数 : 9問"
    std::string date;       // "2026/7/31 9:05" without leading zeros
    std::string timeTaken;  // "所要時間 : 12' 34"
    std::string chartTitle;
};

ResultTexts resultTexts(const CourseEntry& course, int questions, int examRate,
                        const ExamDate& date, int elapsedSeconds);

}  // namespace tovalo
