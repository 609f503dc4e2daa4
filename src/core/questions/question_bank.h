#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovalo {

inline constexpr int kMaxCategories = 49;
inline constexpr int kCategorySlots = 50;
inline constexpr int kSubCategories = 20;
inline constexpr int kMaxQuestions = 500;
inline constexpr int kMaxChoices = 10;
inline constexpr int kRefNotes = 4;
inline constexpr int kCbtDocs = 2;

// A choice slot that holds this text is empty; every screen skips it.
inline constexpr std::string_view kAbsentChoice = "Ahyy";

struct CategorySlot {
    std::string CategoryName;
    int CategoryQuesCount = 0;
    std::array<std::string, kSubCategories> SubCategoryName;
    std::array<int, kSubCategories> SubCategoryQuesCount{};

    bool operator==(const CategorySlot&) const = default;
};

// Where a text of a question record is. A course holds thousands of texts
// and an exam shows a few dozen of them, so the bank keeps the bytes as the
// file stores them and decodes a text when it is read (QuestionBank::text).
// It means something only to the bank whose record holds it.
struct StoredText {
    enum class Kind : std::uint8_t {
        Empty,   // ""
        NoPage,  // "0": a reference note without a page
        Absent,  // kAbsentChoice: the file's "Null"
        File,    // stored bytes in the file the bank was read from
        Joined,  // stored bytes the bank keeps itself (lines the file does not hold in one piece)
        Plain,   // UTF-8 the bank keeps itself (records made in code)
    };
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    Kind kind = Kind::Empty;

    static constexpr StoredText noPage() { return {0, 0, Kind::NoPage}; }
    bool operator==(const StoredText&) const = default;
};

struct QuestionRecord {
    int QuesNum = 0;
    int Category = 0;
    int SubCategory = 0;
    StoredText QuesText;
    int ChoiceCount = 0;
    int ShowCount = 0;
    int AnswerCount = 0;
    int Style = 0;
    std::array<StoredText, kMaxChoices> Choice;
    StoredText Explanation;
    std::array<StoredText, kRefNotes> RefText;
    std::array<StoredText, kRefNotes> RefPage{StoredText::noPage(), StoredText::noPage(),
                                              StoredText::noPage(), StoredText::noPage()};
    std::array<StoredText, kCbtDocs> CbtHint;
    std::array<StoredText, kCbtDocs> CbtFile;

    [[nodiscard]] bool choicePresent(int slot) const {
        return Choice.at(slot - 1).kind != StoredText::Kind::Absent;
    }
};

// The texts of one record, decoded.
struct QuestionTexts {
    std::string QuesText;
    std::array<std::string, kMaxChoices> Choice;
    std::string Explanation;
    std::array<std::string, kRefNotes> RefText;
    std::array<std::string, kRefNotes> RefPage;
    std::array<std::string, kCbtDocs> CbtHint;
    std::array<std::string, kCbtDocs> CbtFile;

    bool operator==(const QuestionTexts&) const = default;
};

// The course being worked on: its category table and every question record.
// Texts are UTF-8 with CR LF between lines; a record's texts are read through
// text() and texts(). Slots are numbered from 1, as the history files and the
// screens number them. A loaded bank never changes its stored bytes, so
// copies share them and reading from several threads is safe.
class QuestionBank {
  public:
    int ExamQuesCount = 0;
    int ExamTimeLimit = 0;
    int QuesTotal = 0;
    int CategoryCount = 0;
    std::vector<CategorySlot> categories;   // CategoryCount entries
    std::vector<QuestionRecord> questions;  // the records read, in file order

    [[nodiscard]] const CategorySlot& category(int slot) const { return categories.at(slot - 1); }
    [[nodiscard]] const QuestionRecord& question(int slot) const { return questions.at(slot - 1); }

    // A record's text in UTF-8, CR LF between its lines.
    [[nodiscard]] std::string text(const StoredText& t) const;
    template <std::size_t N>
    [[nodiscard]] std::array<std::string, N> texts(const std::array<StoredText, N>& list) const {
        std::array<std::string, N> out;
        for (std::size_t i = 0; i < N; ++i) {
            out[i] = text(list[i]);
        }
        return out;
    }
    [[nodiscard]] QuestionTexts texts(int slot) const;

    // Keeps a UTF-8 text for a record made in code; kAbsentChoice reads as
    // an empty choice slot.
    StoredText keep(std::string_view utf8);

    // The loader's side: the file the records point into, and stored bytes
    // that are not one piece of it.
    void holdFile(std::shared_ptr<const std::string> bytes);
    [[nodiscard]] StoredText inFile(std::string_view piece) const {
        return {static_cast<std::uint32_t>(piece.data() - file_->data()),
                static_cast<std::uint32_t>(piece.size()), StoredText::Kind::File};
    }
    StoredText keepStored(std::string_view bytes);
    [[nodiscard]] std::string_view fileBytes() const { return file_ ? *file_ : std::string_view{}; }

    // Same numbers, categories and texts, wherever the texts are kept.
    bool operator==(const QuestionBank& other) const;

  private:
    std::shared_ptr<const std::string> file_;  // shared by copies; never changed
    std::string kept_;
};

}  // namespace tovalo
