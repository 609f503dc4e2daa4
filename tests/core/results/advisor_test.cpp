#include <gtest/gtest.h>

#include <filesystem>

#include "common/temp_tree.h"
#include "core/questions/qdf_builder.h"
#include "core/questions/question_file.h"
#include "core/results/advisor.h"
#include "core/text/cp932.h"

using namespace tovalo;

namespace {

AdvisorCourse course(const std::string& code, int average, int best,
                     std::optional<int> passMark = std::nullopt) {
    AdvisorCourse c;
    c.ExamCode = code;
    c.ExamTitle = "タイトル" + code;
    c.history.AverageRate = average;
    c.history.BestRate = best;
    c.PassMark = passMark;
    return c;
}

// Lines of a page, without their CR LF.
std::vector<std::string> linesOf(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < page.size()) {
        const std::size_t end = page.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(page.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

int count(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

std::string qdfWithCategories(const std::string& code, const std::vector<std::string>& names) {
    QdfBuilder b;
    b.plain("QFileFormat-v1.4").plain("30/70").plain("45").plain(code).plain("題名");
    b.plain("1").plain("0").plain("0").plain("20261201").plain("1");
    for (const std::string& n : names) {
        b.category(n, {"小"});
    }
    b.plain("*CE");
    QdfBuilder::Record r;
    b.record(r);
    return b.stored();
}

}  // namespace

TEST(AdvisorList, BarsCrownsNamesAndMarks) {
    // Mean 70 and best 85: red for 210 pixels, silver on to 300, "(85%)" after.
    AdvisorCourse c = course("NX-1", 70, 85, 70);
    AdvisorRow r = advisorRow(1, c, true);
    EXPECT_EQ(r.reached, (ScreenRect{0, 8, 210, 16}));
    EXPECT_EQ(r.rest, (ScreenRect{210, 8, 90, 16}));
    EXPECT_EQ(r.bestText, "(85%)");
    EXPECT_EQ(r.bestAt, (ScreenPoint{300, 11}));
    ASSERT_TRUE(r.crown.has_value());
    EXPECT_EQ(*r.crown, (ScreenPoint{189, 0}));
    EXPECT_EQ(r.nameText, "NX-1 : タイトルNX-1");
    EXPECT_EQ(r.nameAt, (ScreenPoint{16, 11}));
    EXPECT_FALSE(r.mark.has_value());

    // The third row, with an adaptive file and no crowns for this vendor.
    c.HasAdaptive = true;
    r = advisorRow(3, c, false);
    EXPECT_EQ(r.reached.top, 56);
    EXPECT_FALSE(r.crown.has_value());
    ASSERT_TRUE(r.mark.has_value());
    EXPECT_EQ(*r.mark, (ScreenPoint{0, 59}));

    // A header without a number as pass mark gives no crown either.
    EXPECT_FALSE(advisorRow(1, course("X", 0, 0), true).crown.has_value());

    // A damaged file's rate never pushes the bar past the scale.
    r = advisorRow(1, course("X", 255, 255), false);
    EXPECT_EQ(r.reached.width, 300);
    EXPECT_EQ(r.rest.width, 0);
    r = advisorRow(1, course("X", 0, 0), false);
    EXPECT_EQ(r.reached.width, 0);
    EXPECT_EQ(r.rest, (ScreenRect{0, 8, 300, 16}));

    EXPECT_TRUE(advisorShowsCrowns("a"));
    EXPECT_TRUE(advisorShowsCrowns("ｱ"));
    EXPECT_FALSE(advisorShowsCrowns("A"));
    EXPECT_FALSE(advisorShowsCrowns(""));
}

TEST(AdvisorList, ClickedHeightPicksTheCourseRoundingHalvesToEven) {
    EXPECT_EQ(advisorCourseAt(8, 5), 1);
    EXPECT_EQ(advisorCourseAt(20, 5), 1);  // 0.5 rounds to 0
    EXPECT_EQ(advisorCourseAt(21, 5), 2);
    EXPECT_EQ(advisorCourseAt(43, 5), 2);
    EXPECT_EQ(advisorCourseAt(44, 5), 3);  // 1.5 rounds to 2
    EXPECT_EQ(advisorCourseAt(-4, 5), 1);  // -0.5 rounds to 0
    EXPECT_EQ(advisorCourseAt(-5, 5), 0);
    // Below the last course nothing opens.
    EXPECT_EQ(advisorCourseAt(8 + 24 * 4, 5), 5);
    EXPECT_EQ(advisorCourseAt(8 + 24 * 5, 5), 0);
    EXPECT_EQ(advisorCourseAt(10, 0), 0);

    EXPECT_EQ(advisorSlideStep(1), 3);
    EXPECT_EQ(advisorSlideStep(4), 6);
}

TEST(AdvisorDetail, CategoryRowsFollowTheNames) {
    AdvisorCourse c = course("NX-1", 0, 0);
    c.CategoryName = {"ネットワーク", "セキュリティ"};
    c.history.categories[0].CategoryAverage = 60;
    c.history.categories[0].CategoryBest = 90;
    c.history.categories[1].CategoryAverage = 100;
    c.history.categories[1].CategoryBest = 100;
    c.history.categories[2].CategoryAverage = 50;  // past the table: not shown
    const std::vector<AdvisorCategoryRow> rows = advisorCategoryRows(c);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "ネットワーク");
    EXPECT_EQ(rows[0].nameAt, (ScreenPoint{0, 4}));
    EXPECT_EQ(rows[0].reached, (ScreenRect{310, 4, 120, 12}));
    EXPECT_EQ(rows[0].rest, (ScreenRect{430, 4, 80, 12}));
    EXPECT_EQ(rows[0].bestAt, (ScreenPoint{520, 4}));
    EXPECT_EQ(rows[0].bestText, "(90%)");
    EXPECT_EQ(rows[1].reached, (ScreenRect{310, 24, 200, 12}));
    EXPECT_EQ(rows[1].rest.width, 0);

    // A table narrower than the design (the list of a 640-pixel window)
    // moves bars and best rates into the names' column so that they end
    // inside it; the names keep a column of their own.
    EXPECT_EQ(advisorCategoryShift(kAdvisorCategoryPictureWidth), 0);
    EXPECT_EQ(advisorCategoryShift(900), 0);
    const int narrow = advisorLayout(640, 450, 160).list.width - kAdvisorScrollBarWidth;
    const int shift = advisorCategoryShift(narrow);
    EXPECT_LE(rows[0].bestAt.x - shift + 40, narrow);
    EXPECT_GE(rows[0].reached.left - shift, 100);
    EXPECT_EQ(advisorCategoryShift(0), advisorCategoryShift(kAdvisorCategoryNarrowest));
}

TEST(AdvisorHistoryText, SlotsRatesAndCategories) {
    AdvisorCourse c = course("NX-1", 62, 75);
    ExamRecord& e = c.history.exams[0];
    e.Minutes = 14;
    e.Mode = 2;
    e.QuestionCount = 40;
    e.Month = 7;
    e.Day = 3;
    e.Hour = 9;
    e.Minute = 5;
    e.Rate = 75;
    c.history.exams[1] = {125, 12, 31, 23, 59, 50, 1, 200};
    c.CategoryName = {"基礎", "応用"};
    c.history.categories[0] = {{80, 70, 0, 0, 0}, 75, 80};
    const std::vector<std::string> lines = linesOf(advisorHistoryText(c));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "■過去10回の履歴");
    EXPECT_EQ(lines[1],
              "所要時間 :14分 モード :2 解いた問題数 :40問 テスト日時 :07月03日 09:05 正答率 :75%");
    EXPECT_EQ(lines[2],
              "所要時間 :125分 モード :1 解いた問題数 :200問 テスト日時 :12月31日 23:59 正答率 "
              ":50%");
    EXPECT_EQ(lines[10],
              "所要時間 :00分 モード :0 解いた問題数 :0問 テスト日時 :00月00日 00:00 正答率 :0%");
    EXPECT_EQ(lines[11], "●最高正答率 :75%●平均正答率 :62%");
    EXPECT_EQ(lines[12], "■カテゴリー毎の過去5回の履歴");
    EXPECT_EQ(lines[13], "基礎:80%, 70%, 0%, 0%, 0%,  最高:80% 平均:75%");
    EXPECT_EQ(lines[14], "応用:0%, 0%, 0%, 0%, 0%,  最高:0% 平均:0%");
}

TEST(DiagnosisRequestPage, OptionsAndHiddenFieldsForEveryCourse) {
    std::vector<AdvisorCourse> courses = {course("NX-1", 10, 20), course(" NX-2 ", 30, 40),
                                          course("NX-3", 50, 60)};
    courses[2].CategoryName = {"名前に\"引用\"と<山括弧>"};
    DiagnosisValues v;
    v.cgiUrl = "http://localhost:8080/cgi-bin/advice.cgi";
    const std::string page = diagnosisRequestPage(
        "<select>\r\n<OPTION>選択\r\n  #TEST#\t\r\n</OPTION>\r\n</select>\r\n"
        "#CGI_URL#\r\n#FILE#\r\n</form>\r\n",
        v, courses);
    const std::vector<std::string> lines = linesOf(page);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[2], "</OPTION><OPTION>");
    EXPECT_EQ(lines[3], "NX-1 : タイトルNX-1");
    EXPECT_EQ(lines[4], "</OPTION><OPTION>");
    EXPECT_EQ(lines[5], " NX-2  : タイトル NX-2 ");
    EXPECT_EQ(lines[6], "</OPTION><OPTION>");
    EXPECT_EQ(lines[7], "NX-3 : タイトルNX-3");
    EXPECT_EQ(lines[8], "</OPTION>");
    EXPECT_EQ(lines[10],
              "<form ACTION=\"http://localhost:8080/cgi-bin/advice.cgi\" METHOD=\"post\">");
    EXPECT_EQ(count(page, "</OPTION><OPTION>"), 3);
    EXPECT_EQ(count(page, "<input TYPE=\"HIDDEN\""), 3);
    EXPECT_EQ(lines[11], "<input TYPE=\"HIDDEN\" NAME=\"NX-1\" value=\"■過去10回の履歴");
    // The code is trimmed in the field's name.
    EXPECT_NE(page.find("NAME=\"NX-2\" value=\""), std::string::npos);
    // A quote in a category name stays inside the value.
    EXPECT_NE(page.find("名前に&quot;引用&quot;と&lt;山括弧&gt;:"), std::string::npos);
    // Each field closes on the line after its history, the last on the marker's line.
    EXPECT_EQ(count(page, "\r\n\">\r\n"), 3);
    EXPECT_EQ(lines.back(), "</form>");
    EXPECT_EQ(lines[lines.size() - 2], "\">");

