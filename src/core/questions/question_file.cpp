#include "core/questions/question_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/common/files.h"
#include "core/questions/numbers.h"
#include "core/questions/qdf_layout.h"
#include "core/questions/qdf_walk.h"
#include "core/styles/answer_style.h"
#include "core/styles/style_handoff.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/scramble.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

constexpr std::string_view kNotANumber = "入力値が数値ではありません";
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

std::string decoded(std::string_view cp932) {
    return text::cp932ToUtf8(cp932);
}

// The stored lines of a file, read as the walk reaches them.
class StoredLines : public text::LineCursor {
  public:
    using LineCursor::LineCursor;

    // storedLineIsMarker, asked of every line of every text block: most
    // of them are told apart by their first byte.
    [[gnu::always_inline]] [[nodiscard]] bool isMarker(std::string_view marker) const {
        const std::string_view l = line();
        if (!l.empty() && static_cast<unsigned char>(l[0]) > 0x20 && l[0] != marker[0]) {
            return false;
        }
        const std::string_view t = text::trim(l);
        if (t.size() != marker.size()) {
            return false;
        }
        for (std::size_t n = 0; n < t.size(); ++n) {
            if (t[n] != marker[n]) {
                return false;
            }
        }
        return true;
    }
};

// Fills a bank as the walk over the file reaches each line.
class Loader {
  public:
    Loader(const std::string& path, bool collectAll, QuestionBank& bank)
        : path_(path), collectAll_(collectAll), bank_(bank) {}

    // Screens that only name categories stop at "*CE": the records behind
    // it are most of the file and may be broken without concerning them.
    void stopAfterCategories() { stopAfterCategories_ = true; }

    // Returns false as soon as a problem stops the load (first problem when
    // not collecting, a structural one always).
    bool run(std::shared_ptr<const std::string> bytes) {
        // Texts are kept as 32-bit places in the file; no course comes near.
        if (bytes->size() > kMaxFileBytes) {
            problem(1, "問題ファイルが大きすぎます");
            return false;
        }
        bank_.holdFile(std::move(bytes));
        StoredLines lines(bank_.fileBytes());
        if (lines.atEnd() || formatKindOf(lines.line()) == 0) {
            problem(1,
                    "問題ファイルではありません: 1行目が \"QFileFormat-v1.4\" または "
                    "\"QFileFormat-x2.0\" ではありません");
            if (!collectAll_) {
                return false;
            }
        }
        // The reader goes line by line, so a bad number before the point
        // where the structure breaks is the problem it meets first.
        Error broken;
        bank_.ExamQuesCount = bank_.ExamTimeLimit = bank_.QuesTotal = bank_.CategoryCount = 0;
        const qdf::WalkEnd end = qdf::walk(lines, *this, path_, broken);
        dropUnstarted();
        switch (end) {
            case qdf::WalkEnd::Stopped:
                return categoriesRead_ && problems_.empty();
            case qdf::WalkEnd::Broken:
                problems_.push_back(std::move(broken));
                return false;
            case qdf::WalkEnd::Done:
                break;
        }
        if (collectAll_) {
            crossCheck();
        }
        return problems_.empty();
    }

    std::vector<Error>& problems() { return problems_; }

    // Called by the walk for every line it reaches; false stops it.
    template <QdfField F>
    bool take(std::string_view stored, std::size_t i, int j, int k) {
        return line<F>(stored, i, j, k) || collectAll_;
    }

  private:
    void problem(std::size_t lineNo, std::string message) {
        problems_.push_back(Error{std::move(message), path_, static_cast<int>(lineNo)});
    }

    bool number(std::string_view stored, std::size_t i, int& out) {
        const auto v = parseFileInteger(stored);
        if (!v) {
            problem(i + 1, notAnIntegerMessage(stored));
            out = 0;
            return false;
        }
        out = *v;
        return true;
    }

