#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/common/files.h"
#include "core/questions/qdf_source.h"
#include "core/questions/question_file.h"
#include "tools/commands.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

void printJson(const json& j) {
    std::printf("%s\n", j.dump(2).c_str());
}

int fail(const Error& e) {
    return tool::fail(e.describe());
}

json bankToJson(const QuestionBank& bank) {
    json categories = json::array();
    for (const CategorySlot& c : bank.categories) {
        categories.push_back({{"CategoryName", c.CategoryName},
                              {"CategoryQuesCount", c.CategoryQuesCount},
                              {"SubCategoryName", c.SubCategoryName},
                              {"SubCategoryQuesCount", c.SubCategoryQuesCount}});
    }
    json questions = json::array();
    for (int slot = 1; slot <= static_cast<int>(bank.questions.size()); ++slot) {
        const QuestionRecord& q = bank.question(slot);
        const QuestionTexts t = bank.texts(slot);
        questions.push_back({{"QuesNum", q.QuesNum},
                             {"Category", q.Category},
                             {"SubCategory", q.SubCategory},
                             {"QuesText", t.QuesText},
                             {"ChoiceCount", q.ChoiceCount},
                             {"ShowCount", q.ShowCount},
                             {"AnswerCount", q.AnswerCount},
                             {"Style", q.Style},
                             {"Choice", t.Choice},
                             {"Explanation", t.Explanation},
                             {"RefText", t.RefText},
                             {"RefPage", t.RefPage},
                             {"CbtHint", t.CbtHint},
                             {"CbtFile", t.CbtFile}});
    }
    return {{"ExamQuesCount", bank.ExamQuesCount},
            {"ExamTimeLimit", bank.ExamTimeLimit},
            {"QuesTotal", bank.QuesTotal},
            {"CategoryCount", bank.CategoryCount},
            {"categories", categories},
            {"questions", questions}};
}

json optionalNumber(const std::optional<int>& v) {
    return v ? json(*v) : json(nullptr);
}

json headerToJson(const QdfHeader& h) {
    return {{"FormatKind", h.FormatKind},
            {"PassMark", h.PassMark},
            {"ExamCode", h.ExamCode},
            {"ExamTitle", h.ExamTitle},
            {"Level1", h.Level1},
            {"Level2", h.Level2},
            {"Level3", h.Level3},
            {"Level4", h.Level4},
            {"Level3b", h.Level3b},
            {"QdfDate", h.QdfDate},
            {"ShuffleOrder", h.ShuffleOrder},
            {"QuesTotal", h.QuesTotal},
            {"ExamQuesCount", optionalNumber(h.ExamQuesCount)},
            {"ExamTimeLimit", optionalNumber(h.ExamTimeLimit)}};
}

int dump(const std::string& path) {
    QuestionBank bank;
    const Status st = LoadQuestionBank(bank, path);
    if (!st) {
        return fail(st.error());
    }
    printJson(bankToJson(bank));
    return 0;
}

int header(const std::string& path) {
    auto h = readQdfHeader(path);
    if (!h) {
        return fail(h.error());
    }
    printJson(headerToJson(*h));
    return 0;
}

int unpack(const std::string& path) {
    auto stored = readWholeFile(path);
    if (!stored) {
        return fail(stored.error());
    }
    auto source = unpackQuestionFile(*stored, path);
    if (!source) {
        return fail(source.error());
    }
    std::fwrite(source->data(), 1, source->size(), stdout);
    return 0;
}

int pack(const std::string& sourcePath, const std::string& outPath) {
    auto source = readWholeFile(sourcePath);
    if (!source) {
        return fail(source.error());
    }
    auto stored = packQuestionSource(*source, sourcePath);
    if (!stored) {
        return fail(stored.error());
    }
    return writeFileBytes(outPath, *stored) ? 0 : 1;
}

int check(const Args& paths) {
    int problems = 0;
    for (const std::string& path : paths) {
        for (const Error& e : checkQuestionFile(path)) {
            std::fprintf(stderr, "%s\n", e.describe().c_str());
            ++problems;
        }
    }
    if (problems > 0) {
        std::fprintf(stderr, "%d 件の問題があります\n", problems);
        return 1;
    }
    std::printf("%zu 個のファイルに問題はありません\n", paths.size());
    return 0;
}

}  // namespace

int qdfCommand(const Args& args) {
    if (args.size() == 2 && args[0] == "dump") {
        return dump(args[1]);
    }
    if (args.size() == 2 && args[0] == "header") {
        return header(args[1]);
    }
    if (args.size() == 2 && args[0] == "unpack") {
        return unpack(args[1]);
    }
    if (args.size() == 3 && args[0] == "pack") {
        return pack(args[1], args[2]);
    }
    if (args.size() >= 2 && args[0] == "check") {
        return check(Args(args.begin() + 1, args.end()));
    }
    return 2;
}

}  // namespace tovalo::tool
