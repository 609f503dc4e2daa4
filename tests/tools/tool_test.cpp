// tovalo-tool as authors and scripts use it: exit codes, stdout and stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/loopback_server.h"
#include "common/temp_tree.h"
#include "common/unprivileged.h"
#include "core/questions/question_file.h"
#include "core/text/cp932.h"
#include "tool_fixture.h"

namespace fs = std::filesystem;

using json = nlohmann::json;

TEST_F(ToolTest, PackUnpackAndDumpACourse) {
    const QdfBuilder q = course();
    const std::string src = write("NX-101.txt", q.source());
    const std::string qdf = (dir_ / "NX-101.qdf").string();
    ToolRun packed = tool("qdf pack " + src + " " + qdf);
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_EQ(read(qdf), q.stored());

    ToolRun unpacked = tool("qdf unpack " + qdf);
    ASSERT_EQ(unpacked.code, 0);
    EXPECT_EQ(unpacked.out, q.source());

    ToolRun dump = tool("qdf dump " + qdf);
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("\"QuesText\": \"<INCLUDE IMG>@net.jpg\\r\\nIPv4 アドレスの長さは？\""),
              std::string::npos)
        << dump.out;
    EXPECT_NE(dump.out.find("\"Ahyy\""), std::string::npos);
    EXPECT_NE(dump.out.find("\"SubCategoryName\": ["), std::string::npos);

    ToolRun header = tool("qdf header " + qdf);
    ASSERT_EQ(header.code, 0);
    EXPECT_NE(header.out.find("\"FormatKind\": 2"), std::string::npos);
    EXPECT_NE(header.out.find("\"ShuffleOrder\": false"), std::string::npos);
    EXPECT_NE(header.out.find("\"QdfDate\": \"2026/12/01\""), std::string::npos);

    ToolRun check = tool("qdf check " + qdf);
    EXPECT_EQ(check.code, 0) << check.err;
}

TEST_F(ToolTest, ErrorsGoToStderrWithExitCodeOne) {
    std::string stored = course().stored();
    stored.replace(stored.find("\r\n45\r\n"), 6, "\r\n4x\r\n");
    const std::string bad = write("bad.qdf", stored);
    ToolRun dump = tool("qdf dump " + bad);
    EXPECT_EQ(dump.code, 1);
    EXPECT_TRUE(dump.out.empty());
    EXPECT_EQ(dump.err, bad + ":3: '4x' は整数ではありません\n");

    ToolRun missing = tool("qdf dump " + (dir_ / "none.qdf").string());
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("ファイルが見つかりません"), std::string::npos);

    const std::string notQdf = write("x.qdf", "QFileFormat-v1.3\r\n1/1\r\n");
    EXPECT_EQ(tool("qdf header " + notQdf).code, 1);

    // check goes on after the first problem and counts them all.
    ToolRun check = tool("qdf check " + bad + " " + notQdf);
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.err.find(bad + ":3:"), std::string::npos);
    EXPECT_NE(check.err.find(notQdf + ":1:"), std::string::npos);

    // pack refuses a text line whose stored form would close the block.
    std::string source = course().source();
    source.replace(source.find("IPv4 アドレスの長さは？"),
                   std::string("IPv4 アドレスの長さは？").size(), "*DR");
    ToolRun refused = tool("qdf pack " + write("r.txt", source) + " " + (dir_ / "r.qdf").string());
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("*QE"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "r.qdf"));
}

TEST_F(ToolTest, TextEncodeWritesCp932WithCrLf) {
    const std::string in = write("in.ini", "[Level]\nTextA=レベル:A 合格安心\n");
    const std::string out = (dir_ / "out.ini").string();
    ASSERT_EQ(tool("text encode " + in + " " + out).code, 0);
    EXPECT_EQ(read(out), tovalo::text::utf8ToCp932("[Level]\r\nTextA=レベル:A 合格安心\r\n"));
    EXPECT_EQ(tool("text encode " + write("bad.txt", "\xF0\x9F\x98\x80\n") + " " + out).code, 1);
}

TEST_F(ToolTest, CatalogListsCoursesAndCreatesHistoryFiles) {
    fs::create_directories(dir_ / "QDAT/nexa");
    const std::string stored = course().stored();
    write("QDAT/nexa/NX-102.qdf", stored);
    write("QDAT/nexa/NX-101.QDF", stored);
    write("QDAT/nexa/readme.qdf", "not a course\r\n");
    ToolRun r = tool("catalog " + dir_.string() + " nexa");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::size_t first = r.out.find("NX-101.QDF");
    const std::size_t second = r.out.find("NX-102.qdf");
    ASSERT_NE(first, std::string::npos) << r.out;
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_EQ(r.out.find("readme"), std::string::npos);
    EXPECT_NE(r.out.find("\"ShuffleOrder\": false"), std::string::npos);
    EXPECT_EQ(fs::file_size(dir_ / "HIST/nexa/NX-101.HIS"), 1960u);
    EXPECT_EQ(fs::file_size(dir_ / "HIST/nexa/NX-102.HIS"), 1960u);
}

