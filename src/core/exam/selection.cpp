#include "core/exam/selection.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/common/files.h"
#include "core/questions/numbers.h"
#include "core/styles/answer_style.h"
#include "core/text/cp932.h"
#include "core/text/trim.h"

namespace tovalo {

CategoryChecks CategoryChecks::allChecked(const QuestionBank& bank) {
    CategoryChecks checks;
    checks.minor.resize(bank.categories.size());
    for (std::size_t c = 0; c < bank.categories.size(); ++c) {
        if (!categoryShown(bank.categories[c])) {
            continue;
        }
        const int listed = listedSubCategories(bank.categories[c]);
        for (int s = 0; s < listed; ++s) {
            checks.minor[c][s] = true;
        }
    }
    return checks;
}

bool CategoryChecks::isChecked(int category, int sub) const {
    if (category < 1 || category > static_cast<int>(minor.size()) || sub < 1 ||
        sub > kSubCategories) {
        return false;
    }
    return minor[category - 1][sub - 1];
}

void CategoryChecks::setAll(bool on) {
    for (auto& subs : minor) {
        subs.fill(on);
    }
}

int CategoryChecks::checkedMinorCount(int category) const {
    if (category < 1 || category > static_cast<int>(minor.size())) {
        return 0;
    }
    return static_cast<int>(
        std::count(minor[category - 1].begin(), minor[category - 1].end(), true));
}

int listedSubCategories(const CategorySlot& category) {
    int n = 0;
    while (n < kSubCategories && !text::trim(category.SubCategoryName[n]).empty()) {
        ++n;
    }
    return n;
}

bool categoryShown(const CategorySlot& category) {
    return !text::trim(category.CategoryName).empty();
}

int availableCount(const QuestionBank& bank, const CategoryChecks& checks) {
    int sum = 0;
    for (int c = 1; c <= bank.CategoryCount; ++c) {
        for (int s = 1; s <= kSubCategories; ++s) {
            if (checks.isChecked(c, s)) {
                sum += bank.category(c).SubCategoryQuesCount[s - 1];
            }
        }
    }
    return sum;
}

CountAndTime defaultCountAndTime(const QuestionBank& bank, int available) {
    if (available < bank.ExamQuesCount) {
        return {available,
                static_cast<int>(roundHalfEven(
                    static_cast<long long>(bank.ExamTimeLimit) * available, bank.ExamQuesCount))};
    }
    return {bank.ExamQuesCount, bank.ExamTimeLimit};
}

CountAndTime lockedCountAndTime(const QuestionBank& bank, int available) {
    if (bank.ExamQuesCount < available) {
        return {bank.ExamQuesCount, bank.ExamTimeLimit};
    }
    return {available, static_cast<int>(roundHalfEven(3LL * available, 2))};
}

bool onlyDigits(const std::string& fieldText) {
    return std::all_of(fieldText.begin(), fieldText.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

StartCheck validateStart(const std::string& countField, const std::string& timeField,
                         SelectionMode mode, int available, bool adaptive) {
    StartCheck r;
    r.settings.mode = mode;
    r.settings.AdaptiveOn = adaptive;
    r.settings.AvailableCount = available;
    r.settings.TimeLimitOn = true;
    r.settings.CountField = countField;
    r.settings.TimeField = timeField;
    const auto count = parseFileInteger(countField);
    const auto minutes = parseFileInteger(timeField);
    if (!count || !minutes) {
        r.message = "出題数と制限時間を確認してください";
        r.focusCountField = true;
        return r;
    }
    r.settings.TimeLimitSeconds = *minutes * 60;
    if (*minutes < 0) {
        r.message = "制限時間が不正です。確認してください。";
        return r;
    }
    if (*minutes == 0) {
        r.settings.TimeLimitOn = false;
    }
    if (*count <= 0) {
        if (available == 0) {
            r.message = "選択しているカテゴリには問題がありません";
        } else {
            r.message = "問題数を増やしてください";
            r.focusCountField = true;
        }
        return r;
    }
    if (*count > available) {
        r.message = "問題はそんなにありません";
        r.focusCountField = true;
        return r;
    }
    r.settings.RequestedCount = *count;
    r.ok = true;
    return r;
}

RandomSource RandomSource::fromClock() {
    return RandomSource(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   std::chrono::system_clock::now().time_since_epoch().count()));
}

std::array<int, kMaxQuestions> readTrainingWeights(const std::string& historyPath) {
    std::array<int, kMaxQuestions> weights{};
    auto bytes = readWholeFile(historyPath);
    if (!bytes) {
        return weights;
    }
    constexpr std::size_t kCorrectCounts = 960;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const std::size_t at = kCorrectCounts + i;
        weights[i] = at < bytes->size() ? static_cast<unsigned char>((*bytes)[at]) : 0;
    }
    return weights;
}

namespace {

struct Candidate {
    int slot;    // bank slot, 1-based
    int weight;  // training weight, 0 in the other modes
};

// The balanced draw over the major and minor categories: quotas per
// category and per minor category, widened pass by pass until N are taken.
std::vector<int> balancedDraw(const QuestionBank& bank, const CategoryChecks& checks,
                              const std::vector<Candidate>& order, int n) {
    const int categories = std::max(bank.CategoryCount, 1);
    const int available = static_cast<int>(order.size());
    int catQuota = n / categories;
    std::vector<int> subQuota(kCategorySlots + 1, 0);
    for (int c = 1; c <= bank.CategoryCount; ++c) {
        const int checked = checks.checkedMinorCount(c);
        if (checked > 0) {
            const double share = static_cast<double>(n) / (checked * categories);
            subQuota[c] = share >= 1.0 ? static_cast<int>(share) : -1;
        }
    }
    std::vector<int> catTaken(kCategorySlots + 1, 0);
    std::vector<std::array<int, kSubCategories + 1>> subTaken(kCategorySlots + 1);
    std::vector<bool> taken(order.size(), false);
    std::vector<int> picked;
    picked.reserve(n);
    for (;;) {
        // Whether a candidate with room in its minor category was refused
        // only because its major category was full.
        bool heldByCategory = false;
        for (std::size_t i = 0; i < order.size() && static_cast<int>(picked.size()) < n; ++i) {
            if (taken[i]) {
                continue;
            }
            const QuestionRecord& q = bank.question(order[i].slot);
            if (subTaken[q.Category][q.SubCategory] >= subQuota[q.Category]) {
                continue;
            }
            if (catTaken[q.Category] >= catQuota) {
                heldByCategory = true;
                continue;
            }
            taken[i] = true;
            ++subTaken[q.Category][q.SubCategory];
            ++catTaken[q.Category];
            picked.push_back(order[i].slot);
        }
        if (static_cast<int>(picked.size()) >= n) {
            return picked;
        }
        bool anyNegative = false;
        for (int c = 1; c <= bank.CategoryCount; ++c) {
            if (subQuota[c] < 0) {
                subQuota[c] += 2;
                anyNegative = true;
            }
        }
        if (anyNegative) {
            continue;
        }
        if (catQuota < available) {
            // When only minor quotas held candidates back, every pass with a
            // wider major quota would take nothing until it reaches its end.
            catQuota = heldByCategory ? catQuota + 1 : available;
        } else {
            for (int c = 1; c <= bank.CategoryCount; ++c) {
                if (subQuota[c] != 0) {
                    ++subQuota[c];
                }
            }
        }
    }
}

}  // namespace

void drawChoices(const QuestionRecord& record, std::array<std::string, kMaxChoices> choices,
                 ExamQuestion& out, RandomSource& random) {
    const int a = record.ChoiceCount;
    const int z = record.ShowCount;
    const int u = record.AnswerCount;
    struct Working {
        std::string* text;
        bool correct;
    };
    std::vector<Working> working(z);
    for (int k = 0; k < u; ++k) {
        working[k] = {&choices[k], true};
    }
    std::vector<int> wrong;  // choice indexes (0-based) not yet drawn
    for (int k = u; k < a; ++k) {
        wrong.push_back(k);
    }
    for (int k = z - u; k >= 1; --k) {
        const int r = random.uniform(1, static_cast<int>(wrong.size()));
        working[u + k - 1] = {&choices[wrong[r - 1]], false};
        wrong.erase(wrong.begin() + (r - 1));
    }
    for (int k = z; k >= 1; --k) {
        const int r = random.uniform(1, k);
        out.ShownChoice[k - 1] = std::move(*working[r - 1].text);  // each is drawn once
        out.ShownCorrect[k - 1] = working[r - 1].correct;
        working.erase(working.begin() + (r - 1));
    }
    for (int k = z; k < kMaxChoices; ++k) {
        out.ShownChoice[k].clear();
        out.ShownCorrect[k] = false;
    }
    if (traitsOf(record.Style).keyedChoices) {
        // Sorted by the two-character key at the front, byte-wise on the
        // stored (CP932) text, which is how the keys were meant to order.
        std::vector<std::string> keys(z);
        for (int k = 0; k < z; ++k) {
            keys[k] = text::utf8ToCp932(out.ShownChoice[k]);
        }
        for (int i = 0; i < z; ++i) {
            for (int j = 0; j < z; ++j) {
                if (keys[i] < keys[j]) {
                    std::swap(keys[i], keys[j]);
                    std::swap(out.ShownChoice[i], out.ShownChoice[j]);
                    std::swap(out.ShownCorrect[i], out.ShownCorrect[j]);
                }
            }
        }
    }
}

std::vector<ExamQuestion> SelectQuestions(const QuestionBank& bank, const CategoryChecks& checks,
                                          const SelectionSettings& settings, bool shuffleOrder,
                                          const std::array<int, kMaxQuestions>& weights,
                                          RandomSource& random) {
    const bool training = settings.mode == SelectionMode::Training;
    std::vector<Candidate> remaining;
    const int total = std::min<int>(bank.QuesTotal, static_cast<int>(bank.questions.size()));
    for (int i = 1; i <= total; ++i) {
        const QuestionRecord& q = bank.question(i);
        if (checks.isChecked(q.Category, q.SubCategory)) {
            remaining.push_back({i, training ? weights[i - 1] : 0});
        }
    }
    const int n = static_cast<int>(remaining.size());
    std::vector<Candidate> order(n);
    for (int p = n; p >= 1; --p) {
        const int r = shuffleOrder ? random.uniform(1, p) : p;
        order[p - 1] = remaining[r - 1];
        remaining.erase(remaining.begin() + (r - 1));
    }
    // The draw scans the first AvailableCount candidates; never more than exist.
    order.resize(std::min(n, std::max(settings.AvailableCount, 0)));
    const int wanted = std::min(settings.RequestedCount, static_cast<int>(order.size()));

    std::vector<int> slots;
    if (training) {
        std::stable_sort(order.begin(), order.end(), [](const Candidate& l, const Candidate& r) {
            return l.weight < r.weight;
        });
        for (int k = 0; k < wanted; ++k) {
            slots.push_back(order[k].slot);
        }
    } else if (wanted > 0) {
        slots = balancedDraw(bank, checks, order, wanted);
    }

    // Only the drawn questions' texts are decoded. Building a question
    // draws nothing, so each one's choices can be drawn as it is built.
    std::vector<ExamQuestion> exam(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const QuestionRecord& q = bank.question(slots[i]);
        ExamQuestion& e = exam[i];
        e.BankSlot = slots[i];
        e.QuesNum = q.QuesNum;
        e.Style = q.Style;
        e.QuesText = bank.text(q.QuesText);
        e.Explanation = bank.text(q.Explanation);
        e.ChoiceCount = q.ChoiceCount;
        e.ShowCount = q.ShowCount;
        e.AnswerCount = q.AnswerCount;
        e.RefText = bank.texts(q.RefText);
        e.RefPage = bank.texts(q.RefPage);
        e.CbtFile = bank.texts(q.CbtFile);
        e.CbtHint = bank.texts(q.CbtHint);
        drawChoices(q, bank.texts(q.Choice), e, random);
    }
    return exam;
}

}  // namespace tovalo
