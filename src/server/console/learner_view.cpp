#include "server/console/learner_view.h"

#include "core/results/diagnosis_advice.h"
#include "core/results/history_chart.h"
#include "core/results/verdict.h"
#include "server/console/page.h"
#include "server/protocol/pages.h"
#include "server/protocol/sync_wire.h"

namespace tovalo::server::console {

namespace {

std::string num(int n) {
    return std::to_string(n);
}

std::string points(const ChartLine& line) {
    std::string out;
    for (const ChartPoint& p : line) {
        out += (out.empty() ? "" : " ") + num(p.x) + "," + num(p.y);
    }
    return out;
}

std::string dots(const ChartLine& line, const char* colour) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const ChartPoint& p = line[i];
        const bool last = i + 1 == line.size();
        out += "<circle cx=\"" + num(p.x) + "\" cy=\"" + num(p.y) + "\" r=\"" +
               num(last ? kChartRingRadius : kChartDotRadius) + "\" " +
               (last ? std::string("fill=\"#fff\" stroke=\"") + colour + "\" stroke-width=\"2\""
                     : std::string("fill=\"") + colour + "\"") +
               "/>";
    }
    return out;
}

std::string svgText(const ChartLabel& label, const char* anchor) {
    return "<text x=\"" + num(label.at.x) + "\" y=\"" + num(label.at.y) +
           "\" dominant-baseline=\"hanging\" text-anchor=\"" + anchor + "\">" + esc(label.text) +
           "</text>";
}

bool hasExam(const HistoryFile& h) {
    return !h.exams[0].empty();
}

std::string examDate(const ExamRecord& e) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d %02d:%02d", e.Month, e.Day, e.Hour, e.Minute);
    return text;
}

std::string rateCell(int rate) {
    return rate == kNotInExam ? "－" : num(rate) + "%";
}

struct Course {
    std::string code;
    const service::PublishedCourse* published = nullptr;
    HistoryFile history;
    std::vector<std::string> categoryNames;
};

std::vector<std::string> categoryNames(const HistoryFile& h, const service::PublishedCourse* c) {
    if (c != nullptr) {
        return c->categories;
    }
    // An unpublished course: the categories its history has figures for.
    std::vector<std::string> names;
    for (int k = kHistoryCategories; k >= 1; --k) {
        const CategoryRecord& r = h.categories[static_cast<std::size_t>(k - 1)];
        if (r.CategoryAverage != 0 || r.CategoryBest != 0 || names.size() > 0) {
            names.insert(names.begin(), "カテゴリー " + num(k));
        }
    }
    return names;
}

DiagnosedCourse diagnosed(const Course& c) {
    DiagnosedCourse d;
    d.ExamCode = c.code;
    d.history.exams = c.history.exams;
    d.history.BestRate = c.history.BestRate;
    d.history.AverageRate = c.history.AverageRate;
    for (std::size_t k = 0; k < c.categoryNames.size() && k < kHistoryCategories; ++k) {
        d.history.categories.push_back({c.categoryNames[k], c.history.categories[k]});
    }
    return d;
}