TEST_F(ToolTest, ExamSelectDrawsReproduciblyAndChecksItsOptions) {
    const std::string qdf = write("NX-101.qdf", course().stored());
    const std::string his = (dir_ / "NX-101.HIS").string();
    const std::string base = "exam select --qdf " + qdf + " --his " + his;
    ToolRun a = tool(base + " --mode 1 --count 2 --seed 9");
    ASSERT_EQ(a.code, 0) << a.err;
    EXPECT_NE(a.out.find("\"AvailableCount\": 2"), std::string::npos);
    // File order is kept (this course has ShuffleOrder off); choices are shuffled.
    EXPECT_LT(a.out.find("\"BankSlot\": 1"), a.out.find("\"BankSlot\": 2"));
    EXPECT_EQ(tool(base + " --mode 1 --count 2 --seed 9").out, a.out);

    ToolRun one = tool(base + " --mode 3 --count 1 --uncheck 1.1 --seed 1");
    ASSERT_EQ(one.code, 0) << one.err;
    EXPECT_NE(one.out.find("\"AvailableCount\": 1"), std::string::npos);
    EXPECT_NE(one.out.find("\"QuesNum\": 2"), std::string::npos);

    ToolRun tooMany = tool(base + " --mode 1 --count 3");
    EXPECT_EQ(tooMany.code, 1);
    EXPECT_EQ(tooMany.err, "問題はそんなにありません\n");

    ToolRun locked = tool(base + " --mode 2 --uncheck 1.1");
    EXPECT_EQ(locked.code, 1);
    ToolRun mock = tool(base + " --mode 4 --seed 3");
    ASSERT_EQ(mock.code, 0) << mock.err;
    EXPECT_NE(mock.out.find("\"BankSlot\": 2"), std::string::npos);
}

TEST_F(ToolTest, PageWriteAndListText) {
    const std::string in =
        write("q.txt", "<INCLUDE IMG>@a.jpg\r\n<b>ルータ</b> &amp; スイッチ<br>続き");
    const std::string out = (dir_ / "exam.htm").string();
    ASSERT_EQ(tool("page write --mode 0 " + in + " " + out).code, 0);
    EXPECT_NE(read(out).find(tovalo::text::utf8ToCp932(
                  "\r\n<b>ルータ</b> &amp; スイッチ<br>続き\r\n</html>\r\n")),
              std::string::npos);
    ToolRun list = tool("page listtext --format 2 " + in);
    ASSERT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "ルータ & スイッチ\n");
    EXPECT_EQ(tool("page write --mode 3 " + in + " " + out).code, 1);
}

TEST_F(ToolTest, ExamRunStoresTheExamAndTrainingDrawsTheMisses) {
    fs::create_directories(dir_ / "QDAT/nexa");
    write("QDAT/nexa/NX-101.qdf", course().stored());
    const std::string script =
        write("run.json", "{\"root\": \"" + dir_.string() +
                              "\", \"vendor\": \"nexa\", \"course\": \"NX-101.qdf\", \"mode\": 1, "
                              "\"count\": 2, \"seed\": 4, \"adaptive\": true, \"now\": "
                              "\"2026-07-31T09:05\", \"elapsed\": 754, \"answers\": [{\"pick\": "
                              "\"correct\", \"time\": 30}, {\"pick\": \"wrong\", \"time\": 0}]}");
    ToolRun run = tool("exam run " + script);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"CorrectTotal\": 1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"ExamRate\": 50"), std::string::npos);

    ToolRun dump = tool("his dump " + (dir_ / "HIST/nexa/NX-101.HIS").string());
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("\"Minutes\": 12,\n      \"Month\": 7,\n      \"Day\": 31"),
              std::string::npos)
        << dump.out;
    EXPECT_NE(dump.out.find("\"Size\": 1960"), std::string::npos);
    // Only the timed answer is counted in the adaptive file.
    const std::string adp =
        tovalo::text::cp932ToUtf8(read((dir_ / "HIST/nexa/NX-101.ADP").string()));
    EXPECT_NE(
        adp.find("@0*1@1*1@2*1@3*<INCLUDE IMG>@net.jpgIPv4 アドレスの長さは？@4*1@5*1@6*30@7*\r\n"),
        std::string::npos)
        << adp;
    EXPECT_NE(adp.find("@4*0@5*0@6*0@7*\r\n"), std::string::npos);

    // Question 1 was answered right, question 2 wrong: training asks 2 first.
    ToolRun training =
        tool("exam select --qdf " + (dir_ / "QDAT/nexa/NX-101.qdf").string() + " --his " +
             (dir_ / "HIST/nexa/NX-101.HIS").string() + " --mode 3 --count 1 --seed 2");
    ASSERT_EQ(training.code, 0) << training.err;
    EXPECT_NE(training.out.find("\"BankSlot\": 2"), std::string::npos);
    EXPECT_EQ(training.out.find("\"BankSlot\": 1"), std::string::npos);
}