    // Without courses the markers' lines are left empty.
    const std::vector<std::string> none =
        linesOf(diagnosisRequestPage("a\r\n#TEST#\r\n#FILE#\r\nb", v, {}));
    EXPECT_EQ(none, (std::vector<std::string>{"a", "", "", "b"}));
}

TEST(DiagnosisRequestPage, ProfileValuesAreEscapedAndOnlyWholeMarkerLinesReplaced) {
    DiagnosisValues v;
    v.serial = "S\"1";
    v.name = "<script>山田 & 'co'</script>";
    v.mail = "#ORGA#";  // never read as another marker
    v.org = "R&D";
    const std::vector<std::string> lines = linesOf(diagnosisRequestPage(
        "value=\"\n   #NAME#   \nName: #NAME#\n#MAIL#\n#ORGA#\n#SERIAL#\n", v, {}));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "value=\"", "&lt;script&gt;山田 &amp; &#39;co&#39;&lt;/script&gt;",
                         "Name: #NAME#", "#ORGA#", "R&amp;D", "S&quot;1"}));
}

TEST(AdvisorSummaryPage, PrototypeThenEveryCourse) {
    AdvisorCourse c = course("NX-1", 70, 85);
    c.CategoryName = {"基礎", "未出題", "応用"};
    c.history.categories[0].CategoryAverage = 40;
    c.history.categories[1].CategoryAverage = 101;  // never asked
    c.history.categories[2].CategoryAverage = 100;
    const std::string page =
        advisorSummaryPage("<html>\n<body>\n", "山田 <太郎> & 'co'", {c, course("NX-2", 0, 0)});
    const std::vector<std::string> lines = linesOf(page);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(head,
              (std::vector<std::string>{
                  "<html>", "<body>", "<hr>", "<h4>これまでの達成度",
                  "<small>(氏名：</small>山田 &lt;太郎&gt; &amp; &#39;co&#39;)</h4>", "<hr>"}));
    const std::vector<std::string> first(lines.begin() + 6, lines.begin() + 21);
    EXPECT_EQ(first,
              (std::vector<std::string>{
                  "<h4>NX-1 : タイトルNX-1</h4>", "<table>",
                  "<tr valign=\"top\"><td><b><small>■総合成績</small></b></td>",
                  "<td><img src=\"print_scale.gif\"><BR></td></tr>", "<tr valign=\"top\"><td></td>",
                  "<td><img src=\"red.gif\" width=280 height=30><img src=\"black.gif\" width=120 "
                  "height=30></td></tr>",
                  "<tr><td></td>", "<td><small>最高得点率は85%です</small><BR>　</td></tr>",
                  "<tr valign=\"top\"><td width=\"200\"><b><small>基礎</small></b></td>",
                  "<td><img src=\"red.gif\" width=160 height=15><img src=\"black.gif\" width=240 "
                  "height=15></td></tr>",
                  "<tr valign=\"top\"><td width=\"200\"><b><small>応用</small></b></td>",
                  "<td><img src=\"red.gif\" width=400 height=15></td></tr>", "</table>", "<hr>",
                  "<h4>NX-2 : タイトルNX-2</h4>"}));
    EXPECT_EQ(page.find("未出題"), std::string::npos);
    EXPECT_EQ(lines[lines.size() - 2], "</body>");
    EXPECT_EQ(lines.back(), "</html>");
}

