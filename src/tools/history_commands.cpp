#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>

#include "core/app/directories.h"
#include "core/catalog/catalog.h"
#include "core/common/files.h"
#include "core/exam/exam_report.h"
#include "core/questions/question_file.h"
#include "core/results/history_file.h"
#include "core/styles/style_actions.h"
#include "core/styles/style_handoff.h"
#include "core/text/cp932.h"
#include "tools/commands.h"
#include "tools/exam_draw.h"
#include "tools/history_json.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

// Marks one position as the script says.
bool applyPick(const json& pick, const ExamQuestion& q, std::array<bool, kMaxChoices>& marks) {
    marks.fill(false);
    if (pick.is_string()) {
        const std::string p = pick.get<std::string>();
        if (p == "none") {
            return true;
        }
        if (p == "correct") {
            if (traitsOf(q.Style).scannedSlots > 0) {
                // What a solved style window records.
                if (const int slot =
                        styleHandoff(answerStyle(q.Style), q.ShownChoice, {}).answerSlot;
                    slot > 0) {
                    marks[slot - 1] = true;
                }
            } else {
                for (int k = 0; k < q.ShowCount; ++k) {
                    marks[k] = q.ShownCorrect[k];
                }
            }
            return true;
        }
        if (p == "wrong") {
            for (int k = 0; k < q.ShowCount; ++k) {
                if (!q.ShownCorrect[k]) {
                    marks[k] = true;
                    break;
                }
            }
            return true;
        }
        return false;
    }
    if (pick.is_array()) {
        for (const json& s : pick) {
            if (!s.is_number_integer() || s.get<int>() < 1 || s.get<int>() > kMaxChoices) {
                return false;
            }
            marks[s.get<int>() - 1] = true;
        }
        return true;
    }
    return false;
}

// The "actions" of a special-style position, as the core replays them; an
// error naming the first action that the style does not take or that is
// not written as the script format says.
Result<std::vector<StyleAction>> parseActions(const json& list, AnswerStyle style) {
    std::vector<StyleAction> actions;
    if (!list.is_array()) {
        return Error{"actions が配列ではありません", "", 0};
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const json& a = list[i];
        const auto refused = [&] {
            return Error{"actions[" + std::to_string(i) + "] はこの問題の形式では使えません", "",
                         0};
        };
        if (!a.is_array() || a.empty() || !a[0].is_string()) {
            return refused();
        }
        const auto kind = styleActionKind(a[0].get<std::string>());
        if (!kind || !styleTakesAction(style, *kind)) {
            return refused();
        }
        const auto integers = [&](std::size_t count) {
            if (a.size() != count + 1) {
                return false;
            }
            for (std::size_t k = 1; k <= count; ++k) {
                if (!a[k].is_number_integer()) {
                    return false;
                }
            }
            return true;
        };
        StyleAction action;
        action.kind = *kind;
        using Kind = StyleAction::Kind;
        switch (*kind) {
            case Kind::Press:
            case Kind::Surface:
                if (!integers(2)) {
                    return refused();
                }
                action.x = a[1].get<int>();
                action.y = a[2].get<int>();
                break;
            case Kind::Drag:
                if (!integers(3)) {
                    return refused();
                }
                action.n = a[1].get<int>();
                action.x = a[2].get<int>();
                action.y = a[3].get<int>();
                break;
            case Kind::Unmark:
            case Kind::Click:
            case Kind::ShiftClick:
            case Kind::Connector:
                if (!integers(1)) {
                    return refused();
                }
                action.n = a[1].get<int>();
                break;
            case Kind::Type:
                if (a.size() != 2 || !a[1].is_string()) {
                    return refused();
                }
                action.text = a[1].get<std::string>();
                break;
            case Kind::RightPicture:
            case Kind::Delete:
                if (!integers(0)) {
                    return refused();
                }
                break;
        }
        actions.push_back(std::move(action));
    }
    return actions;
}

bool parseNow(const std::string& text, ExamDate& d) {
    return std::sscanf(text.c_str(), "%d-%d-%dT%d:%d", &d.year, &d.month, &d.day, &d.hour,
                       &d.minute) == 5;
}

// The result screen's printed report of the graded exam, from the
// history as it stands before the exam is stored.
int writePrintOutputs(const ExamSession& session, const std::string& root, const ExamDate& date,
                      const app::Profile& profile, const std::string& printDir) {
    const Result<HistoryFile> stored = readHistoryFile(session.course().HisPath);
    if (!stored) {
        return fail(stored.error().describe());
    }
    std::error_code ec;
    std::filesystem::create_directories(printDir, ec);
    const Status written = writeExamPrintReport(session, *stored, date, profile.name,
                                                root + "bin/Print/" + kPrintTemplate,
                                                app::withTrailingSlash(printDir));
    return written ? 0 : fail(written.error().describe());
}

}  // namespace

int historyCommand(const Args& args) {
    if (args.size() != 2 || args[0] != "dump") {
        return 2;
    }
    auto bytes = readWholeFile(args[1]);
    if (!bytes) {
        return fail(bytes.error().describe());
    }
    std::printf("%s\n", historyJson(*bytes).dump(2).c_str());
    return 0;
}