// A history file the tool cannot read is not an empty one: the run stores
// nothing, says which file, and fails. Before writing, the run sweeps what a
// crashed save left in the folder it writes into.
TEST_F(ToolTest, ExamRunNeverSavesOverAFileItCannotRead) {
    fs::create_directories(dir_ / "QDAT/nexa");
    write("QDAT/nexa/NX-101.qdf", course().stored());
    const std::string script =
        write("run.json", "{\"root\": \"" + dir_.string() +
                              "\", \"vendor\": \"nexa\", \"course\": \"NX-101.qdf\", \"count\": 2, "
                              "\"seed\": 4, \"answers\": [{\"pick\": \"correct\"}]}");
    ASSERT_EQ(tool("exam run " + script).code, 0);
    const std::string his = (dir_ / "HIST/nexa/NX-101.HIS").string();
    const std::string left = write("HIST/nexa/NX-101.HIS.tovalo-save-99", "half");
    const std::string stored = read(his);
    fs::permissions(his, fs::perms::none);
    ToolRun run;
    {
        const Unprivileged nobody(dir_.string());
        ASSERT_TRUE(nobody.bound());
        run = tool("exam run " + script);
    }
    fs::permissions(his, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(his + ": ファイルを読み込めません (Permission denied)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(read(his), stored);
    EXPECT_FALSE(fs::exists(left));
}

// Special-style answers replayed as actions through the windows' own rules:
// each position says whether its window would have reported it right.
TEST_F(ToolTest, ExamRunReplaysStyleActions) {
    QdfBuilder q;
    q.header("QFileFormat-v1.4", "20261201      N", "7")
        .category("形式", {"図", "クリック", "パネル", "パネル2", "記述", "コネクト", "選択"})
        .plain("*CE");
    const std::vector<std::pair<int, std::vector<std::string>>> records{
        {3, {"a@10,10,50,50", "b@100,10,150,50"}},
        {8, {"a@10,10,50,50", "b@100,10,150,50"}},
        {4, {"a@0,0,10,10;100,100,110,110", "b@0,0,10,10", "c@100,100,110,110"}},
        {6, {"a@S1;P", "b@0,0,10,10,S1", "c@100,100,110,110,P"}},
        {5, {"a@Router", "b@off", "c@6"}},
        {7, {"a@LAN;VPC;HTTPS;1", "b@0,0,100,40,LAN@400,0,500,40,VPC", "c@0,300,60,320,HTTPS,1"}},
        {1, {"正解", "誤り"}},
    };
    for (std::size_t k = 0; k < records.size(); ++k) {
        QdfBuilder::Record r;
        r.num = static_cast<int>(k) + 1;
        r.sub = r.num;
        r.style = records[k].first;
        r.choices = records[k].second;
        r.choiceCount = r.showCount = static_cast<int>(r.choices.size());
        r.closing = k + 1 == records.size() ? "*EOF" : "*NEXT";
        q.record(r);
    }
    fs::create_directories(dir_ / "QDAT/nexa");
    write("QDAT/nexa/NX-101.qdf", q.stored());
    const auto run = [&](const std::string& answers) {
        return tool("exam run " +
                    write("run.json", "{\"root\": \"" + dir_.string() +
                                          "\", \"vendor\": \"nexa\", \"course\": "
                                          "\"NX-101.qdf\", \"count\": 7, \"answers\": " +
                                          answers + "}"));
    };
    ToolRun right = run(R"([
        {"actions": [["press", 20, 20], ["press", 10, 20], ["unmark", 2], ["press", 120, 20]]},
        {"actions": [["press", 20, 20], ["press", 120, 20], ["rightpicture"]]},
        {"actions": [["drag", 1, 49, 14]]},
        {"actions": [["drag", 1, 40, 10]]},
        {"actions": [["type", "ROUT"], ["type", "ERS"]]},
        {"actions": [["click", 1], ["shiftclick", 2], ["connector", 1]]},
        {"pick": "correct"}])");
    ASSERT_EQ(right.code, 0) << right.err;
    const auto solved = [&](const std::string& out) {
        std::string flags;
        for (std::size_t at = out.find("\"StyleSolved\": "); at != std::string::npos;
             at = out.find("\"StyleSolved\": ", at + 1)) {
            flags += out.substr(at + 15, 1);
        }
        return flags;
    };
    // The marks were moved onto both zones; the click picture's last mark
    // was taken back; the panel at 49/14 snaps; "ROUTERS" was cut at six
    // characters; the choice question has no window.
    EXPECT_EQ(solved(right.out), "tfttttn") << right.out;
    EXPECT_NE(right.out.find("\"CorrectTotal\": 6"), std::string::npos) << right.out;

    ToolRun wrong = run(R"([
        {"actions": [["press", 20, 20], ["press", 30, 30]]},
        {"actions": [["press", 20, 20], ["press", 150, 20]]},
        {"actions": [["drag", 1, 50, 0]]},
        {"actions": []},
        {"actions": [["type", "  rout"], ["type", "er"]]},
        {"actions": [["click", 2], ["shiftclick", 1], ["connector", 1]]}])");
    ASSERT_EQ(wrong.code, 0) << wrong.err;
    // Style 6 with nothing placed answers "@S1;"; the typed field kept "  rout".
    EXPECT_EQ(solved(wrong.out), "ffffffn") << wrong.out;
    EXPECT_NE(wrong.out.find("\"CorrectTotal\": 0"), std::string::npos);

    ToolRun refused = run(R"([{"actions": [["drag", 1, 0, 0]]}])");
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "answers[0].actions[0] はこの問題の形式では使えません\n");
    refused = run(R"([{}, {}, {}, {}, {}, {}, {"actions": [["press", 1, 1]]}])");
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "answers[6].actions: この問題は選択肢で答える形式です\n");
    EXPECT_EQ(run(R"([{"actions": [["press", 1]]}])").code, 1);
}