    // Text blocks are decoded once, when the block ends: one conversion per
    // field instead of one per line. The lines are joined with CR LF, which
    // never takes part in a scrambling pair rule, so unscrambling the joined
    // lines gives what unscrambling each would. Where the file has CR LF
    // between them already, the joined lines are a piece of the file and are
    // not copied; the first line needs no CR LF before it, as trimming would
    // take it off.
    void collectText(std::string_view stored) {
        if (blockLines_++ == 0) {
            block_ = stored;
            joined_ = false;
            return;
        }
        if (!joined_ && stored.data() == block_.data() + block_.size() + 2) {
            block_ = std::string_view(block_.data(), stored.data() + stored.size() - block_.data());
            return;
        }
        if (!joined_) {
            joinedBytes_.assign(block_);
            joined_ = true;
        }
        joinedBytes_ += "\r\n";
        joinedBytes_ += stored;
    }

    // An empty block leaves the field as it was.
    void finishText(StoredText& target) {
        if (blockLines_ == 0) {
            return;
        }
        const std::string_view stored = text::trim(joined_ ? joinedBytes_ : block_);
        // Half the choice blocks of a course are empty slots, stored as
        // "Null", which reads as the empty-slot marker.
        if (stored == "Null") {
            target = {0, 0, StoredText::Kind::Absent};
        } else {
            target = kept(stored);
        }
        blockLines_ = 0;
    }

    // A text as the bank keeps it: a piece of the file where it is one.
    StoredText kept(std::string_view stored) {
        if (stored.empty()) {
            return {};
        }
        return joined_ ? bank_.keepStored(stored) : bank_.inFile(stored);
    }

    // A record's first line is its number and a category slot's its name:
    // that is where the list grows, and the fields after it are filled in
    // through q_ or slot_, which nothing moves until the next record or slot.
    // A bank that held a course lends its entries to the next one; the
    // category names are overwritten in place, keeping their storage.
    void startRecord(int j) {
        startEntry(bank_.questions, records_, j);
        q_ = &bank_.questions[j - 1];
    }

    void startCategory(int slot) {
        startEntry(bank_.categories, slots_, slot);
        slot_ = &bank_.categories[slot - 1];
    }

    template <class Entry>
    static void startEntry(std::vector<Entry>& list, int& started, int n) {
        for (; started < n; ++started) {
            if (static_cast<std::size_t>(started) < list.size()) {
                renew(list[started]);
            } else {
                list.emplace_back();
            }
        }
    }

    static void renew(QuestionRecord& q) { q = QuestionRecord{}; }

    static void renew(CategorySlot& c) {
        clear(c.CategoryName);
        c.CategoryQuesCount = 0;
        clearAll(c.SubCategoryName);
        c.SubCategoryQuesCount.fill(0);
    }

    // Clearing writes the terminator into the text's own storage, which is
    // elsewhere in memory; most fields of a record are empty already, and
    // their size alone says so.
    static void clear(std::string& t) {
        if (!t.empty()) {
            t.clear();
        }
    }

    template <std::size_t N>
    static void clearAll(std::array<std::string, N>& texts) {
        for (std::string& t : texts) {
            clear(t);
        }
    }

    // Entries the last course had beyond this one's go.
    void dropUnstarted() {
        bank_.questions.resize(static_cast<std::size_t>(records_));
        bank_.categories.resize(static_cast<std::size_t>(slots_));
    }

    template <QdfField F>
    StoredText& fieldOf(int k) {
        if constexpr (F == QdfField::RefText) {
            return q_->RefText[k - 1];
        } else if constexpr (F == QdfField::RefPage) {
            return q_->RefPage[k - 1];
        } else if constexpr (F == QdfField::CbtHint) {
            return q_->CbtHint[k - 1];
        } else {
            return q_->CbtFile[k - 1];
        }
    }

