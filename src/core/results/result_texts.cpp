#include "core/results/result_texts.h"

#include "core/text/clock_text.h"

namespace tovalo {

ResultTexts resultTexts(const CourseEntry& course, int questions, int examRate,
                        const ExamDate& date, int elapsedSeconds) {
    ResultTexts t;
    t.caption = course.ExamCode + " " + course.ExamTitle + " - 採点結果";
    t.rate = "正答率 : " + std::to_string(examRate) + "%";
    t.course = course.ExamCode + "\r\n" + course.ExamTitle;
    t.count = "問題数 : " + std::to_string(questions) + "問";
    t.date = std::to_string(date.year) + "/" + std::to_string(date.month) + "/" +
             std::to_string(date.day) + " " + std::to_string(date.hour) + ":" +
             std::to_string(date.minute);
    t.timeTaken = "所要時間 : " + text::minutesSeconds(elapsedSeconds);
    t.chartTitle = "成績の推移（科目 : " + course.ExamTitle + "）";
    return t;
}

}  // namespace tovalo