// What an author proofs a course with: the answer view, the review pane and
// the support page of each position, as files.
TEST_F(ToolTest, ExamRunViewsWritesWhatTheScreensShow) {
    const auto courseFile = [&](const std::string& tag, const std::string& name) {
        QdfBuilder::Record a;
        a.question = {"<INCLUDE IMG>@q1.gif@q2.gif",
                      "<html><body topmargin=\"1\" leftmargin=\"1\">",
                      "<!-- QS -->",
                      "ルーターの役割は？",
                      "<!-- QE -->",
                      "</body></html>"};
        a.choices = {"a <", "b \"c\""};
        a.choiceCount = a.showCount = 2;
        a.explanation = {"",
                         "",
                         "<INCLUDE IMG>@e1.jpg@e2.bmp@e3.jpg@e4.jpg",
                         "<!-- KS -->",
                         "経路を選びます。",
                         "<!-- KE -->"};
        a.refs = {"ネットワーク教本", "0", "", "12", "Null", "0", "Null", "0"};
        QdfBuilder::Record b;
        b.num = b.sub = 2;
        b.style = 3;
        b.question = {"<INCLUDE IMG>@map.bmp", "図の中のルーターをクリックしなさい。"};
        b.choices = {"a@10,10,50,50"};
        b.choiceCount = b.showCount = 1;
        b.closing = "*EOF";
        QdfBuilder q;
        q.header(tag, "20261201      N", "2")
            .category("ネットワーク", {"機器", "図"})
            .plain("*CE")
            .record(a)
            .record(b);
        fs::create_directories(dir_ / "QDAT/nexa");
        write("QDAT/nexa/" + name, q.stored());
    };
    courseFile("QFileFormat-x2.0", "NX-201.qdf");
    courseFile("QFileFormat-v1.4", "NX-101.qdf");
    fs::create_directories(dir_ / "bin");
    write("bin/CGI_URL", "https://support.example/ask\r\n");
    write("bin/urlref", "https://faq.example/q\r\n");
    const std::string proto = tovalo::text::utf8ToCp932(
        "<html>\r\n  #NAME#  \r\nname: #NAME#\r\n#TEST#\r\n#QUES#\r\n#ANSW#\r\n</html>\r\n");
    write("bin/QuesProto", proto);
    write("bin/QuesProto2", proto);

    const auto run = [&](const std::string& course, const std::string& views) {
        return tool("exam run " +
                    write("views.json", "{\"root\": \"" + dir_.string() +
                                            "\", \"vendor\": \"nexa\", \"course\": \"" + course +
                                            "\", \"count\": 2, \"labels\": \"ｱ\", \"profile\": "
                                            "{\"Name\": \"<b>山田</b>\"}, \"answers\": "
                                            "[{\"pick\": \"correct\"}, {}]}") +
                    " --views " + (dir_ / views).string());
    };
    const std::string imgDir = (dir_ / "QDAT/nexa/img/").string();
    {
        const ToolRun r = run("NX-101.qdf", "text");
        ASSERT_EQ(r.code, 0) << r.err;
        const json answer = json::parse(read((dir_ / "text/answer-1.json").string()));
        const json pane = json::parse(read((dir_ / "text/review-1.json").string()));
        const std::string paneText = pane.at("PaneText");
        // The correct choice's letter is the one the pane lists it under.
        const std::string letter = paneText.substr(paneText.find(". a <") - 3, 3);
        EXPECT_EQ(answer.at("Letters"), " " + letter);
        EXPECT_TRUE(answer.at("StyleView").is_null());
        EXPECT_EQ(answer.at("Text"),
                  "\r\n<!-- KS -->\r\n経路を選びます。\r\n<!-- KE -->\r\n \r\n【参照】\r\n"
                  "ネットワーク教本\r\n→12P\r\n");
        // Four names are read; the view has buttons for three of them.
        EXPECT_EQ(answer.at("Figures"), json({imgDir + "e1.jpg", imgDir + "e2.bmp",
                                              imgDir + "e3.jpg", imgDir + "e4.jpg"}));
        EXPECT_EQ(answer.at("Faq"), "https://faq.example/q?testid=NX-101&testno=1");
        EXPECT_EQ(pane.at("PaneHeight"), 201);
        EXPECT_EQ(pane.at("QuestionFigures"), json({imgDir + "q1.gif", imgDir + "q2.gif"}));
        EXPECT_EQ(paneText.find("<INCLUDE IMG>"), std::string::npos);
        EXPECT_NE(paneText.find("【参照】\r\nネットワーク教本 \r\n12P"), std::string::npos)
            << paneText;

        const json graphic = json::parse(read((dir_ / "text/review-2.json").string()));
        EXPECT_EQ(graphic.at("StyleView"), 3);
        EXPECT_EQ(graphic.at("PaneHeight"), 201);
        EXPECT_EQ(graphic.at("PaneText").get<std::string>().find("【選択肢】"), std::string::npos);
        EXPECT_EQ(json::parse(read((dir_ / "text/answer-2.json").string())).at("Letters"), "");

        const std::string page =
            tovalo::text::cp932ToUtf8(read((dir_ / "text/Ques-1.htm").string()));
        EXPECT_NE(page.find("<html>\r\n&lt;b&gt;山田&lt;/b&gt;\r\nname: #NAME#\r\n"
                            "NX-101 : ネットワーク基礎\r\n"),
                  std::string::npos)
            << page;
        EXPECT_NE(page.find("正解 : " + letter + "\r\n解答 : " + letter + " \r\n"),
                  std::string::npos)
            << page;
        // The wrong graphic answer is told from the stored verdict.
        EXPECT_NE(
            tovalo::text::cp932ToUtf8(read((dir_ / "text/Ques-2.htm").string())).find("解答 : ×"),
            std::string::npos);
        EXPECT_FALSE(fs::exists(dir_ / "text/cheat-1.htm"));
    }
    {
        const ToolRun r = run("NX-201.qdf", "html");
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string paneText =
            json::parse(read((dir_ / "html/review-1.json").string())).at("PaneText");
        EXPECT_NE(paneText.find(". a&nbsp;&lt;<br>"), std::string::npos) << paneText;
        EXPECT_NE(paneText.find(". b&nbsp;&quot;c&quot;<br>"), std::string::npos) << paneText;
        const std::string cheat =
            tovalo::text::cp932ToUtf8(read((dir_ / "html/cheat-1.htm").string()));
        const std::string result =
            tovalo::text::cp932ToUtf8(read((dir_ / "html/result-1.htm").string()));
        EXPECT_NE(cheat.find("経路を選びます。"), std::string::npos) << cheat;
        EXPECT_NE(result.find("ルーターの役割は？"), std::string::npos) << result;
        // Only the part between the markers goes on the support page.
        const std::string page =
            tovalo::text::cp932ToUtf8(read((dir_ / "html/Ques-1.htm").string()));
        EXPECT_NE(page.find("<!-- QS -->\r\nルーターの役割は？\r\n"), std::string::npos) << page;
        EXPECT_EQ(page.find("topmargin"), std::string::npos) << page;
    }
    EXPECT_EQ(run("NX-101.qdf", "bin/CGI_URL/x").code, 1);
}

