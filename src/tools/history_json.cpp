#include "tools/history_json.h"

#include "core/results/history_file.h"
#include "core/text/cp932.h"

namespace tovalo::tool {

nlohmann::ordered_json historyJson(std::string_view bytes) {
    using json = nlohmann::ordered_json;
    const HistoryFile h = parseHistoryFile(bytes);
    json exams = json::array();
    for (const ExamRecord& e : h.exams) {
        exams.push_back({{"Minutes", e.Minutes},
                         {"Month", e.Month},
                         {"Day", e.Day},
                         {"Hour", e.Hour},
                         {"Minute", e.Minute},
                         {"Rate", e.Rate},
                         {"Mode", e.Mode},
                         {"QuestionCount", e.QuestionCount}});
    }
    json categories = json::array();
    for (const CategoryRecord& c : h.categories) {
        categories.push_back({{"RecentRates", c.RecentRates},
                              {"CategoryAverage", c.CategoryAverage},
                              {"CategoryBest", c.CategoryBest}});
    }
    return {{"Magic", text::cp932ToUtf8(bytes.substr(0, 4))},
            {"QuestionFilePath", text::cp932ToUtf8(h.QuestionFilePath)},
            {"ExamRecord", exams},
            {"BestRate", h.BestRate},
            {"AverageRate", h.AverageRate},
            {"Reserved", h.reserved},
            {"CategoryRecord", categories},
            {"CorrectCount", h.CorrectCount},
            {"WrongCount", h.WrongCount},
            {"Size", bytes.size()}};
}

}  // namespace tovalo::tool