    template <QdfField F>
    bool line(std::string_view stored, std::size_t i, int j, int k) {
        using enum QdfField;
        if constexpr (F == CountAndPassMark) {
            const std::size_t slash = stored.find('/');
            if (slash == std::string_view::npos) {
                problem(i + 1, notAnIntegerMessage(stored));
                return false;
            }
            const auto v = parseFileInteger(stored.substr(0, slash));
            if (!v) {
                problem(i + 1, notAnIntegerMessage(stored.substr(0, slash)));
                return false;
            }
            bank_.ExamQuesCount = *v;
            return true;
        } else if constexpr (F == TimeLimit) {
            return number(stored, i, bank_.ExamTimeLimit);
        } else if constexpr (F == HeaderText) {
            if (i == 3) {
                examCode_ = stored;
            }
            return true;
        } else if constexpr (F == QuesTotal) {
            const bool ok = number(stored, i, bank_.QuesTotal);
            // Records are added as the file reaches them; room for as many
            // as the header announces spares moving them all each time the
            // list grows.
            bank_.questions.reserve(std::clamp(bank_.QuesTotal, 0, kMaxQuestions));
            return ok;
        } else if constexpr (F == CategoryEnd) {
            bank_.CategoryCount = slots_;
            categoriesRead_ = true;
            return !stopAfterCategories_;
        } else if constexpr (F == CategoryName) {
            startCategory(j);
            text::unscrambleToUtf8(stored, slot_->CategoryName);
            return true;
        } else if constexpr (F == CategoryQuesCount) {
            return number(stored, i, slot_->CategoryQuesCount);
        } else if constexpr (F == SubCategoryName) {
            text::unscrambleToUtf8(stored, slot_->SubCategoryName[k - 1]);
            return true;
        } else if constexpr (F == SubCategoryQuesCount) {
            return number(stored, i, slot_->SubCategoryQuesCount[k - 1]);
        } else if constexpr (F == QuesNum) {
            startRecord(j);
            return number(stored, i, q_->QuesNum);
        } else if constexpr (F == Category) {
            int& c = q_->Category;
            if (!number(stored, i, c)) {
                return false;
            }
            if (c < 1 || c > bank_.CategoryCount) {
                problem(i + 1, "カテゴリ番号 " + std::to_string(c) +
                                   " はカテゴリ表にありません (1～" +
                                   std::to_string(bank_.CategoryCount) + ")");
                return false;
            }
            return true;
        } else if constexpr (F == SubCategory) {
            int& s = q_->SubCategory;
            if (!number(stored, i, s)) {
                return false;
            }
            if (s < 1 || s > kSubCategories) {
                problem(i + 1, "サブカテゴリ番号 " + std::to_string(s) +
                                   " はカテゴリ表にありません (1～20)");
                return false;
            }
            return true;
        } else if constexpr (F == QuesText || F == Choice || F == Explanation) {
            collectText(stored);
            return true;
        } else if constexpr (F == QuesTextEnd) {
            finishText(q_->QuesText);
            return true;
        } else if constexpr (F == ChoiceEnd) {
            if (collectAll_) {
                // The block's first line, or this marker when it has none.
                countsOf(j).choiceLine[k - 1] = i - blockLines_;
            }
            finishText(q_->Choice[k - 1]);
            return true;
        } else if constexpr (F == ExplanationEnd) {
            finishText(q_->Explanation);
            return true;
        } else if constexpr (F == ChoiceCount) {
            countsOf(j) = {i, false};
            return counted(j, number(stored, i, q_->ChoiceCount));
        } else if constexpr (F == ShowCount) {
            return counted(j, number(stored, i, q_->ShowCount));
        } else if constexpr (F == AnswerCount) {
            return counted(j, number(stored, i, q_->AnswerCount));
        } else if constexpr (F == Style) {
            QuestionRecord& q = *q_;
            if (!number(stored, i, q.Style)) {
                return false;
            }
            bool ok = true;
            if (q.AnswerCount < 0 || q.AnswerCount > q.ShowCount || q.ShowCount > q.ChoiceCount ||
                q.ChoiceCount > kMaxChoices) {
                problem(countsOf(j).line + 1,
                        "選択肢の数が正しくありません: 正解数 " + std::to_string(q.AnswerCount) +
                            "、表示数 " + std::to_string(q.ShowCount) + "、選択肢数 " +
                            std::to_string(q.ChoiceCount) +
                            " は 正解数 ≦ 表示数 ≦ 選択肢数 ≦ 10 を満たしません");
                countsOf(j).reported = true;
                ok = false;
            }
            if (!isAnswerStyle(q.Style)) {
                problem(i + 1, "解答形式 " + std::to_string(q.Style) + " はありません (1～9)");
                ok = false;
            }
            return ok;
        } else if constexpr (F == RefText || F == RefPage || F == CbtHint || F == CbtFile) {
            // The record is new, so a line that says "none" leaves the
            // field as it is: "" for texts and "0" for reference pages.
            constexpr bool kReference = F == RefText || F == RefPage;
            const std::string_view t = text::trim(stored);
            if (t.empty() || (kReference && t == "Null")) {
                return true;
            }
            // A page is kept with its blanks, the other fields without.
            fieldOf<F>(k) = bank_.inFile(F == RefPage ? stored : t);
            return true;
        } else {
            // The format tag (checked before the walk), the rest of the
            // header, the skipped lines and the closing line hold nothing
            // the bank keeps.
            return true;
        }
    }