namespace {

// Pixel (x, y) of an X bitmap as the tool writes it: ink is a set bit,
// eight pixels an item, the leftmost in bit 0.
bool xbmInk(const std::string& xbm, int x, int y) {
    std::size_t at = 0;
    for (int line = 0; line < 3 + y; ++line) {
        at = xbm.find("\r\n", at) + 2;
    }
    const std::string item = xbm.substr(at + 5 * static_cast<std::size_t>(x / 8), 4);
    return ((std::stoi(item.substr(2), nullptr, 16) >> (x % 8)) & 1) != 0;
}

}  // namespace

// --print writes the result screen's report before the exam is stored: the
// first exam of a course is alone in it, the second averages with the
// first. Without its template nothing is stored and the run fails.
TEST_F(ToolTest, ExamRunPrintWritesTheReportBeforeStoring) {
    fs::create_directories(dir_ / "QDAT/nexa");
    write("QDAT/nexa/NX-101.qdf", course().stored());
    write("bin/Print/PrintProto",
          tovalo::text::utf8ToCp932("<html>\n<head><title>成績表</title></head>\n<body>\n"));
    // What --views needs beside it.
    write("bin/CGI_URL", "https://support.example/ask\r\n");
    write("bin/urlref", "https://faq.example/q\r\n");
    write("bin/QuesProto", "<html>#NAME#</html>\r\n");
    write("bin/QuesProto2", "<html>#NAME#</html>\r\n");
    const auto script = [&](const std::string& now, const std::string& second) {
        return write("print.json", "{\"root\": \"" + dir_.string() +
                                       "\", \"vendor\": \"nexa\", \"course\": \"NX-101.qdf\", "
                                       "\"count\": 2, \"seed\": 4, \"mode\": 1, \"elapsed\": 754, "
                                       "\"now\": \"" +
                                       now +
                                       "\", \"profile\": {\"Name\": \"山田 & 花子\"}, "
                                       "\"answers\": [{\"pick\": \"correct\"}, {\"pick\": \"" +
                                       second + "\"}]}");
    };
    const std::string out = (dir_ / "out").string();

    ToolRun first = tool("exam run " + script("2026-07-31T09:05", "wrong") + " --print " + out +
                         " --views " + (dir_ / "views").string());
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_TRUE(fs::exists(dir_ / "views/answer-1.json"));
    std::string page = tovalo::text::cp932ToUtf8(read(out + "/Print.htm"));
    EXPECT_EQ(page.rfind("<html>\r\n<head><title>成績表</title></head>\r\n<body>\r\n<hr>\r\n", 0),
              0u)
        << page;
    for (const char* line : {
             "<h4><small>■氏名：</small>山田 &amp; 花子</h4>\r\n",
             "<h4><small>■モード：</small>通常（ランダム）</h4>\r\n",
             "<h4><small>■実施日時：</small>2026/7/31 9:5</h4>\r\n",
             "<h4><small>■所要時間：</small>12' 34</h4>\r\n",
             "<tr><td></td>\r\n<td><img src=\"red.gif\" width=200 height=30><img "
             "src=\"black.gif\" width=200 height=30></td></tr>\r\n",
             "最高正答率は50％です。",
             "<img src=\"SEISEKI.png\">\r\n<hr>\r\n<h5>■所要時間の推移</h5>\r\n<img "
             "src=\"TIME.png\">\r\n",
         }) {
        EXPECT_NE(page.find(line), std::string::npos) << line << "\n" << page;
    }
    // Both picture formats are written; the ring of the exam at 50 % and
    // 12 of 45 minutes (50 × 12 / 45 = 13.3), an empty slot's dot on zero.
    const std::string rate = read(out + "/SEISEKI.xbm");
    const std::string time = read(out + "/TIME.xbm");
    ASSERT_EQ(rate.substr(0, 22), "#define TEST_width 608");
    EXPECT_TRUE(xbmInk(rate, 511, 60) && xbmInk(rate, 519, 60) && !xbmInk(rate, 515, 60));
    EXPECT_TRUE(xbmInk(rate, 65, 108) && !xbmInk(rate, 65, 110));
    EXPECT_TRUE(xbmInk(time, 511, 97) && !xbmInk(time, 515, 97));
    EXPECT_FALSE(xbmInk(time, 511, 60));
    EXPECT_EQ(read(out + "/SEISEKI.png").substr(1, 3), "PNG");
    EXPECT_EQ(read(out + "/TIME.png").substr(1, 3), "PNG");

    // The second exam, all right: the mean of 50 and 100, the best 100, and
    // the first exam now point 9 of the chart, its ring gone.
    ToolRun second = tool("exam run " + script("2026-08-01T10:30", "correct") + " --print " + out);
    ASSERT_EQ(second.code, 0) << second.err;
    page = tovalo::text::cp932ToUtf8(read(out + "/Print.htm"));
    EXPECT_NE(page.find("<td><img src=\"red.gif\" width=300 height=30><img src=\"black.gif\" "
                        "width=100 height=30></td></tr>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("最高正答率は100％です。"), std::string::npos);
    const std::string rate2 = read(out + "/SEISEKI.xbm");
    EXPECT_TRUE(xbmInk(rate2, 463, 60) && !xbmInk(rate2, 465, 60));
    EXPECT_FALSE(xbmInk(rate2, 461, 60));
    EXPECT_TRUE(xbmInk(rate2, 515, 6) && !xbmInk(rate2, 515, 10));

    // The options come once each, with a folder.
    EXPECT_EQ(tool("exam run " + script("2026-08-01T11:00", "correct") + " --print").code, 2);
    EXPECT_EQ(
        tool("exam run " + script("2026-08-01T11:00", "correct") + " --print a --print b").code, 2);

    fs::remove(dir_ / "bin/Print/PrintProto");
    const std::string hisBefore = read((dir_ / "HIST/nexa/NX-101.HIS").string());
    ToolRun missing = tool("exam run " + script("2026-08-02T08:00", "correct") + " --print " + out);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("PrintProto"), std::string::npos) << missing.err;
    EXPECT_EQ(read((dir_ / "HIST/nexa/NX-101.HIS").string()), hisBefore);
}

// `sync` against a loopback server: the plan, the transfers, the plan again,
// and the ways a run ends early.
TEST_F(ToolTest, SyncPlansTransfersAndReportsFailures) {
    std::string answers = "NOTFOUND";  // for NX 101; NX-102 has an older copy
    LoopbackServer server([&](const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        std::string body;
        if (line.find("/q.cgi") != std::string::npos) {
            body = request.find("Test_ID=NX%20101") != std::string::npos ? answers
                                                                         : "2026/11/20 07:30:00";
        } else if (line.find("/d.cgi") != std::string::npos) {
            body = "[DLDATA]\r\nQAMNT00=300\r\nMAX=91\r\n";
        }
        return "HTTP/1.0 200 OK\r\nSet-Cookie: s=1\r\n\r\n" + body + "\r\n";
    });
    const std::string address = server.hostAndPort();
    write("inst/bin/His_srv",
          address + "/q.cgi\r\n" + address + "/u.cgi\r\n" + address + "/d.cgi\r\n");
    write("inst/QDAT/nexa/NX 101.qdf", course().stored());
    write("inst/QDAT/nexa/NX-102.qdf", course().stored());
    fs::create_directories(dir_ / "inst/HIST/nexa");
    const std::string profile =
        write("me.json", R"({"Name": "Taro Yamada", "Email": "t@example.jp", "Serial": "S1"})");
    const std::string base = "sync " + (dir_ / "inst").string() + " nexa --profile " + profile;

    ToolRun plan = tool(base + " --plan");
    ASSERT_EQ(plan.code, 0) << plan.err;
    json rows = json::parse(plan.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("TestID"), "NX 101");
    EXPECT_EQ(rows[0].at("State"), "ｸﾗｲｱﾝﾄ最新");
    EXPECT_EQ(rows[0].at("ServerDate"), "----");
    EXPECT_EQ(rows[1].at("State"), "ｻｰﾊﾞｰ最新");
    EXPECT_EQ(rows[1].at("ServerDate"), "2026/11/20 07:30:00");
    EXPECT_FALSE(rows[1].contains("Done"));
    EXPECT_EQ(server.requests().size(), 2u);

    ToolRun done = tool(base + " --yes");
    ASSERT_EQ(done.code, 0) << done.err;
    rows = json::parse(done.out);
    EXPECT_EQ(rows[0].at("Done"), true);
    EXPECT_EQ(rows[1].at("Done"), true);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_TRUE(requests[4].starts_with("POST /u.cgi?")) << requests[4];
    EXPECT_NE(requests[4].find("\r\nCookie: s=1\r\n"), std::string::npos);
    EXPECT_TRUE(
        requests[5].ends_with("Name=Taro Yamada&Serial=S1&Test_ID=NX-102"
                              "&Email=t@example.jp\r\n"))
        << requests[5];
    const std::string his = read((dir_ / "inst/HIST/nexa/NX-102.HIS").string());
    ASSERT_EQ(his.size(), 1960u);
    EXPECT_EQ(static_cast<unsigned char>(his[602]), 91);

    rows = json::parse(tool(base).out);
    EXPECT_EQ(rows[1].at("State"), "同期済み");
    EXPECT_EQ(rows[1].at("ClientDate"), "2026/11/20 07:30:00");

    answers = "ERROR1:利用期限が切れています。";
    ToolRun refused = tool(base + " --yes");
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "利用期限が切れています。\n");

    answers = "2026/02/30 10:00:00";
    ToolRun badDate = tool(base + " --plan");
    EXPECT_EQ(badDate.code, 1);
    EXPECT_EQ(badDate.err, "サーバーとの通信に失敗しました。履歴情報の同期はできませんでした。\n");

    EXPECT_EQ(tool(base + " --proxy http://proxy:8080").err, "Proxyサーバー名が誤っています。\n");
    EXPECT_EQ(tool(base + " --proxy proxy:80a").err, "Proxyポート番号が誤っています。\n");
    EXPECT_EQ(tool("sync " + (dir_ / "inst").string() + " nexa").code, 2);

    write("inst/bin/His_srv", "no-such-host.invalid/q\r\nx/u\r\nx/d\r\n");
    EXPECT_EQ(tool(base).err, "サーバー名が解決できないか、Proxyサーバー名が誤っています。\n");
}

