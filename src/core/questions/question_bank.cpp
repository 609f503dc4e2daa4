#include "core/questions/question_bank.h"

#include "core/text/scramble.h"

namespace tovalo {

std::string QuestionBank::text(const StoredText& t) const {
    using enum StoredText::Kind;
    switch (t.kind) {
        case Empty:
            return {};
        case NoPage:
            return "0";
        case Absent:
            return std::string(kAbsentChoice);
        case File:
            return text::unscrambleToUtf8(fileBytes().substr(t.offset, t.size));
        case Joined:
            return text::unscrambleToUtf8(std::string_view(kept_).substr(t.offset, t.size));
        case Plain:
            return kept_.substr(t.offset, t.size);
    }
    return {};
}

QuestionTexts QuestionBank::texts(int slot) const {
    const QuestionRecord& q = question(slot);
    QuestionTexts t;
    t.QuesText = text(q.QuesText);
    t.Choice = texts(q.Choice);
    t.Explanation = text(q.Explanation);
    t.RefText = texts(q.RefText);
    t.RefPage = texts(q.RefPage);
    t.CbtHint = texts(q.CbtHint);
    t.CbtFile = texts(q.CbtFile);
    return t;
}

StoredText QuestionBank::keep(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    if (utf8 == kAbsentChoice) {
        return {0, 0, StoredText::Kind::Absent};
    }
    const auto at = static_cast<std::uint32_t>(kept_.size());
    kept_ += utf8;
    return {at, static_cast<std::uint32_t>(utf8.size()), StoredText::Kind::Plain};
}

void QuestionBank::holdFile(std::shared_ptr<const std::string> bytes) {
    file_ = std::move(bytes);
    kept_.clear();
}

StoredText QuestionBank::keepStored(std::string_view bytes) {
    const auto at = static_cast<std::uint32_t>(kept_.size());
    kept_ += bytes;
    return {at, static_cast<std::uint32_t>(bytes.size()), StoredText::Kind::Joined};
}

bool QuestionBank::operator==(const QuestionBank& other) const {
    if (ExamQuesCount != other.ExamQuesCount || ExamTimeLimit != other.ExamTimeLimit ||
        QuesTotal != other.QuesTotal || CategoryCount != other.CategoryCount ||
        categories != other.categories || questions.size() != other.questions.size()) {
        return false;
    }
    for (std::size_t i = 0; i < questions.size(); ++i) {
        const QuestionRecord& a = questions[i];
        const QuestionRecord& b = other.questions[i];
        if (a.QuesNum != b.QuesNum || a.Category != b.Category || a.SubCategory != b.SubCategory ||
            a.ChoiceCount != b.ChoiceCount || a.ShowCount != b.ShowCount ||
            a.AnswerCount != b.AnswerCount || a.Style != b.Style) {
            return false;
        }
        if (texts(static_cast<int>(i) + 1) != other.texts(static_cast<int>(i) + 1)) {
            return false;
        }
    }
    return true;
}

}  // namespace tovalo