TEST(AdvisorFiles, CoursesAreFoundThroughTheCatalogPaths) {
    TempTree t;
    // The file names differ from the codes: only the catalog knows them.
    t.file("QDAT/v/course-a.qdf", qdfWithCategories("NX-1", {"基礎", "応用"}));
    t.file("QDAT/v/course-b.qdf", qdfWithCategories("NX-2", {"運用"}));
    t.dir("HIST/v");
    HistoryFile h;
    h.AverageRate = 64;
    h.BestRate = 90;
    h.categories[1].CategoryAverage = 55;
    t.file("HIST/v/course-a.HIS", historyFileBytes(h));
    t.file("HIST/v/course-a.ADP", "1,1,1,30\r\n");
    const Catalog catalog =
        buildCatalog(t.path("QDAT/v/"), t.path("HIST/v/"), emptyHistoryFiles(""));
    ASSERT_EQ(catalog.courses.size(), 2u);

    AdvisorCourses read = readAdvisorCourses(catalog.courses);
    ASSERT_EQ(read.courses.size(), 2u);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.courses[0].ExamCode, "NX-1");
    EXPECT_EQ(read.courses[0].history.AverageRate, 64);
    EXPECT_TRUE(read.courses[0].HasAdaptive);
    EXPECT_EQ(read.courses[0].PassMark, std::optional<int>(70));
    EXPECT_FALSE(read.courses[1].HasAdaptive);
    EXPECT_EQ(read.courses[1].history.AverageRate, 0);

    readAllCategoryNames(read);
    EXPECT_EQ(read.courses[0].CategoryName, (std::vector<std::string>{"基礎", "応用"}));
    EXPECT_EQ(read.courses[1].CategoryName, (std::vector<std::string>{"運用"}));

    // A table that breaks off leaves that course without categories and says so.
    t.file("QDAT/v/course-b.qdf", qdfWithCategories("NX-2", {"運用"}).substr(0, 120));
    readAllCategoryNames(read);
    EXPECT_TRUE(read.courses[1].CategoryName.empty());
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].file, t.path("QDAT/v/course-b.qdf"));
}

