#include "core/results/history_file.h"

#include <algorithm>

#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/text/cp932.h"

namespace tovalo {

namespace {

constexpr std::size_t kExamsAt = 512;
constexpr std::size_t kBestAt = 602;
constexpr std::size_t kAverageAt = 603;
constexpr std::size_t kReservedAt = 604;
constexpr std::size_t kCategoriesAt = 608;
constexpr std::size_t kEndMarkAt = 958;
constexpr std::size_t kCorrectAt = 960;
constexpr std::size_t kWrongAt = 1460;

std::string pathField(std::string_view questionFilePath) {
    std::string path = text::utf8ToCp932(questionFilePath);
    path.resize(std::min(path.size(), kHistoryPathField));
    return path;
}

unsigned char byteOf(int v) {
    return static_cast<unsigned char>(std::clamp(v, 0, 255));
}

}  // namespace

std::string emptyHistoryFile(std::string_view questionFilePath) {
    HistoryFile h;
    h.QuestionFilePath = pathField(questionFilePath);
    return historyFileBytes(h);
}

Status createEmptyHistoryFile(const std::string& path, std::string_view questionFilePath) {
    // An empty history holds nothing to lose and is made again whenever it
    // is missing, so it need not wait for the disk: a first listing of a
    // hundred courses would otherwise wait for two hundred syncs.
    return saveFileAtomically(path, emptyHistoryFile(questionFilePath), Durability::Replaceable);
}

std::function<Status(const std::string& path)> emptyHistoryFiles(std::string questionFilePath) {
    return [qdf = std::move(questionFilePath)](const std::string& path) {
        return createEmptyHistoryFile(path, qdf);
    };
}

HistoryFile parseHistoryFile(std::string_view bytes) {
    auto at = [&bytes](std::size_t i) -> int {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
    };
    HistoryFile h;
    std::string path(bytes.substr(std::min<std::size_t>(4, bytes.size()), kHistoryPathField));
    path.erase(std::find(path.begin(), path.end(), '\x0B'), path.end());
    h.QuestionFilePath = path;
    for (int s = 0; s < kHistoryExams; ++s) {
        const std::size_t r = kExamsAt + s * 9;
        ExamRecord& e = h.exams[s];
        e.Minutes = at(r);
        e.Month = at(r + 1);
        e.Day = at(r + 2);
        e.Hour = at(r + 3);
        e.Minute = at(r + 4);
        e.Rate = at(r + 5);
        e.Mode = at(r + 6);
        e.QuestionCount = at(r + 7) | (at(r + 8) << 8);
    }
    h.BestRate = at(kBestAt);
    h.AverageRate = at(kAverageAt);
    for (int i = 0; i < 4; ++i) {
        h.reserved[i] = static_cast<unsigned char>(at(kReservedAt + i));
    }
    for (int c = 0; c < kHistoryCategories; ++c) {
        const std::size_t r = kCategoriesAt + c * 7;
        CategoryRecord& cat = h.categories[c];
        for (int k = 0; k < 5; ++k) {
            cat.RecentRates[k] = at(r + k);
        }
        cat.CategoryAverage = at(r + 5);
        cat.CategoryBest = at(r + 6);
    }
    for (int q = 0; q < kHistoryQuestions; ++q) {
        h.CorrectCount[q] = at(kCorrectAt + q);
        h.WrongCount[q] = at(kWrongAt + q);
    }
    return h;
}

Result<HistoryFile> readHistoryFile(const std::string& path) {
    auto bytes = readFileIfPresent(path);
    if (!bytes) {
        return bytes.error();
    }
    return parseHistoryFile(bytes->has_value() ? std::string_view(**bytes) : std::string_view{});
}

std::string historyFileBytes(const HistoryFile& h) {
    std::string f(kHistoryFileSize, '\0');
    f.replace(0, 4, ".HIS");
    const std::string path = h.QuestionFilePath.substr(0, kHistoryPathField);
    f.replace(4, path.size(), path);
    std::fill(f.begin() + 4 + path.size(), f.begin() + 4 + kHistoryPathField, '\x0B');
    for (int s = 0; s < kHistoryExams; ++s) {
        const std::size_t r = kExamsAt + s * 9;
        const ExamRecord& e = h.exams[s];
        f[r] = byteOf(e.Minutes);
        f[r + 1] = byteOf(e.Month);
        f[r + 2] = byteOf(e.Day);
        f[r + 3] = byteOf(e.Hour);
        f[r + 4] = byteOf(e.Minute);
        f[r + 5] = byteOf(e.Rate);
        f[r + 6] = byteOf(e.Mode);
        const int n = std::clamp(e.QuestionCount, 0, 0xFFFF);
        f[r + 7] = static_cast<char>(n & 0xFF);
        f[r + 8] = static_cast<char>(n >> 8);
    }
    f[kBestAt] = byteOf(h.BestRate);
    f[kAverageAt] = byteOf(h.AverageRate);
    for (int i = 0; i < 4; ++i) {
        f[kReservedAt + i] = static_cast<char>(h.reserved[i]);
    }
    for (int c = 0; c < kHistoryCategories; ++c) {
        const std::size_t r = kCategoriesAt + c * 7;
        const CategoryRecord& cat = h.categories[c];
        for (int k = 0; k < 5; ++k) {
            f[r + k] = byteOf(cat.RecentRates[k]);
        }
        f[r + 5] = byteOf(cat.CategoryAverage);
        f[r + 6] = byteOf(cat.CategoryBest);
    }
    f[kEndMarkAt] = '\xFF';
    f[kEndMarkAt + 1] = '\xFF';
    for (int q = 0; q < kHistoryQuestions; ++q) {
        f[kCorrectAt + q] = byteOf(h.CorrectCount[q]);
        f[kWrongAt + q] = byteOf(h.WrongCount[q]);
    }
    return f;
}

Status saveHistoryFile(const std::string& path, const HistoryFile& history) {
    return saveFileAtomically(path, historyFileBytes(history));
}

std::array<int, kHistoryCategories> categoryRates(const std::vector<ExamPosition>& positions) {
    std::array<int, kHistoryCategories> right{};
    std::array<int, kHistoryCategories> wrong{};
    for (const ExamPosition& p : positions) {
        if (p.Category < 1 || p.Category > kHistoryCategories) {
            continue;
        }
        (p.correct ? right : wrong)[p.Category - 1] += 1;
    }
    std::array<int, kHistoryCategories> rates{};
    for (int c = 0; c < kHistoryCategories; ++c) {
        const int asked = right[c] + wrong[c];
        rates[c] = asked > 0 ? right[c] * 100 / asked : kNotInExam;
    }
    return rates;
}

int emptyStoredSlots(const HistoryFile& history) {
    return static_cast<int>(std::count_if(history.exams.begin(), history.exams.end() - 1,
                                          [](const ExamRecord& r) { return r.empty(); }));
}

int averageRateWith(const HistoryFile& history, int examRate) {
    int sum = examRate;
    for (int s = 0; s < kHistoryExams - 1; ++s) {
        sum += history.exams[s].Rate;
    }
    return sum / (kHistoryExams - emptyStoredSlots(history));
}

void recordExam(HistoryFile& h, const GradedExam& exam, std::string_view qdfPath) {
    for (const ExamPosition& p : exam.positions) {
        if (p.BankSlot < 1 || p.BankSlot > kHistoryQuestions) {
            continue;
        }
        // One byte each in the file: a count stops at 255 instead of wrapping to 0.
        int& count = (p.correct ? h.CorrectCount : h.WrongCount)[p.BankSlot - 1];
        count = std::min(count + 1, 255);
    }
    h.QuestionFilePath = pathField(qdfPath);

    const int average = averageRateWith(h, exam.ExamRate);
    std::move_backward(h.exams.begin(), h.exams.end() - 1, h.exams.end());
    ExamRecord& e = h.exams[0];
    e.Minutes = std::min(exam.ElapsedSeconds / 60, 255);
    e.Month = exam.Month;
    e.Day = exam.Day;
    e.Hour = exam.Hour;
    e.Minute = exam.Minute;
    e.Rate = exam.ExamRate;
    e.Mode = exam.Mode;
    e.QuestionCount = static_cast<int>(exam.positions.size());
    h.BestRate = std::max(h.BestRate, exam.ExamRate);
    h.AverageRate = average;
    h.reserved = {0, 0, 0, 0};

    const auto rates = categoryRates(exam.positions);
    for (int c = 0; c < kHistoryCategories; ++c) {
        if (rates[c] == kNotInExam) {
            continue;
        }
        CategoryRecord& cat = h.categories[c];
        const auto old = cat.RecentRates;
        const int x = rates[c];
        cat.RecentRates = {x, old[0], old[1], old[2], old[3]};
        // h counts the values from x back to the oldest non-zero old rate.
        int zeros = 0;
        for (int k = 3; k >= 0 && old[k] == 0; --k) {
            ++zeros;
        }
        const int span = 5 - zeros;
        cat.CategoryAverage = (x + old[0] + old[1] + old[2] + old[3]) / span;
        cat.CategoryBest = std::max(cat.CategoryBest, x);
    }
}

}  // namespace tovalo
