#pragma once

// The walk over the line structure of a question file, for the readers in
// this folder. The loader acts on each line as the walk reaches it, with no
// list of lines or roles in between; classifyQdfLines lists the roles. Both
// go through this one walk, so they cannot disagree on where a field stands.

#include <string>
#include <string_view>

#include "core/common/result.h"
#include "core/questions/qdf_layout.h"
#include "core/questions/question_bank.h"

namespace tovalo::qdf {

// `Lines` gives the lines in order: atEnd(), line(), index() (0-based; at
// the end, the number of lines), next(), and isMarker(marker) for the
// current line. `Sink` gets every line the walk reaches, with its role:
//     template <QdfField F> bool take(std::string_view line, std::size_t index,
//                                     int owner, int item);
// owner and item as in LineRole. A sink returning false stops the walk.
enum class WalkEnd {
    Done,     // the structure is complete; `lines` stands after "*EOF" or at the end
    Stopped,  // the sink asked to stop
    Broken,   // the structure is broken; the error says where
};

// The walk is inlined into its caller whole, together with the cursor and
// the sink's handling of most roles: a course has tens of thousands of
// lines, most of which take less work than a call.
template <class Lines, class Sink>
class Walk {
  public:
    Walk(Lines& lines, Sink& sink, const std::string& path, Error& error)
        : lines_(lines), sink_(sink), path_(path), error_(error) {}

    [[gnu::always_inline]] WalkEnd run() {
        // Text header lines may be missing at the very end of a broken file;
        // only the numbers the loader reads are required.
        const bool walked = take<QdfField::FormatTag>(0, 0, false) &&
                            take<QdfField::CountAndPassMark>(0, 0) &&
                            take<QdfField::TimeLimit>(0, 0) && headerText() &&
                            take<QdfField::QuesTotal>(0, 0) && categories() && records();
        return walked ? WalkEnd::Done : broken_ ? WalkEnd::Broken : WalkEnd::Stopped;
    }

  private:
    static constexpr int kHeaderTextLines = 6;
    static constexpr int kSkippedLines = 11;

    // Hands the current line to the sink as field F. A required line past
    // the end of the file is an error, as the loader would read an empty
    // value there.
    template <QdfField F>
    [[gnu::always_inline]] bool take(int owner, int item, bool required = true) {
        if (lines_.atEnd()) {
            if (!required) {
                return true;
            }
            if constexpr (isTextField(F) || F == QdfField::Closing) {
                return fail("ファイルが途中で終わっています", lines_.index() + 1);
            } else {
                return fail("'' は整数ではありません", lines_.index() + 1);
            }
        }
        if (!sink_.template take<F>(lines_.line(), lines_.index(), owner, item)) {
            return false;
        }
        lines_.next();
        return true;
    }

    template <QdfField Text, QdfField End>
    [[gnu::always_inline]] bool block(int owner, int item) {
        constexpr std::string_view marker = markerFor(Text);
        const std::size_t startLine = lines_.index() + 1;
        while (!lines_.atEnd()) {
            if (lines_.isMarker(marker)) {
                return take<End>(owner, item);
            }
            if (!sink_.template take<Text>(lines_.line(), lines_.index(), owner, item)) {
                return false;
            }
            lines_.next();
        }
        return fail("ファイルが途中で終わっています: " + std::to_string(startLine) +
                        "行目から始まる文章に終わりの \"" + std::string(marker) + "\" がありません",
                    lines_.index());
    }

    [[gnu::always_inline]] bool headerText() {
        for (int n = 0; n < kHeaderTextLines; ++n) {
            if (!take<QdfField::HeaderText>(0, 0, false)) {
                return false;
            }
        }
        return true;
    }

    [[gnu::always_inline]] bool categories() {
        for (int slot = 1; slot <= kCategorySlots; ++slot) {
            if (!lines_.atEnd() && lines_.isMarker("*CE")) {
                return take<QdfField::CategoryEnd>(0, 0);
            }
            if (slot == kCategorySlots) {
                return fail(
                    "カテゴリが多すぎます: 49個までのところ、50個目のカテゴリの位置に "
                    "\"*CE\" がありません",
                    lines_.index() + 1);
            }
            if (!take<QdfField::CategoryName>(slot, 0) ||
                !take<QdfField::CategoryQuesCount>(slot, 0)) {
                return false;
            }
            for (int k = 1; k <= kSubCategories; ++k) {
                if (!take<QdfField::SubCategoryName>(slot, k) ||
                    !take<QdfField::SubCategoryQuesCount>(slot, k)) {
                    return false;
                }
            }
        }
        return true;
    }

    [[gnu::always_inline]] bool records() {
        for (int j = 1;; ++j) {
            if (lines_.atEnd()) {
                return true;
            }
            if (j > kMaxQuestions) {
                return fail("問題が多すぎます: 1つの問題ファイルに入る問題は500問までです",
                            lines_.index() + 1);
            }
            if (!take<QdfField::QuesNum>(j, 0) || !take<QdfField::Category>(j, 0) ||
                !take<QdfField::SubCategory>(j, 0) ||
                !block<QdfField::QuesText, QdfField::QuesTextEnd>(j, 0) ||
                !take<QdfField::ChoiceCount>(j, 0) || !take<QdfField::ShowCount>(j, 0) ||
                !take<QdfField::AnswerCount>(j, 0) || !take<QdfField::Style>(j, 0)) {
                return false;
            }
            for (int k = 1; k <= kMaxChoices; ++k) {
                if (!block<QdfField::Choice, QdfField::ChoiceEnd>(j, k)) {
                    return false;
                }
            }
            // The reader skips these lines one by one; past the end of the
            // file it reads nothing and carries on.
            for (int s = 0; s < kSkippedLines; ++s) {
                if (!take<QdfField::Skipped>(j, 0, false)) {
                    return false;
                }
            }
            if (!block<QdfField::Explanation, QdfField::ExplanationEnd>(j, 0)) {
                return false;
            }
            for (int r = 1; r <= kRefNotes; ++r) {
                if (!take<QdfField::RefText>(j, r, false) ||
                    !take<QdfField::RefPage>(j, r, false)) {
                    return false;
                }
            }
            for (int d = 1; d <= kCbtDocs; ++d) {
                if (!take<QdfField::CbtHint>(j, d, false) ||
                    !take<QdfField::CbtFile>(j, d, false)) {
                    return false;
                }
            }
            if (lines_.atEnd()) {
                return true;  // a file may end right after the last record's fields
            }
            const bool last = lines_.isMarker("*EOF");
            if (!take<QdfField::Closing>(j, 0)) {
                return false;
            }
            if (last) {
                return true;
            }
        }
    }

    [[gnu::always_inline]] bool fail(std::string message, std::size_t lineNo) {
        error_ = Error{std::move(message), path_, static_cast<int>(lineNo)};
        broken_ = true;
        return false;
    }

    Lines& lines_;
    Sink& sink_;
    const std::string& path_;
    Error& error_;
    bool broken_ = false;
};

template <class Lines, class Sink>
[[gnu::always_inline]] inline WalkEnd walk(Lines& lines, Sink& sink, const std::string& path,
                                           Error& error) {
    return Walk<Lines, Sink>(lines, sink, path, error).run();
}

}  // namespace tovalo::qdf
