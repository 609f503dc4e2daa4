#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/catalog.h"
#include "core/common/result.h"
#include "core/results/history_file.h"
#include "core/results/result_screen.h"
#include "core/styles/connect.h"  // ScreenPoint

namespace tovalo {

// The advisor screen: the history of every course of a vendor at a glance.
// Everything it draws is decided here, in pixels of its two pictures (the
// course list and the course detail), so that the screen only paints.

inline constexpr int kAdvisorMinWidth = 760;
inline constexpr int kAdvisorMinHeight = 562;

// The course list: one row of 24 pixels per course, the row's bottom line at
// y = 24 × row. Names on the left, bars on the right, 300 pixels for 100 %.
inline constexpr int kAdvisorRowPitch = 24;
inline constexpr int kAdvisorBarHeight = 16;
inline constexpr int kAdvisorBarWidth = 300;
inline constexpr int kAdvisorNameColumnWidth = 273;
inline constexpr int kAdvisorNameMinWidth = 100;
inline constexpr int kAdvisorNameGap = 10;
// Room right of the bar for the best rate, "(100%)".
inline constexpr int kAdvisorBarPictureWidth = kAdvisorBarWidth + 48;
// A click this far from the name column's left edge hits the adaptive mark.
inline constexpr int kAdvisorMarkColumn = 16;
inline constexpr int kAdvisorMarkWidth = 15;
inline constexpr int kAdvisorMarkHeight = 10;
inline constexpr int kAdvisorCrownWidth = 18;
inline constexpr int kAdvisorCrownHeight = 9;
// The list box leaves this much of the window's height to the header and
// the bottom bar.
inline constexpr int kAdvisorListHeightAllowance = 173;

// The course detail: one row of 20 pixels per category.
inline constexpr int kAdvisorCategoryPitch = 20;
inline constexpr int kAdvisorCategoryBarLeft = 310;
inline constexpr int kAdvisorCategoryBarRight = 510;
inline constexpr int kAdvisorCategoryBestLeft = 520;
inline constexpr int kAdvisorCategoryPictureWidth = 570;
// Up to this many categories fit without scrolling.
inline constexpr int kAdvisorCategoriesUnscrolled = 10;

// The opened course's title slides up to here before the detail appears.
inline constexpr int kAdvisorTitleTop = 50;
inline constexpr int kAdvisorSlideIntervalMs = 3;
// Wheel notches move the shown box this many scroll positions.
inline constexpr int kAdvisorWheelStep = 5;

inline constexpr const char* kAdvisorCaption = "アドバイザーの診断";
inline constexpr const char* kAdvisorAdaptiveLegend = "ボタンクリックでAdaptive 一覧表示";
inline constexpr const char* kAdvisorHelpLines[] = {"テスト名をクリック",
                                                    "すると、カテゴリー",
                                                    "ごとの詳細な情報が",
                                                    "見られます。",
                                                    "",
                                                    "カテゴリーごとのグ",
                                                    "ラフは、最近5回の",
                                                    "平均正答率を示しま",
                                                    "す。",
                                                    "",
                                                    "括弧内の数字はこれ",
                                                    "までの最高正答率を",
                                                    "表します。",
                                                    "",
                                                    "下のボタンをクリッ",
                                                    "クして、テストを選",
                                                    "択し送信すると、無",
                                                    "料でアドバイスを受",
                                                    "けることができます"};

// The bottom bar's buttons and the detail's back button, as wide as their
// pictures; all 40 pixels high.
inline constexpr int kAdvisorButtonHeight = 40;
inline constexpr int kAdvisorBackWidth = 150;      // Button2
inline constexpr int kAdvisorRequestWidth = 150;   // Button3
inline constexpr int kAdvisorPrintWidth = 130;     // Button4
inline constexpr int kAdvisorListBackWidth = 104;  // Button1
inline constexpr int kAdvisorBarAreaHeight = 56;
inline constexpr int kAdvisorListTop = 88;
// Room the list box keeps for its vertical scroll bar.
inline constexpr int kAdvisorScrollBarWidth = 14;

// Where the controls stand in a client area of `width` × `height`.
struct AdvisorLayout {
    ScreenRect list;         // the course list box, and the detail box in its place
    int nameWidth = 0;       // the name column, narrowed when the window is
    int barsLeft = 0;        // and the bars 10 pixels right of it, in the box
    ScreenPoint scaleLabel;  // "100%", centred over the bars' right end
    int legendTop = 0;       // the adaptive mark's legend, above the bar
    int buttonTop = 0;
    int backLeft = 0;      // Button2
    int requestLeft = 0;   // Button3
    int printLeft = 0;     // Button4
    ScreenPoint listBack;  // Button1, beside the opened course's title
    int lowerStripTop = 0;
};
AdvisorLayout advisorLayout(int width, int height, int lowerStripHeight);

// One course as the advisor sees it.
struct AdvisorCourse {
    std::string ExamCode;
    std::string ExamTitle;
    std::string QdfPath;
    std::string AdpPath;
    std::optional<int> PassMark;  // none when the header holds no number
    HistoryFile history;
    bool HasAdaptive = false;
    // Read only where they are shown (the detail, the two pages).
    std::vector<std::string> CategoryName;
};

struct AdvisorCourses {
    std::vector<AdvisorCourse> courses;  // catalog order
    // History files that exist but could not be read; those courses show
    // as having no exam, and the files are left as they are.
    std::vector<Error> problems;
};

// Reads the history file of every course and looks for its adaptive file,
// both where the catalog says they are, so that a course whose file name is
// not its code is found as well.
AdvisorCourses readAdvisorCourses(const std::vector<CourseEntry>& catalog);

// The category names of a course's question file, up to "*CE".
Result<std::vector<std::string>> readCategoryNames(const std::string& qdfPath);

// Fills every course's category names. A question file whose table cannot
// be read leaves its course without categories and adds its problem.
void readAllCategoryNames(AdvisorCourses& courses);

// Crowns mark the pass mark only for vendors that label choices "a" or "ｱ".
bool advisorShowsCrowns(std::string_view choiceLabelStyle);

// What one course row of the list draws.
struct AdvisorRow {
    ScreenRect reached;  // red, the mean rate
    ScreenRect rest;     // silver, up to 100 %
    ScreenPoint bestAt;
    std::string bestText;  // "(85%)"
    std::optional<ScreenPoint> crown;
    ScreenPoint nameAt;               // in the name column
    std::string nameText;             // "CODE : title"
    std::optional<ScreenPoint> mark;  // the adaptive mark, in the name column
};

// Row `row` (1-based) of the list.
AdvisorRow advisorRow(int row, const AdvisorCourse& course, bool crowns);

// The pictures' heights for `count` rows (one spare row below the last).
int advisorListHeight(int count);

// The course (1-based) a click at height `y` of the list opens, or 0.
// The row is rounded from the height, halves to even.
int advisorCourseAt(int y, int count);

// How far the opened course's title moves each tick: a lower row has
// further to go and goes faster.
int advisorSlideStep(int courseRow);

// What one category row of the detail draws.
struct AdvisorCategoryRow {
    ScreenPoint nameAt;
    std::string name;
    ScreenRect reached;  // yellow, the mean of the last five
    ScreenRect rest;     // silver, up to 100 %
    ScreenPoint bestAt;
    std::string bestText;
};

// The detail rows of a course, one per category name.
std::vector<AdvisorCategoryRow> advisorCategoryRows(const AdvisorCourse& course);
int advisorDetailHeight(int categoryCount);
// How far the bars and best rates of the detail rows move left, into the
// names' column, when the table is only `width` wide: a window narrower
// than the design keeps them whole and cuts the names short instead.
int advisorCategoryShift(int width);
// The narrowest the detail table gets; below it, it scrolls.
inline constexpr int kAdvisorCategoryNarrowest = kAdvisorCategoryPictureWidth - 180;

// The history text a diagnosis request carries for one course: its last
// ten exams, best and mean rates, and the recent rates of every category,
// lines ending in CR LF.
std::string advisorHistoryText(const AdvisorCourse& course);

// The summary report: `prototype` followed by every course's bars. The
// learner's name is escaped; every line ends CR LF.
std::string advisorSummaryPage(std::string_view prototype, std::string_view userName,
                               const std::vector<AdvisorCourse>& courses);

// The values of the diagnosis request page's markers.
struct DiagnosisValues {
    std::string serial, cgiUrl, name, mail, org;  // profile and CGI_URL
};

// The diagnosis request page from its template's text: a line that is,
// blanks aside, one of the markers becomes its value; every other line is
// copied. Every line ends CR LF. "#TEST#" lists the
// courses as options of the course choice, "#FILE#" gives every course's
// history text as a hidden field.
std::string diagnosisRequestPage(std::string_view templateText, const DiagnosisValues& values,
                                 const std::vector<AdvisorCourse>& courses);

// Where the two pages are made from and written to, below the program's
// folder (ending in "/").
struct AdvisorPageFiles {
    std::string templatePath;
    std::string pagePath;
};
AdvisorPageFiles summaryPageFiles(const std::string& programDir);
AdvisorPageFiles diagnosisPageFiles(const std::string& programDir);

// Write the pages as CP932. A missing template or an unwritable page fails
// naming the file, and nothing is written then.
Status writeAdvisorSummary(const AdvisorPageFiles& files, std::string_view userName,
                           const std::vector<AdvisorCourse>& courses);
Status writeDiagnosisRequest(const AdvisorPageFiles& files, const DiagnosisValues& values,
                             const std::vector<AdvisorCourse>& courses);

}  // namespace tovalo
