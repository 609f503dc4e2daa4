#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "core/catalog/catalog.h"
#include "core/exam/selection.h"
#include "core/questions/question_file.h"
#include "tools/commands.h"
#include "tools/exam_draw.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

json courseToJson(const CourseEntry& c) {
    return {{"QdfPath", c.QdfPath},    {"HisPath", c.HisPath},
            {"AdpPath", c.AdpPath},    {"FormatKind", c.FormatKind},
            {"ExamCode", c.ExamCode},  {"ExamTitle", c.ExamTitle},
            {"PassMark", c.PassMark},  {"Level1", c.Level1},
            {"Level2", c.Level2},      {"Level3", c.Level3},
            {"Level4", c.Level4},      {"Level3b", c.Level3b},
            {"QdfDate", c.QdfDate},    {"ShuffleOrder", c.ShuffleOrder},
            {"QuesTotal", c.QuesTotal}};
}

bool parseInt(const std::string& text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int catalogCommand(const Args& args) {
    if (args.size() != 2) {
        return 2;
    }
    const Catalog catalog = vendorCatalog(args[0], args[1]);
    for (const Error& e : catalog.problems) {
        std::fprintf(stderr, "%s\n", e.describe().c_str());
    }
    json rows = json::array();
    for (const CourseEntry& c : catalog.courses) {
        rows.push_back(courseToJson(c));
    }
    std::printf("%s\n", rows.dump(2).c_str());
    return 0;
}

int examCommand(const Args& args) {
    if (args.size() >= 2 && args[0] == "run") {
        ExamRunOutputs outputs;
        for (std::size_t i = 2; i < args.size(); i += 2) {
            std::string* dir = args[i] == "--views"   ? &outputs.viewsDir
                               : args[i] == "--print" ? &outputs.printDir
                                                      : nullptr;
            if (dir == nullptr || i + 1 >= args.size() || !dir->empty() || args[i + 1].empty()) {
                return 2;
            }
            *dir = args[i + 1];
        }
        return examRun(args[1], outputs);
    }
    if (args.empty() || args[0] != "select") {
        return 2;
    }
    std::string qdf, his;
    int mode = 1, count = -1;
    std::uint64_t seed = 0;
    bool seeded = false;
    std::vector<std::pair<int, int>> unchecked;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) {
            return fail("オプション " + a + " に値がありません");
        }
        const std::string& v = args[++i];
        if (a == "--qdf") {
            qdf = v;
        } else if (a == "--his") {
            his = v;
        } else if (a == "--mode") {
            if (!parseInt(v, mode) || mode < 1 || mode > 4) {
                return fail("--mode は 1～4 です");
            }
        } else if (a == "--count") {
            if (!parseInt(v, count)) {
                return fail("--count は整数です");
            }
        } else if (a == "--seed") {
            seed = std::strtoull(v.c_str(), nullptr, 10);
            seeded = true;
        } else if (a == "--uncheck") {
            int c = 0, s = 0;
            const std::size_t dot = v.find('.');
            if (dot == std::string::npos || !parseInt(v.substr(0, dot), c) ||
                !parseInt(v.substr(dot + 1), s) || c < 1 || c > kMaxCategories || s < 1 ||
                s > kSubCategories) {
                return fail("--uncheck は カテゴリ.サブカテゴリ (例 2.3) です");
            }
            unchecked.emplace_back(c, s);
        } else {
            return 2;
        }
    }
    if (qdf.empty() || his.empty()) {
        return 2;
    }
    const auto selectionMode = static_cast<SelectionMode>(mode);
    if (modeLocksChoices(selectionMode) && !unchecked.empty()) {
        return fail("模擬試験とアセスメントではカテゴリを外せません");
    }
    if (!modeLocksChoices(selectionMode) && count < 0) {
        return fail("--count を指定してください");
    }
    auto header = readQdfHeader(qdf);
    if (!header) {
        return fail(header.error().describe());
    }
    CourseEntry course;
    course.QdfPath = qdf;
    course.HisPath = his;
    course.ShuffleOrder = header->ShuffleOrder;
    DrawRequest request;
    request.mode = selectionMode;
    request.count = count;
    request.unchecked = unchecked;
    if (seeded) {
        request.seed = seed;
    }
    ExamSession session;
    if (const Status opened = session.open(course); !opened) {
        return fail(opened.error().describe());
    }
    if (const Status drawn = drawExam(session, request); !drawn) {
        return fail(drawn.error().describe());
    }
    const int available = session.selection().AvailableCount;
    const std::vector<ExamQuestion>& exam = session.questions();
    json questions = json::array();
    for (const ExamQuestion& e : exam) {
        json shown = json::array();
        json correct = json::array();
        for (int k = 0; k < e.ShowCount; ++k) {
            shown.push_back(e.ShownChoice[k]);
            correct.push_back(e.ShownCorrect[k]);
        }
        questions.push_back({{"BankSlot", e.BankSlot},
                             {"QuesNum", e.QuesNum},
                             {"ShownChoice", shown},
                             {"ShownCorrect", correct}});
    }
    std::printf("%s\n",
                json({{"AvailableCount", available}, {"questions", questions}}).dump(2).c_str());
    return 0;
}

}  // namespace tovalo::tool