    // Where a record's counts are and whether a problem with them was
    // already reported, so that one bad line is reported once.
    struct RecordCounts {
        std::size_t line = 0;  // 0-based line of ChoiceCount
        bool reported = false;
        std::array<std::size_t, kMaxChoices> choiceLine{};  // 0-based, when checking
    };

    RecordCounts& countsOf(int j) {
        if (static_cast<int>(counts_.size()) < j) {
            counts_.resize(j);
        }
        return counts_[j - 1];
    }

    bool counted(int j, bool ok) {
        if (!ok) {
            countsOf(j).reported = true;
        }
        return ok;
    }

    // Problems the loader itself lets pass but that make a course behave
    // wrongly: the screens trust these counts.
    void crossCheck() {
        // The history files and their synchronisation name a course by its
        // file, the FAQ and the support page by its code: the two should
        // agree, or the server hears of one course under two names.
        const std::string fileName = path_.substr(path_.find_last_of('/') + 1);
        const std::string baseName =
            fileName.substr(0, fileName.size() - std::min<std::size_t>(4, fileName.size()));
        const std::string examCode = decoded(examCode_);
        if (examCode != baseName) {
            problem(4, "試験コード '" + examCode + "' がファイル名 '" + baseName +
                           "' と違います (履歴の同期はファイル名で、FAQ "
                           "と質問ページは試験コードで科目を指します)");
        }
        // A record that counts more choices than it holds would show the
        // empty slot's marker as a choice.
        for (int j = 1; j <= static_cast<int>(bank_.questions.size()); ++j) {
            const QuestionRecord& q = bank_.question(j);
            const RecordCounts& c = countsOf(j);
            if (c.reported || q.ChoiceCount < 1 || q.ChoiceCount > kMaxChoices) {
                continue;
            }
            int present = 0;
            for (int k = 1; k <= q.ChoiceCount; ++k) {
                present += q.choicePresent(k) ? 1 : 0;
            }
            if (present < q.ChoiceCount) {
                problem(c.line + 1, "選択肢数 " + std::to_string(q.ChoiceCount) +
                                        " に対して選択肢が " + std::to_string(present) +
                                        " 個しかありません");
            }
        }
        checkStyleData();
        const int read = static_cast<int>(bank_.questions.size());
        if (bank_.QuesTotal != read) {
            problem(10, "問題数 " + std::to_string(bank_.QuesTotal) + " が実際の問題数 " +
                            std::to_string(read) + " と合いません");
        }
        std::vector<std::array<int, kSubCategories>> counted(bank_.categories.size());
        for (const QuestionRecord& q : bank_.questions) {
            if (q.Category >= 1 && q.Category <= bank_.CategoryCount && q.SubCategory >= 1 &&
                q.SubCategory <= kSubCategories) {
                ++counted[q.Category - 1][q.SubCategory - 1];
            }
        }
        for (int c = 1; c <= bank_.CategoryCount; ++c) {
            const CategorySlot& cat = bank_.categories[c - 1];
            int total = 0;
            for (int s = 1; s <= kSubCategories; ++s) {
                const int n = counted[c - 1][s - 1];
                total += n;
                // Line of SubCategoryQuesCount s of category c.
                const int lineNo = 11 + (c - 1) * 42 + 2 + (s - 1) * 2 + 1;
                if (cat.SubCategoryQuesCount[s - 1] != n) {
                    problem(lineNo, "カテゴリ " + std::to_string(c) + " のサブカテゴリ " +
                                        std::to_string(s) + " の問題数 " +
                                        std::to_string(cat.SubCategoryQuesCount[s - 1]) +
                                        " が実際の問題数 " + std::to_string(n) + " と合いません");
                }
                if (n > 0 && text::trim(cat.SubCategoryName[s - 1]).empty()) {
                    problem(lineNo - 1, "カテゴリ " + std::to_string(c) + " のサブカテゴリ " +
                                            std::to_string(s) +
                                            " に問題がありますが、名前が空なので選べません");
                }
            }
            if (cat.CategoryQuesCount != total) {
                problem(11 + (c - 1) * 42 + 1, "カテゴリ " + std::to_string(c) + " の問題数 " +
                                                   std::to_string(cat.CategoryQuesCount) +
                                                   " が実際の問題数 " + std::to_string(total) +
                                                   " と合いません");
            }
        }
    }