TEST_F(ToolTest, SyncSaysWhenTheServerIsNotThere) {
    int port = 0;
    {
        LoopbackServer closed([](const std::string&) { return std::string(); });
        port = closed.port();
    }
    const std::string address = "127.0.0.1:" + std::to_string(port);
    write("inst/bin/His_srv", address + "/q\r\n" + address + "/u\r\n" + address + "/d\r\n");
    write("inst/QDAT/nexa/NX-101.qdf", course().stored());
    fs::create_directories(dir_ / "inst/HIST/nexa");
    const std::string profile = write("me.json", R"({"Name": "T"})");
    const ToolRun r = tool("sync " + (dir_ / "inst").string() + " nexa --profile " + profile);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "サーバーへの接続に失敗しました。設定を確認して再実行をしてください。\n");

    // There, but its answer ends inside the head: the exchange failed.
    LoopbackServer cut([](const std::string&) { return std::string("HTTP/1.0 200 OK\r\nConte"); });
    const std::string there = "127.0.0.1:" + std::to_string(cut.port());
    write("inst/bin/His_srv", there + "/q\r\n" + there + "/u\r\n" + there + "/d\r\n");
    const ToolRun c = tool("sync " + (dir_ / "inst").string() + " nexa --profile " + profile);
    EXPECT_EQ(c.code, 1);
    EXPECT_EQ(c.err, "サーバーとの通信に失敗しました。履歴情報の同期はできませんでした。\n");
}