TEST(AdvisorFiles, UnreadableHistoryIsReportedAndReadsAsEmpty) {
    TempTree t;
    CourseEntry e;
    e.ExamCode = "NX-1";
    // A folder where the file should be: it exists and cannot be read.
    t.dir("NX-1.HIS");
    e.HisPath = t.path("NX-1.HIS");
    const AdvisorCourses read = readAdvisorCourses({e});
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].file, e.HisPath);
    EXPECT_EQ(read.courses[0].history.AverageRate, 0);
    EXPECT_TRUE(std::filesystem::is_directory(e.HisPath));
}

TEST(AdvisorFiles, PagesAreWrittenAsCp932OrNotAtAll) {
    TempTree t;
    const std::string bin = t.path("bin") + "/";
    t.file("bin/FormProto", text::utf8ToCp932("<p>\r\n#NAME#\r\n#TEST#\r\n</p>\r\n"));
    const AdvisorPageFiles form = diagnosisPageFiles(bin);
    EXPECT_EQ(form.pagePath, bin + "Form.htm");
    DiagnosisValues v;
    v.name = "山田";
    ASSERT_TRUE(writeDiagnosisRequest(form, v, {course("NX-1", 1, 2)}).ok());
    EXPECT_EQ(
        t.read("bin/Form.htm"),
        text::utf8ToCp932("<p>\r\n山田\r\n</OPTION><OPTION>\r\nNX-1 : タイトルNX-1\r\n</p>\r\n"));

    // The summary's template is missing: the error names it and no page appears.
    const AdvisorPageFiles summary = summaryPageFiles(bin);
    const Status st = writeAdvisorSummary(summary, "山田", {});
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().file, bin + "Print/PrintProto");
    EXPECT_FALSE(t.exists("bin/Print/PrintSum.htm"));
}

