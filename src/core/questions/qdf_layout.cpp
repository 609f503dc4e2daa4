#include "core/questions/qdf_layout.h"

#include "core/questions/question_bank.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

constexpr int kHeaderLines = 10;
constexpr int kSkippedLines = 11;

// The marker test is a template parameter so that the loader's, asked about
// every line of every text block, is a direct call rather than one through
// std::function.
template <class IsMarker>
class Walker {
  public:
    Walker(std::size_t count, const IsMarker& isMarker, const std::string& path)
        : count_(count), isMarker_(isMarker), path_(path) {
        roles_.reserve(count);
    }

    QdfLayout run() {
        static constexpr QdfField kHeader[kHeaderLines] = {
            QdfField::FormatTag,  QdfField::CountAndPassMark, QdfField::TimeLimit,
            QdfField::HeaderText, QdfField::HeaderText,       QdfField::HeaderText,
            QdfField::HeaderText, QdfField::HeaderText,       QdfField::HeaderText,
            QdfField::QuesTotal};
        for (QdfField f : kHeader) {
            // Text header lines may be missing at the very end of a broken
            // file; only the numbers the loader reads are required.
            const bool needed = f != QdfField::HeaderText && f != QdfField::FormatTag;
            if (!take(f, 0, 0, needed)) {
                return {std::move(roles_), std::move(error_)};
            }
        }
        if (!categories() || !records()) {
            return {std::move(roles_), std::move(error_)};
        }
        while (next_ < count_) {
            roles_.push_back({QdfField::AfterEnd, 0, 0});
            ++next_;
        }
        return {std::move(roles_), std::nullopt};
    }

  private:
    // Records the role of the next line; a required line past the end of the
    // file is an error, as the loader would read an empty value there.
    bool take(QdfField f, int owner, int item, bool required = true) {
        if (next_ >= count_) {
            if (required) {
                error_ = Error{"'' は整数ではありません", path_, static_cast<int>(next_ + 1)};
                if (isTextField(f) || f == QdfField::Closing) {
                    error_.message = "ファイルが途中で終わっています";
                }
                return false;
            }
            return true;
        }
        roles_.push_back({f, static_cast<std::uint16_t>(owner), static_cast<std::uint8_t>(item)});
        ++next_;
        return true;
    }

    bool block(QdfField text, QdfField end, int owner, int item) {
        const std::string_view marker = markerFor(text);
        const std::size_t startLine = next_ + 1;
        while (next_ < count_) {
            if (isMarker_(next_, marker)) {
                return take(end, owner, item);
            }
            roles_.push_back(
                {text, static_cast<std::uint16_t>(owner), static_cast<std::uint8_t>(item)});
            ++next_;
        }
        error_ =
            Error{"ファイルが途中で終わっています: " + std::to_string(startLine) +
                      "行目から始まる文章に終わりの \"" + std::string(marker) + "\" がありません",
                  path_, static_cast<int>(count_)};
        return false;
    }

    bool categories() {
        for (int slot = 1; slot <= kCategorySlots; ++slot) {
            if (next_ < count_ && isMarker_(next_, "*CE")) {
                return take(QdfField::CategoryEnd, 0, 0);
            }
            if (slot == kCategorySlots) {
                error_ = Error{
                    "カテゴリが多すぎます: 49個までのところ、50個目のカテゴリの位置に "
                    "\"*CE\" がありません",
                    path_, static_cast<int>(next_ + 1)};
                return false;
            }
            if (!take(QdfField::CategoryName, slot, 0) ||
                !take(QdfField::CategoryQuesCount, slot, 0)) {
                return false;
            }
            for (int k = 1; k <= kSubCategories; ++k) {
                if (!take(QdfField::SubCategoryName, slot, k) ||
                    !take(QdfField::SubCategoryQuesCount, slot, k)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool records() {
        for (int j = 1;; ++j) {
            if (next_ >= count_) {
                return true;
            }
            if (j > kMaxQuestions) {
                error_ = Error{"問題が多すぎます: 1つの問題ファイルに入る問題は500問までです",
                               path_, static_cast<int>(next_ + 1)};
                return false;
            }
            if (!take(QdfField::QuesNum, j, 0) || !take(QdfField::Category, j, 0) ||
                !take(QdfField::SubCategory, j, 0) ||
                !block(QdfField::QuesText, QdfField::QuesTextEnd, j, 0) ||
                !take(QdfField::ChoiceCount, j, 0) || !take(QdfField::ShowCount, j, 0) ||
                !take(QdfField::AnswerCount, j, 0) || !take(QdfField::Style, j, 0)) {
                return false;
            }
            for (int k = 1; k <= kMaxChoices; ++k) {
                if (!block(QdfField::Choice, QdfField::ChoiceEnd, j, k)) {
                    return false;
                }
            }
            for (int s = 0; s < kSkippedLines; ++s) {
                // The loader skips these lines one by one; past the end of
                // the file it reads nothing and carries on.
                if (!take(QdfField::Skipped, j, 0, false)) {
                    return false;
                }
            }
            if (!block(QdfField::Explanation, QdfField::ExplanationEnd, j, 0)) {
                return false;
            }
            for (int r = 1; r <= kRefNotes; ++r) {
                if (!take(QdfField::RefText, j, r, false) ||
                    !take(QdfField::RefPage, j, r, false)) {
                    return false;
                }
            }
            for (int d = 1; d <= kCbtDocs; ++d) {
                if (!take(QdfField::CbtHint, j, d, false) ||
                    !take(QdfField::CbtFile, j, d, false)) {
                    return false;
                }
            }
            if (next_ >= count_) {
                return true;  // a file may end right after the last record's fields
            }
            const bool last = isMarker_(next_, "*EOF");
            roles_.push_back({QdfField::Closing, static_cast<std::uint16_t>(j), 0});
            ++next_;
            if (last) {
                return true;
            }
        }
    }

    std::size_t count_;
    const IsMarker& isMarker_;
    const std::string& path_;
    std::size_t next_ = 0;
    std::vector<LineRole> roles_;
    Error error_;
};

}  // namespace

bool storedLineIsMarker(std::string_view line, std::string_view marker) {
    return text::trim(line) == marker;
}

std::string_view markerFor(QdfField field) {
    switch (field) {
        case QdfField::QuesText:
            return "*QE";
        case QdfField::Choice:
            return "*AE";
        case QdfField::Explanation:
            return "*EE";
        case QdfField::CategoryName:
            return "*CE";
        default:
            return {};
    }
}

bool isTextField(QdfField field) {
    switch (field) {
        case QdfField::CategoryName:
        case QdfField::SubCategoryName:
        case QdfField::QuesText:
        case QdfField::Choice:
        case QdfField::Explanation:
        case QdfField::RefText:
        case QdfField::RefPage:
        case QdfField::CbtHint:
        case QdfField::CbtFile:
            return true;
        default:
            return false;
    }
}

bool refLineIsEmpty(std::string_view storedLine) {
    const std::string_view t = text::trim(storedLine);
    return t.empty() || t == "Null";
}

QdfLayout classifyQdfLines(std::size_t lineCount, const MarkerTest& isMarker,
                           const std::string& path) {
    return Walker<MarkerTest>(lineCount, isMarker, path).run();
}

QdfLayout classifyStoredQdfLines(const std::vector<std::string_view>& lines,
                                 const std::string& path) {
    const auto isMarker = [&lines](std::size_t i, std::string_view marker) {
        return storedLineIsMarker(lines[i], marker);
    };
    return Walker<decltype(isMarker)>(lines.size(), isMarker, path).run();
}

}  // namespace tovalo