std::string courseSection(const Course& c, std::size_t index) {
    const HistoryFile& h = c.history;
    const std::string id = "course-" + num(static_cast<int>(index));
    std::string title = c.code;
    if (c.published != nullptr && !c.published->title.empty()) {
        title += " : " + c.published->title;
    }
    std::string out = "<section class=\"card\" aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id +
                      "\">" + esc(title) + "</h2>\n";
    if (!hasExam(h)) {
        return out + "<p class=\"muted\">まだ受験の記録がありません。</p>\n</section>\n";
    }
    const char* letters = "ABCDE";
    const int last = h.exams[0].Rate;
    out += "<div class=\"figures\">\n<div><span class=\"verdict\" aria-hidden=\"true\">" +
           std::string(1, letters[verdictIndex(last)]) + "</span></div>\n<div>判定 <strong>" +
           std::string(1, letters[verdictIndex(last)]) + "</strong><br>最新の正答率 " + num(last) +
           "%</div>\n<div>平均正答率 " + num(h.AverageRate) + "%<br>最高正答率 " + num(h.BestRate) +
           "%</div>\n</div>\n";

    const std::optional<int> limit =
        c.published != nullptr ? c.published->timeLimitMinutes : std::nullopt;
    out += "<h3>直近10回の成績</h3>\n" + historyChartSvg(h, limit, id + "-chart") + "\n";
    out +=
        "<details><summary>成績を表で見る</summary>\n<div class=\"scroll\"><table>\n"
        "<caption>直近10回の試験 (新しい順)</caption>\n<tr><th scope=\"col\">日時</th>"
        "<th scope=\"col\" class=\"num\">正答率</th><th scope=\"col\" class=\"num\">所要時間"
        "</th><th scope=\"col\" class=\"num\">問題数</th></tr>\n";
    for (const ExamRecord& e : h.exams) {
        if (!e.empty()) {
            out += "<tr><td>" + examDate(e) + "</td><td class=\"num\">" + num(e.Rate) +
                   "%</td><td class=\"num\">" + num(e.Minutes) + " 分</td><td class=\"num\">" +
                   num(e.QuestionCount) + "</td></tr>\n";
        }
    }
    out += "</table></div></details>\n";

    out +=
        "<h3>カテゴリー別の正答率</h3>\n<div class=\"scroll\"><table>\n<tr><th scope=\"col\">"
        "カテゴリー</th><th scope=\"col\">最近5回 (新しい順)</th><th scope=\"col\" "
        "class=\"num\">平均</th><th scope=\"col\" class=\"num\">最高</th></tr>\n";
    for (std::size_t k = 0; k < c.categoryNames.size() && k < kHistoryCategories; ++k) {
        const CategoryRecord& r = h.categories[k];
        std::string recent;
        for (const int rate : r.RecentRates) {
            recent += (recent.empty() ? "" : " / ") + rateCell(rate);
        }
        out += "<tr><th scope=\"row\">" + esc(c.categoryNames[k]) + "</th><td>" + recent +
               "</td><td class=\"num\">" + num(r.CategoryAverage) + "%</td><td class=\"num\">" +
               num(r.CategoryBest) + "%</td></tr>\n";
    }
    return out + "</table></div>\n</section>\n";
}

}  // namespace

std::string historyChartSvg(const HistoryFile& history, std::optional<int> timeLimitMinutes,
                            const std::string& id) {
    // The result screen draws nine stored exams and the one just graded;
    // the newest stored exam takes that place here.
    HistoryFile older = history;
    for (std::size_t i = 0; i + 1 < older.exams.size(); ++i) {
        older.exams[i] = history.exams[i + 1];
    }
    older.exams.back() = {};
    const ExamRecord& newest = history.exams[0];
    const ChartExam exam{newest.Rate, newest.Minutes,
                         ExamDate{0, newest.Month, newest.Day, newest.Hour, newest.Minute}};
    const HistoryChart chart = historyChart(older, exam, timeLimitMinutes.value_or(0));

    // Room left of the frame for "100%" and right of it for the time scale.
    std::string svg = "<svg class=\"chart\" viewBox=\"-14 0 " + num(kChartRight + 48) +
                      " 142\" role=\"img\" aria-labelledby=\"" + id + "-title " + id +
                      "-desc\" font-size=\"10\" font-family=\"sans-serif\">\n<title id=\"" + id +
                      "-title\">" + esc(kHistoryChartName) + "</title>\n<desc id=\"" + id +
                      "-desc\">赤い線が正答率" +
                      (chart.time ? "、青い破線が所要時間" : std::string()) +
                      "。右端が最新の試験で、正答率は " + num(newest.Rate) + "%。</desc>\n";
    svg += "<rect x=\"" + num(kChartLeft) + "\" y=\"" + num(kChartTop) + "\" width=\"" +
           num(kChartRight - kChartLeft) + "\" height=\"" + num(kChartBottom - kChartTop) +
           "\" fill=\"#fff\" stroke=\"#4a5568\"/>\n";
    for (const int y : kChartGuides) {
        svg += "<line x1=\"" + num(kChartLeft) + "\" y1=\"" + num(y) + "\" x2=\"" +
               num(kChartRight) + "\" y2=\"" + num(y) +
               "\" stroke=\"#c9d3e3\" stroke-dasharray=\"3 3\"/>\n";
    }
    if (chart.time) {
        svg += "<polyline points=\"" + points(*chart.time) +
               "\" fill=\"none\" stroke=\"#1a4fa0\" stroke-width=\"1.5\" "
               "stroke-dasharray=\"5 3\"/>\n" +
               dots(*chart.time, "#1a4fa0") + "\n";
    }
    svg += "<polyline points=\"" + points(chart.rate) +
           "\" fill=\"none\" stroke=\"#b3261e\" stroke-width=\"2\"/>\n" +
           dots(chart.rate, "#b3261e") + "\n";
    for (const ChartLabel& label : chart.labels) {
        svg += svgText(label, "start");
    }
    const ChartScale rate = chart.rateScale(kScaleLeftBottom, kScaleLeftTop);
    svg += "\n" + svgText(rate.bottom, "end") + svgText(rate.top, "end");
    if (chart.time) {
        const ChartScale time = chart.timeScale(kScaleRightBottom, kScaleRightTop);
        svg += svgText({time.bottom.text, {kChartRight + 2, time.bottom.at.y}}, "start") +
               svgText({time.top.text, {kChartRight + 2, time.top.at.y}}, "start");
    }
    return svg + "\n</svg>";
}

