#include "core/results/advisor.h"

#include <algorithm>

#include "core/common/files.h"
#include "core/common/rounding.h"
#include "core/questions/numbers.h"
#include "core/questions/question_file.h"
#include "core/results/history_text.h"
#include "core/results/print_report.h"
#include "core/results/progress_bar.h"
#include "core/text/html_escape.h"
#include "core/text/trim.h"
#include "core/views/explanation_text.h"
#include "core/views/template_page.h"

namespace tovalo {

namespace {

// A history file written by hand or by another program can hold rates up
// to 255; a bar never runs past 100 %.
int percent(int rate) {
    return std::clamp(rate, 0, 100);
}

std::string courseName(const AdvisorCourse& c) {
    return c.ExamCode + " : " + c.ExamTitle;
}

}  // namespace

AdvisorLayout advisorLayout(int width, int height, int lowerStripHeight) {
    AdvisorLayout l;
    const int left = kResultSideWidth + 8;
    l.list = {left, kAdvisorListTop, std::max(width - left, 0),
              std::max(height - kAdvisorListHeightAllowance, 0)};
    // The names give way first, so that the bars and their best rates
    // always show whole, down to the 640 pixels of a 1280-pixel display at
    // 200 %.
    const int room =
        l.list.width - kAdvisorScrollBarWidth - kAdvisorNameGap - kAdvisorBarPictureWidth;
    l.nameWidth = std::clamp(room, kAdvisorNameMinWidth, kAdvisorNameColumnWidth);
    l.barsLeft = l.nameWidth + kAdvisorNameGap;
    l.scaleLabel = {left + l.barsLeft + kAdvisorBarWidth, kAdvisorListTop - 16};
    const int barTop = height - kAdvisorBarAreaHeight;
    l.legendTop = barTop - 22;
    l.buttonTop = barTop + (kAdvisorBarAreaHeight - kAdvisorButtonHeight) / 2;
    l.backLeft = width - 10 - kAdvisorBackWidth;
    l.requestLeft = l.backLeft - 8 - kAdvisorRequestWidth;
    l.printLeft = l.requestLeft - 8 - kAdvisorPrintWidth;
    l.listBack = {width - 10 - kAdvisorListBackWidth, kAdvisorTitleTop - 10};
    l.lowerStripTop = height - lowerStripHeight;
    return l;
}

AdvisorCourses readAdvisorCourses(const std::vector<CourseEntry>& catalog) {
    AdvisorCourses out;
    out.courses.reserve(catalog.size());
    for (const CourseEntry& entry : catalog) {
        AdvisorCourse c;
        c.ExamCode = entry.ExamCode;
        c.ExamTitle = entry.ExamTitle;
        c.QdfPath = entry.QdfPath;
        c.AdpPath = entry.AdpPath;
        c.PassMark = parseFileInteger(text::trim(entry.PassMark));
        if (Result<HistoryFile> h = readHistoryFile(entry.HisPath)) {
            c.history = std::move(h).value();
        } else {
            out.problems.push_back(h.error());
        }
        c.HasAdaptive = fileExists(entry.AdpPath);
        out.courses.push_back(std::move(c));
    }
    return out;
}

Result<std::vector<std::string>> readCategoryNames(const std::string& qdfPath) {
    Result<std::vector<CategorySlot>> table = readCategoryTable(qdfPath);
    if (!table) {
        return table.error();
    }
    std::vector<std::string> names;
    names.reserve(table->size());
    for (CategorySlot& slot : *table) {
        names.push_back(std::move(slot.CategoryName));
    }
    return names;
}

void readAllCategoryNames(AdvisorCourses& courses) {
    for (AdvisorCourse& c : courses.courses) {
        if (Result<std::vector<std::string>> names = readCategoryNames(c.QdfPath)) {
            c.CategoryName = std::move(names).value();
        } else {
            c.CategoryName.clear();
            courses.problems.push_back(names.error());
        }
    }
}

bool advisorShowsCrowns(std::string_view choiceLabelStyle) {
    return choiceLabelStyle == "a" || choiceLabelStyle == "ｱ";
}

AdvisorRow advisorRow(int row, const AdvisorCourse& course, bool crowns) {
    const int y = kAdvisorRowPitch * row;
    const int top = y - kAdvisorBarHeight;
    const int reached = 3 * percent(course.history.AverageRate);
    AdvisorRow r;
    r.reached = {0, top, reached, kAdvisorBarHeight};
    r.rest = {reached, top, kAdvisorBarWidth - reached, kAdvisorBarHeight};
    r.bestAt = {kAdvisorBarWidth, y - 13};
    r.bestText = "(" + std::to_string(course.history.BestRate) + "%)";
    if (crowns && course.PassMark) {
        // The crown's point stands just left of the pass mark, above the bar.
        r.crown = ScreenPoint{3 * *course.PassMark - 21, y - kAdvisorRowPitch};
    }
    r.nameAt = {kAdvisorMarkColumn, y - 13};
    r.nameText = courseName(course);
    if (course.HasAdaptive) {
        r.mark = ScreenPoint{0, y - 13};
    }
    return r;
}

int advisorListHeight(int count) {
    return kAdvisorRowPitch * (std::max(count, 0) + 1);
}

int advisorCourseAt(int y, int count) {
    const long long k = roundHalfEven(y - 8, kAdvisorRowPitch);
    return k >= 0 && k < count ? static_cast<int>(k) + 1 : 0;
}

int advisorSlideStep(int courseRow) {
    return courseRow + 2;
}

std::vector<AdvisorCategoryRow> advisorCategoryRows(const AdvisorCourse& course) {
    std::vector<AdvisorCategoryRow> rows;
    const int n = std::min(static_cast<int>(course.CategoryName.size()), kHistoryCategories);
    for (int b = 1; b <= n; ++b) {
        const CategoryRecord& cat = course.history.categories[b - 1];
        const int y = kAdvisorCategoryPitch * b;
        const int top = y - 16;
        const int height = 12;
        const int right = kAdvisorCategoryBarLeft + 2 * percent(cat.CategoryAverage);
        AdvisorCategoryRow r;
        r.nameAt = {0, top};
        r.name = course.CategoryName[b - 1];
        r.reached = {kAdvisorCategoryBarLeft, top, right - kAdvisorCategoryBarLeft, height};
        r.rest = {right, top, kAdvisorCategoryBarRight - right, height};
        r.bestAt = {kAdvisorCategoryBestLeft, top};
        r.bestText = "(" + std::to_string(cat.CategoryBest) + "%)";
        rows.push_back(std::move(r));
    }
    return rows;
}

int advisorCategoryShift(int width) {
    return std::clamp(kAdvisorCategoryPictureWidth - width, 0,
                      kAdvisorCategoryPictureWidth - kAdvisorCategoryNarrowest);
}

int advisorDetailHeight(int categoryCount) {
    return kAdvisorCategoryPitch * (std::max(categoryCount, 0) + 1);
}

std::string advisorHistoryText(const AdvisorCourse& course) {
    return historyText(course.history, course.CategoryName);
}

std::string advisorSummaryPage(std::string_view prototype, std::string_view userName,
                               const std::vector<AdvisorCourse>& courses) {
    std::string page;
    for (const std::string& line : textLines(prototype)) {
        page += line + "\r\n";
    }
    const auto add = [&page](const std::string& line) { page += line + "\r\n"; };
    add("<hr>");
    add("<h4>これまでの達成度");
    add("<small>(氏名：</small>" + text::htmlEscaped(userName) + ")</h4>");
    add("<hr>");
    for (const AdvisorCourse& c : courses) {
        const HistoryFile& h = c.history;
        add("<h4>" + courseName(c) + "</h4>");
        add("<table>");
        add("<tr valign=\"top\"><td><b><small>■総合成績</small></b></td>");
        add("<td><img src=\"print_scale.gif\"><BR></td></tr>");
        add("<tr valign=\"top\"><td></td>");
        add(progressBarRow(30, h.AverageRate));
        add("<tr><td></td>");
        add("<td><small>最高得点率は" + std::to_string(h.BestRate) +
            "%です</small><BR>　</td></tr>");
        const int n = std::min(static_cast<int>(c.CategoryName.size()), kHistoryCategories);
        for (int k = 1; k <= n; ++k) {
            const int v = h.categories[k - 1].CategoryAverage;
            if (v < 0 || v > 100) {
                continue;
            }
            add("<tr valign=\"top\"><td width=\"200\"><b><small>" + c.CategoryName[k - 1] +
                "</small></b></td>");
            add(progressBarRow(15, v));
        }
        add("</table>");
        add("<hr>");
    }
    add("</body>");
    add("</html>");
    return page;
}

std::string diagnosisRequestPage(std::string_view templateText, const DiagnosisValues& v,
                                 const std::vector<AdvisorCourse>& courses) {
    using text::htmlEscaped;
    // What each marker line becomes: `lead` is written before the line,
    // which then holds `last`.
    struct Expansion {
        std::string lead;
        std::string last;
    };
    const auto single = [](std::string value) { return Expansion{{}, std::move(value)}; };

    Expansion test;
    for (std::size_t i = 0; i < courses.size(); ++i) {
        test.lead += "</OPTION><OPTION>\r\n";
        if (i + 1 < courses.size()) {
            test.lead += courseName(courses[i]) + "\r\n";
        } else {
            test.last = courseName(courses[i]);
        }
    }
    Expansion file;
    for (const AdvisorCourse& c : courses) {
        // The history is an attribute value: its quotes must not end it.
        file.lead += "<input TYPE=\"HIDDEN\" NAME=\"" + htmlEscaped(text::trim(c.ExamCode)) +
                     "\" value=\"" + htmlEscaped(advisorHistoryText(c));
        file.last = "\">";
        if (&c != &courses.back()) {
            file.lead += file.last + "\r\n";
        }
    }

    const std::pair<std::string_view, Expansion> markers[] = {
        {"#SERIAL#", single(htmlEscaped(v.serial))},
        {"#CGI_URL#", single("<form ACTION=\"" + v.cgiUrl + "\" METHOD=\"post\">")},
        {"#NAME#", single(htmlEscaped(v.name))},
        {"#MAIL#", single(htmlEscaped(v.mail))},
        {"#ORGA#", single(htmlEscaped(v.org))},
        {"#TEST#", courses.empty() ? single({}) : test},
        {"#FILE#", courses.empty() ? single({}) : file},
    };
    std::string page;
    for (const std::string& line : textLines(templateText)) {
        // A line is replaced once, as on the support page: a value is never
        // read again as a marker, so no profile text can pull another value
        // (or every course's history) into the page.
        const std::string_view t = text::trim(line);
        const auto hit = std::find_if(std::begin(markers), std::end(markers),
                                      [t](const auto& m) { return m.first == t; });
        if (hit == std::end(markers)) {
            page += line;
        } else {
            page += hit->second.lead;
            page += hit->second.last;
        }
        page += "\r\n";
    }
    return page;
}

AdvisorPageFiles summaryPageFiles(const std::string& programDir) {
    return {programDir + "Print/" + kPrintTemplate, programDir + "Print/PrintSum.htm"};
}

AdvisorPageFiles diagnosisPageFiles(const std::string& programDir) {
    return {programDir + "FormProto", programDir + "Form.htm"};
}

Status writeAdvisorSummary(const AdvisorPageFiles& files, std::string_view userName,
                           const std::vector<AdvisorCourse>& courses) {
    return writeTemplatePage(files.templatePath, files.pagePath, [&](std::string_view prototype) {
        return advisorSummaryPage(prototype, userName, courses);
    });
}

Status writeDiagnosisRequest(const AdvisorPageFiles& files, const DiagnosisValues& values,
                             const std::vector<AdvisorCourse>& courses) {
    return writeTemplatePage(files.templatePath, files.pagePath, [&](std::string_view text) {
        return diagnosisRequestPage(text, values, courses);
    });
}

}  // namespace tovalo