TEST(CategoryTable, ReadUpToItsEndWhateverFollows) {
    TempTree t;
    std::string file = qdfWithCategories("NX-1", {"基礎", "応用"});
    // A broken record after the table does not hide the table.
    file.replace(file.rfind("*QE"), 3, "*Q?");
    const std::string path = t.write("x.qdf", file);
    QuestionBank bank;
    ASSERT_FALSE(LoadQuestionBank(bank, path).ok());
    const Result<std::vector<std::string>> names = readCategoryNames(path);
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(*names, (std::vector<std::string>{"基礎", "応用"}));

    const Result<std::vector<std::string>> missing = readCategoryNames(t.path("none.qdf"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().file, t.path("none.qdf"));
}

TEST(AdvisorLayout, ListFillsTheWindowAndTheBarStaysAtTheBottom) {
    // The design size, a large window and 1280 × 900 at 200 %.
    for (const auto& [w, h] : {std::pair{760, 562}, std::pair{1200, 900}, std::pair{640, 450}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const AdvisorLayout l = advisorLayout(w, h, 160);
        EXPECT_EQ(l.list.height, h - 173);
        EXPECT_EQ(l.list.left + l.list.width, w);
        // Names, gap, bars with their best rate and the scroll bar fit the box.
        EXPECT_LE(l.barsLeft + kAdvisorBarPictureWidth + kAdvisorScrollBarWidth, l.list.width);
        EXPECT_EQ(l.barsLeft, l.nameWidth + 10);
        EXPECT_EQ(l.scaleLabel.x, l.list.left + l.barsLeft + 300);
        EXPECT_EQ(l.backLeft + kAdvisorBackWidth, w - 10);
        EXPECT_GT(l.printLeft, kResultSideWidth);
        EXPECT_LT(l.printLeft + kAdvisorPrintWidth, l.requestLeft);
        EXPECT_LT(l.requestLeft + kAdvisorRequestWidth, l.backLeft);
        EXPECT_EQ(l.buttonTop + kAdvisorButtonHeight + 8, h);
        EXPECT_GE(l.legendTop, l.list.top + l.list.height);
        EXPECT_LT(l.legendTop + 18, l.buttonTop);
        EXPECT_EQ(l.lowerStripTop, h - 160);
    }
    // A wide window gives the names their full column.
    EXPECT_EQ(advisorLayout(1200, 900, 160).nameWidth, 273);
    EXPECT_LT(advisorLayout(760, 562, 160).nameWidth, 273);
}