    // The data lines of the special styles, read as the style windows will
    // read them when the choices are shown in file order: a line they
    // cannot use leaves the question unanswerable.
    void checkStyleData() {
        for (int j = 1; j <= static_cast<int>(bank_.questions.size()); ++j) {
            const QuestionRecord& q = bank_.question(j);
            const RecordCounts& c = countsOf(j);
            if (c.reported || !isAnswerStyle(q.Style) || traitsOf(q.Style).scannedSlots == 0 ||
                q.ChoiceCount < 1 || q.ChoiceCount > kMaxChoices) {
                continue;
            }
            const std::array<std::string, kMaxChoices> choices = bank_.texts(q.Choice);
            const StyleHandoff h =
                styleHandoff(answerStyle(q.Style),
                             std::span<const std::string>(choices.data(), q.ChoiceCount), {});
            if (!h.defect) {
                continue;
            }
            const char letter = static_cast<char>('a' + h.defect->group);
            // The line the group came from: the last scanned choice that starts with it.
            std::size_t lineNo = c.line;
            const int scanned = std::min(q.ChoiceCount, traitsOf(q.Style).scannedSlots);
            for (int k = 1; k <= scanned; ++k) {
                const std::string& choice = choices[k - 1];
                if (choice.size() >= 2 && choice[0] == letter && choice[1] == '@') {
                    lineNo = c.choiceLine[k - 1];
                }
            }
            problem(lineNo + 1, "解答形式 " + std::to_string(q.Style) + " のデータ " +
                                    std::string(1, letter) + "@ が使えません: " + h.defect->what);
        }
    }

    const std::string& path_;
    bool collectAll_;
    bool stopAfterCategories_ = false;
    bool categoriesRead_ = false;
    QuestionBank& bank_;
    int records_ = 0;  // entries of bank_ started by this load
    int slots_ = 0;
    std::vector<Error> problems_;
    QuestionRecord* q_ = nullptr;  // the record being read
    CategorySlot* slot_ = nullptr;
    std::string_view examCode_;  // line 4 as stored
    int blockLines_ = 0;         // lines of the text block being read
    std::string_view block_;     // its lines as they stand in the file
    bool joined_ = false;        // or, when they do not follow on with CR LF,
    std::string joinedBytes_;    // joined here
    std::vector<RecordCounts> counts_;
};

std::vector<Error> checkLoaded(std::shared_ptr<const std::string> contents,
                               const std::string& path) {
    QuestionBank bank;
    Loader loader(path, true, bank);
    loader.run(std::move(contents));
    return std::move(loader.problems());
}

}  // namespace

int formatKindOf(std::string_view firstLine) {
    if (firstLine == kFormatTagText) {
        return 1;
    }
    if (firstLine == kFormatTagHtml) {
        return 2;
    }
    return 0;
}