std::string learnerMain(const store::Learner& learner,
                        const std::vector<store::HistoryVersion>& histories,
                        const service::PublishedCatalog& catalog) {
    std::vector<Course> courses;
    for (const store::HistoryVersion& v : histories) {
        const std::optional<HistoryFile> h = protocol::historyOfRecord(v.upload.record);
        if (!h) {
            continue;
        }
        Course c;
        c.code = v.upload.testId;
        const auto found = catalog.byCode.find(c.code);
        c.published = found == catalog.byCode.end() ? nullptr : &found->second;
        c.history = *h;
        c.categoryNames = categoryNames(c.history, c.published);
        courses.push_back(std::move(c));
    }
    std::string out =
        "<section class=\"card\" aria-label=\"学習者の情報\">\n<dl class=\"fields\">"
        "<dt>名前</dt><dd>" +
        esc(learner.name) + "</dd><dt>メール</dt><dd>" + esc(learner.email) +
        "</dd><dt>登録日</dt><dd>" + esc(protocol::localDate(learner.createdAt)) +
        "</dd><dt>状態</dt><dd>" + (learner.disabled ? "停止中" : "有効") +
        "</dd><dt>同期したコース</dt><dd>" + num(static_cast<int>(histories.size())) +
        "</dd></dl>\n</section>\n";

    std::vector<DiagnosedCourse> all;
    for (const Course& c : courses) {
        all.push_back(diagnosed(c));
    }
    out +=
        "<section class=\"card\" aria-labelledby=\"weakest\">\n<h2 id=\"weakest\">"
        "苦手なカテゴリー (全コース)</h2>\n";
    const std::vector<CourseCategoryStanding> weakest = weakestAcrossCourses(all);
    if (weakest.empty()) {
        out += "<p class=\"muted\">正答率の記録があるカテゴリーはまだありません。</p>\n";
    } else {
        out += "<ol>\n";
        for (const CourseCategoryStanding& w : weakest) {
            out += "<li>" + esc(w.category.name) + " <span class=\"muted\">(" + esc(w.ExamCode) +
                   ")</span> 最近5回の平均 " + num(w.category.CategoryAverage) + "%、最高 " +
                   num(w.category.CategoryBest) + "%</li>\n";
        }
        out += "</ol>\n";
    }
    out += "</section>\n";
    if (courses.empty()) {
        out += "<p class=\"muted\">同期された履歴はまだありません。</p>\n";
    }
    for (std::size_t i = 0; i < courses.size(); ++i) {
        out += courseSection(courses[i], i);
    }
    return out;
}

}  // namespace tovalo::server::console