int examRun(const std::string& scriptPath, const ExamRunOutputs& outputs) {
    auto scriptText = readWholeFile(scriptPath);
    if (!scriptText) {
        return fail(scriptText.error().describe());
    }
    const json script = json::parse(*scriptText, nullptr, false);
    if (script.is_discarded() || !script.is_object()) {
        return fail(scriptPath + ": JSON として読めません");
    }
    try {
        const std::string courseName = script.at("course").get<std::string>();
        const std::string root = app::withTrailingSlash(script.at("root").get<std::string>());
        const std::string vendor = script.at("vendor").get<std::string>();
        const std::string labels = script.value("labels", std::string("A"));
        const Catalog catalog = vendorCatalog(root, vendor);
        const CourseEntry* course = nullptr;
        for (const CourseEntry& c : catalog.courses) {
            if (c.QdfPath.substr(c.QdfPath.rfind('/') + 1) == courseName) {
                course = &c;
            }
        }
        if (course == nullptr) {
            return fail(courseName + ": " + kFileNotFound);
        }
        ExamSession session;
        if (const Status st = session.open(*course); !st) {
            return fail(st.error().describe());
        }
        const QuestionBank& bank = session.bank();
        const auto mode = static_cast<SelectionMode>(script.value("mode", 1));
        DrawRequest request;
        request.mode = mode;
        request.count = script.value("count", 0);
        request.adaptive = script.value("adaptive", false);
        for (const json& u : script.value("uncheck", json::array())) {
            const std::string cs = u.get<std::string>();
            int c = 0, s = 0;
            if (modeLocksChoices(mode) || std::sscanf(cs.c_str(), "%d.%d", &c, &s) != 2 || c < 1 ||
                c > bank.CategoryCount || s < 1 || s > kSubCategories) {
                return fail("uncheck: " + cs + " は使えません");
            }
            request.unchecked.emplace_back(c, s);
        }
        if (script.contains("seed")) {
            request.seed = script.at("seed").get<std::uint64_t>();
        }
        if (const Status drawn = drawExam(session, request); !drawn) {
            return fail(drawn.error().message);
        }
        const std::vector<ExamQuestion>& exam = session.questions();
        ExamEngine& engine = session.engine();
        engine.setElapsedSeconds(script.value("elapsed", 0));
        const json answers = script.value("answers", json::array());
        // What each position's style window reported; absent for the choice styles.
        std::vector<std::optional<bool>> styleSolved(exam.size());
        for (std::size_t k = 0; k < exam.size() && k < answers.size(); ++k) {
            std::array<bool, kMaxChoices> marks{};
            const StyleHandoff handoff =
                styleHandoff(answerStyle(exam[k].Style), exam[k].ShownChoice, {});
            const std::string where = "answers[" + std::to_string(k) + "]";
            if (answers[k].contains("actions")) {
                if (traitsOf(exam[k].Style).scannedSlots == 0) {
                    return fail(where + ".actions: この問題は選択肢で答える形式です");
                }
                const auto actions = parseActions(answers[k].at("actions"), handoff.style);
                if (!actions) {
                    return fail(where + "." + actions.error().message);
                }
                const bool solved = replayStyleActions(handoff, *actions);
                if (solved && handoff.answerSlot > 0) {
                    marks[handoff.answerSlot - 1] = true;
                }
            } else if (!applyPick(answers[k].value("pick", json("none")), exam[k], marks)) {
                return fail(where + ".pick が正しくありません");
            }
            if (traitsOf(exam[k].Style).scannedSlots > 0) {
                // Solved exactly when the marks are what a solved window leaves.
                styleSolved[k] = handoff.answerSlot > 0 &&
                                 std::count(marks.begin(), marks.end(), true) == 1 &&
                                 marks[handoff.answerSlot - 1];
            }
            const int position = static_cast<int>(k) + 1;
            engine.recordAnswer(position, marks, false);
            engine.recordTime(position, answers[k].value("time", 0));
        }
        ExamDate date;
        if (!parseNow(script.value("now", std::string()), date)) {
            const std::time_t t = std::time(nullptr);
            const std::tm* lt = std::localtime(&t);
            date = {lt->tm_year + 1900, lt->tm_mon + 1, lt->tm_mday, lt->tm_hour, lt->tm_min};
        }
        session.grade(labels);
        const Grading& grading = session.grading();
        const json profileJson = script.value("profile", json::object());
        const app::Profile profile{
            profileJson.value("Name", std::string()), profileJson.value("Org", std::string()),
            profileJson.value("Email", std::string()), profileJson.value("Serial", std::string())};
        if (!outputs.viewsDir.empty()) {
            ExamViewsRequest views{outputs.viewsDir, root + "bin/", root + "QDAT/" + vendor + "/",
                                   labels, profile};
            if (const int code = writeExamViews(session, views); code != 0) {
                return code;
            }
        }
        if (!outputs.printDir.empty()) {
            if (const int code = writePrintOutputs(session, root, date, profile, outputs.printDir);
                code != 0) {
                return code;
            }
        }
        if (const Status st = session.save(date); !st) {
            return fail(st.error().describe());
        }
        json positions = json::array();
        std::vector<ExamPosition> tally;
        for (std::size_t k = 0; k < exam.size(); ++k) {
            positions.push_back({{"BankSlot", exam[k].BankSlot},
                                 {"QuesNum", exam[k].QuesNum},
                                 {"PositionCorrect", grading.PositionCorrect[k] ? 1 : 0},
                                 {"StyleSolved", styleSolved[k] ? json(*styleSolved[k]) : json()}});
            tally.push_back({exam[k].BankSlot, bank.question(exam[k].BankSlot).Category,
                             static_cast<bool>(grading.PositionCorrect[k])});
        }
        const json out = {{"positions", positions},
                          {"CorrectTotal", grading.CorrectTotal},
                          {"ExamRate", grading.ExamRate},
                          {"CategoryRate", categoryRates(tally)}};
        std::printf("%s\n", out.dump(2).c_str());
        return 0;
    } catch (const json::exception& e) {
        return fail(scriptPath + ": " + e.what());
    }
}

}  // namespace tovalo::tool
