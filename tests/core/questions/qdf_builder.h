#pragma once

#include <string>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/scramble.h"

// Writes question files line by line for tests: text lines are given
// readable and stored scrambled, everything else stored as given.
class QdfBuilder {
  public:
    QdfBuilder& plain(const std::string& line) {
        lines_.push_back({line, false});
        return *this;
    }
    QdfBuilder& text(const std::string& line) {
        lines_.push_back({line, true});
        return *this;
    }

    QdfBuilder& header(const std::string& tag = "QFileFormat-v1.4",
                       const std::string& line9 = "20261201", const std::string& total = "1") {
        return plain(tag)
            .plain("30/70")
            .plain("45")
            .plain("NX-101")
            .plain("ネットワーク基礎")
            .plain("1")
            .plain("0")
            .plain("0")
            .plain(line9)
            .plain(total);
    }

    // One category with the given sub-category names, one question each.
    QdfBuilder& category(const std::string& name, const std::vector<std::string>& subs) {
        text(name).plain(std::to_string(subs.size()));
        for (std::size_t k = 0; k < 20; ++k) {
            text(k < subs.size() ? subs[k] : "").plain(k < subs.size() ? "1" : "0");
        }
        return *this;
    }

    struct Record {
        int num = 1, category = 1, sub = 1;
        std::vector<std::string> question{"問題文"};
        int choiceCount = 4, showCount = 4, answerCount = 1, style = 1;
        std::vector<std::string> choices{"正解", "誤り1", "誤り2", "誤り3"};
        std::vector<std::string> explanation{"解説"};
        std::vector<std::string> refs{"Null", "Null", "Null", "Null",
                                      "Null", "Null", "Null", "Null"};
        std::vector<std::string> cbt{"", "", "", ""};
        std::string closing;
    };

    QdfBuilder& record(const Record& r) {
        plain(std::to_string(r.num)).plain(std::to_string(r.category)).plain(std::to_string(r.sub));
        for (const auto& l : r.question)
            text(l);
        plain("*QE").plain(std::to_string(r.choiceCount)).plain(std::to_string(r.showCount));
        plain(std::to_string(r.answerCount)).plain(std::to_string(r.style));
        for (std::size_t k = 0; k < 10; ++k) {
            // "Null" marks an empty slot and is stored as it stands.
            if (k < r.choices.size() && r.choices[k] != "Null") {
                text(r.choices[k]);
            } else {
                plain("Null");
            }
            plain("*AE");
        }
        for (int i = 0; i < 11; ++i)
            plain("skip");
        for (const auto& l : r.explanation)
            text(l);
        plain("*EE");
        for (const auto& l : r.refs) {
            if (l == "Null" || l.empty()) {
                plain(l);
            } else {
                text(l);
            }
        }
        for (const auto& l : r.cbt)
            text(l);
        return plain(r.closing);
    }

    std::string stored() const {
        std::string out;
        for (const auto& [line, isText] : lines_) {
            const std::string bytes = tovalo::text::utf8ToCp932(line);
            out += isText ? tovalo::text::scramble(bytes) : bytes;
            out += "\r\n";
        }
        return out;
    }

    // The readable source of the same file, as authors write it.
    std::string source() const {
        std::string out;
        for (const auto& entry : lines_) {
            out += entry.first + "\n";
        }
        return out;
    }

    std::size_t lineCount() const { return lines_.size(); }

  private:
    std::vector<std::pair<std::string, bool>> lines_;
};

// The stored bytes of a one-question course whose header names `code` and
// `title` and carries the date line `line9`.
inline std::string smallCourse(const std::string& code, const std::string& title,
                               const std::string& line9) {
    QdfBuilder q;
    q.plain("QFileFormat-v1.4").plain("60/70").plain("90").plain(code).plain(title);
    q.plain("1").plain("0").plain("0").plain(line9).plain("1");
    q.category("ネットワーク", {"基礎"}).plain("*CE");
    QdfBuilder::Record r;
    r.closing = "*EOF";
    q.record(r);
    return q.stored();
}
