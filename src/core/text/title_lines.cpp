#include "core/text/title_lines.h"

#include <optional>

#include "core/text/characters.h"

namespace tovalo::text {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// The length of the blank at `at`, 0 when there is none.
std::size_t blankAt(std::string_view s, std::size_t at) {
    if (s[at] == ' ') {
        return 1;
    }
    return s.substr(at).starts_with(kIdeographicSpace) ? kIdeographicSpace.size() : 0;
}

struct Word {
    std::string_view gap;  // the blanks before it, kept when it joins a line
    std::string_view text;
};

std::vector<Word> wordsOf(std::string_view paragraph) {
    std::vector<Word> words;
    std::size_t at = 0;
    while (at < paragraph.size()) {
        const std::size_t gapStart = at;
        while (at < paragraph.size()) {
            const std::size_t blank = blankAt(paragraph, at);
            if (blank == 0) {
                break;
            }
            at += blank;
        }
        const std::size_t wordStart = at;
        while (at < paragraph.size() && blankAt(paragraph, at) == 0) {
            ++at;
        }
        if (at > wordStart) {
            words.push_back({paragraph.substr(gapStart, wordStart - gapStart),
                             paragraph.substr(wordStart, at - wordStart)});
        }
    }
    return words;
}

// `word` cut into pieces that each fit, a character at least per piece.
std::vector<std::string> brokenWord(std::string_view word, int width, bool smaller,
                                    const TitleMeasure& measure) {
    std::vector<std::string> pieces;
    while (!word.empty()) {
        std::size_t count = 1;
        while (count < characterCount(word) &&
               measure(firstCharacters(word, count + 1), smaller) <= width) {
            ++count;
        }
        pieces.emplace_back(firstCharacters(word, count));
        word = withoutFirstCharacters(word, count);
    }
    return pieces;
}

// The lines at one size, or nothing when a word (unless `breakWords`) or
// the line count does not fit.
std::optional<std::vector<std::string>> setAt(std::string_view text, int width, int maxLines,
                                              bool smaller, bool breakWords,
                                              const TitleMeasure& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line;
        for (const Word& word : wordsOf(text.substr(start, end - start))) {
            const std::string joined = line.empty()
                                           ? std::string(word.text)
                                           : line + std::string(word.gap) + std::string(word.text);
            if (measure(joined, smaller) <= width) {
                line = joined;
                continue;
            }
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            if (measure(word.text, smaller) <= width) {
                line = word.text;
            } else if (!breakWords) {
                return std::nullopt;
            } else {
                std::vector<std::string> pieces = brokenWord(word.text, width, smaller, measure);
                line = pieces.back();
                pieces.pop_back();
                lines.insert(lines.end(), pieces.begin(), pieces.end());
            }
        }
        lines.push_back(line);
        start = end + 1;
    }
    if (!breakWords && static_cast<int>(lines.size()) > maxLines) {
        return std::nullopt;
    }
    return lines;
}

}  // namespace

TitleLines titleLines(std::string_view text, int width, int maxLines, const TitleMeasure& measure) {
    for (bool smaller : {false, true}) {
        if (auto lines = setAt(text, width, maxLines, smaller, false, measure)) {
            return {std::move(*lines), smaller};
        }
    }
    return {*setAt(text, width, maxLines, false, true, measure), false};
}

}  // namespace tovalo::text