Result<QdfHeader> parseQdfHeader(std::string_view contents, const std::string& path) {
    // Only the first ten lines matter; don't split a whole course for them.
    std::size_t end = 0;
    for (int n = 0; n < 10 && end < contents.size(); ++n) {
        const std::size_t lf = contents.find('\n', end);
        end = lf == std::string_view::npos ? contents.size() : lf + 1;
    }
    const auto lines = text::splitLines(contents.substr(0, end));
    auto at = [&lines](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view{}; };
    QdfHeader h;
    h.FormatKind = formatKindOf(at(0));
    if (h.FormatKind == 0) {
        return Error{"問題ファイルではありません: 1行目が形式タグではありません", path, 1};
    }
    const std::string_view line2 = at(1);
    const std::size_t slash = line2.find('/');
    if (slash != std::string_view::npos) {
        h.PassMark = decoded(line2.substr(slash + 1));
        h.ExamQuesCount = parseFileInteger(line2.substr(0, slash));
    }
    h.ExamTimeLimit = parseFileInteger(at(2));
    h.ExamCode = decoded(at(3));
    h.ExamTitle = decoded(at(4));
    h.Level1 = at(5) == "1";
    h.Level2 = at(6) == "1";
    const std::string_view line8 = at(7);
    h.Level3 = line8 == "1";
    h.Level4 = line8 == "2";
    h.Level3b = line8 == "3";
    const std::string_view line9 = at(8);
    // Positions count bytes; a piece that cuts a double-byte character
    // shows a replacement character rather than half of it.
    auto piece = [&line9](std::size_t from, std::size_t n) {
        return from < line9.size() ? decoded(line9.substr(from, n)) : std::string();
    };
    h.QdfDate = piece(0, 4) + "/" + piece(4, 2) + "/" + piece(6, 2);
    h.ShuffleOrder = !(line9.size() >= 15 && line9[14] == 'N');
    const auto total = parseFileInteger(at(9));
    if (!total) {
        return Error{std::string(kNotANumber), path, 10};
    }
    h.QuesTotal = *total;
    return h;
}

Result<QdfHeader> readQdfHeader(const std::string& path) {
    // The catalog reads the headers of every course each time it is shown:
    // read only as far as the tenth line, never the whole course.
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) {
        return Error{kFileNotFound, path, 0};
    }
    std::string head;
    char buf[4096];
    int lineEnds = 0;
    std::size_t n;
    while (lineEnds < 10 && (n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        head.append(buf, n);
        lineEnds += static_cast<int>(std::count(buf, buf + n, '\n'));
    }
    return parseQdfHeader(head, path);
}

Result<QuestionBank> parseQuestionFile(std::string_view contents, const std::string& path) {
    QuestionBank bank;
    Loader loader(path, false, bank);
    if (!loader.run(std::make_shared<const std::string>(contents))) {
        return loader.problems().front();
    }
    return bank;
}

Status LoadQuestionBank(QuestionBank& bank, const std::string& path) {
    QuestionBank loaded;
    if (Status st = ReloadQuestionBank(loaded, path); !st) {
        return st;
    }
    bank = std::move(loaded);
    return Ok{};
}

Status ReloadQuestionBank(QuestionBank& bank, const std::string& path) {
    auto contents = readWholeFile(path);
    if (!contents) {
        bank = QuestionBank{};
        return contents.error();
    }
    Loader loader(path, false, bank);
    if (!loader.run(std::make_shared<const std::string>(std::move(*contents)))) {
        bank = QuestionBank{};
        return loader.problems().front();
    }
    return Ok{};
}

Result<std::vector<CategorySlot>> readCategoryTable(const std::string& path) {
    auto contents = readWholeFile(path);
    if (!contents) {
        return contents.error();
    }
    QuestionBank bank;
    Loader loader(path, false, bank);
    loader.stopAfterCategories();
    if (!loader.run(std::make_shared<const std::string>(std::move(*contents)))) {
        return loader.problems().front();
    }
    return std::move(bank.categories);
}

std::string courseSettingsPath(const std::string& qdfPath) {
    return qdfPath.size() >= 4 ? qdfPath.substr(0, qdfPath.size() - 4) + ".ini" : qdfPath + ".ini";
}

std::vector<Error> checkQuestionFile(const std::string& path) {
    auto contents = readWholeFile(path);
    if (!contents) {
        return {contents.error()};
    }
    return checkLoaded(std::make_shared<const std::string>(std::move(*contents)), path);
}

std::vector<Error> checkQuestionContents(std::string_view contents, const std::string& path) {
    return checkLoaded(std::make_shared<const std::string>(contents), path);
}

}  // namespace tovalo