// The advisor's figures and its two pages, from an installation whose
// question files are not named after their codes.
TEST_F(ToolTest, ReportCommandsGiveTheAdvisorsFiguresAndPages) {
    const auto courseFile = [&](const std::string& file, const std::string& code,
                                const std::vector<std::string>& categories) {
        QdfBuilder q;
        q.plain("QFileFormat-v1.4").plain("30/70").plain("45").plain(code).plain("題名 " + code);
        q.plain("1").plain("0").plain("0").plain("20261201").plain("1");
        for (const std::string& c : categories) {
            q.category(c, {"小"});
        }
        QdfBuilder::Record r;
        q.plain("*CE").record(r);
        write("QDAT/nexa/" + file, q.stored());
    };
    courseFile("a-course.qdf", "NX-1", {"基礎", "応用"});
    courseFile("b-course.qdf", "NX-2", {"運用"});
    fs::create_directories(dir_ / "HIST/nexa");
    std::string his(1960, '\0');
    his[602] = 90;      // best
    his[603] = 64;      // mean
    his[608 + 5] = 58;  // category 1: mean, best
    his[608 + 6] = 80;
    write("HIST/nexa/a-course.HIS", his);
    write("HIST/nexa/a-course.ADP", "1,1,1,30\r\n");
    write("bin/CGI_URL", " http://advice.example/cgi-bin/diag.cgi \r\n");
    write("bin/FormProto",
          tovalo::text::utf8ToCp932("<html>\r\n#CGI_URL#\r\n<input value=\"\r\n  #NAME#\r\n\">\r\n"
                                    "<select>\r\n#TEST#\r\n</select>\r\n#FILE#\r\n</html>\r\n"));
    const std::string profile =
        write("profile.json", "{\"Name\": \"山田 \\\"<太郎>\\\"\", \"Org\": \"R&D\"}");
    const std::string root = dir_.string();

    const ToolRun advisor = tool("report advisor " + root + " nexa");
    ASSERT_EQ(advisor.code, 0) << advisor.err;
    const json courses = json::parse(advisor.out);
    ASSERT_EQ(courses.size(), 2u);
    EXPECT_EQ(courses[0].at("ExamCode"), "NX-1");
    EXPECT_EQ(courses[0].at("ExamTitle"), "題名 NX-1");
    EXPECT_EQ(courses[0].at("AverageRate"), 64);
    EXPECT_EQ(courses[0].at("BestRate"), 90);
    EXPECT_EQ(courses[0].at("PassMark"), 70);
    EXPECT_EQ(courses[0].at("HasAdaptive"), true);
    EXPECT_EQ(courses[0].at("categories"),
              json::parse("[{\"CategoryName\": \"基礎\", \"CategoryAverage\": 58, "
                          "\"CategoryBest\": 80}, {\"CategoryName\": \"応用\", "
                          "\"CategoryAverage\": 0, \"CategoryBest\": 0}]"));
    EXPECT_EQ(courses[1].at("ExamCode"), "NX-2");
    EXPECT_EQ(courses[1].at("HasAdaptive"), false);
    EXPECT_EQ(courses[1].at("categories").size(), 1u);

    const std::string form = (dir_ / "Form.htm").string();
    const ToolRun written = tool("report form " + root + " nexa " + form + " --profile " + profile);
    ASSERT_EQ(written.code, 0) << written.err;
    const std::string page = tovalo::text::cp932ToUtf8(read(form));
    EXPECT_NE(page.find("<form ACTION=\"http://advice.example/cgi-bin/diag.cgi\" METHOD=\"post\">"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("\r\n山田 &quot;&lt;太郎&gt;&quot;\r\n"), std::string::npos) << page;
    EXPECT_NE(page.find("</OPTION><OPTION>\r\nNX-1 : 題名 NX-1\r\n</OPTION><OPTION>\r\nNX-2 : "
                        "題名 NX-2\r\n</select>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<input TYPE=\"HIDDEN\" NAME=\"NX-1\" value=\"■過去10回の履歴\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("●最高正答率 :90%●平均正答率 :64%\r\n"), std::string::npos);
    EXPECT_NE(page.find("基礎:0%, 0%, 0%, 0%, 0%,  最高:80% 平均:58%\r\n"), std::string::npos);
    EXPECT_NE(page.find("<input TYPE=\"HIDDEN\" NAME=\"NX-2\""), std::string::npos);

    // No summary template: exit 1 naming it, and nothing written.
    const std::string summary = (dir_ / "PrintSum.htm").string();
    const ToolRun missing = tool("report summary " + root + " nexa " + summary);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("bin/Print/PrintProto"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(summary));

    write("bin/Print/PrintProto", "<html><body>\r\n");
    const ToolRun made =
        tool("report summary " + root + " nexa " + summary + " --profile " + profile);
    ASSERT_EQ(made.code, 0) << made.err;
    const std::string report = tovalo::text::cp932ToUtf8(read(summary));
    EXPECT_NE(report.find("<small>(氏名：</small>山田 &quot;&lt;太郎&gt;&quot;)</h4>"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("<h4>NX-2 : 題名 NX-2</h4>"), std::string::npos);
    EXPECT_NE(report.find("<small>基礎</small></b></td>\r\n<td><img src=\"red.gif\" width=232 "
                          "height=15>"),
              std::string::npos)
        << report;

    EXPECT_EQ(tool("report advisor " + root).code, 2);
    EXPECT_EQ(tool("report form " + root + " nexa").code, 2);
    EXPECT_EQ(tool("report chart " + root + " nexa x.htm").code, 2);
    EXPECT_EQ(
        tool("report form " + root + " nexa " + form + " --profile " + root + "/none.json").code,
        1);
}
