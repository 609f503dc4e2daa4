#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/results/history_file.h"
#include "server/service/published_courses.h"
#include "server/store/store.h"

// A learner's page: per course the history the program shows (the chart of
// the last ten exams, the category rates, the verdict) and the weakest
// categories over all their courses, all worked out by the core.
namespace tovalo::server::console {

// The chart of a history's ten newest exams as SVG, drawn from the same
// numbers as the result screen's chart; `id` names it for its label.
std::string historyChartSvg(const HistoryFile& history, std::optional<int> timeLimitMinutes,
                            const std::string& id);

// The main content of the learner's page. `histories` are the current
// copies of the learner's courses; `catalog` names their categories.
std::string learnerMain(const store::Learner& learner,
                        const std::vector<store::HistoryVersion>& histories,
                        const service::PublishedCatalog& catalog);

}  // namespace tovalo::server::console
