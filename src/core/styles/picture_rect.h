#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovalo {

// A rectangle in picture pixels: (x1, y1) top-left, (x2, y2) bottom-right.
struct PictureRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    [[nodiscard]] int width() const { return x2 - x1; }
    [[nodiscard]] int height() const { return y2 - y1; }
    // Points on the border are outside: an answer on a zone's edge does not count.
    [[nodiscard]] bool strictlyContains(int x, int y) const {
        return x1 < x && x < x2 && y1 < y && y < y2;
    }
    bool operator==(const PictureRect&) const = default;
};

// Four integers separated by "," (x1, y1, x2, y2); with `rest`, a fourth
// "," and whatever follows it are allowed and the text after it is stored
// there. nullopt when the numbers cannot be read.
std::optional<PictureRect> parsePictureRect(std::string_view text, std::string* rest = nullptr);

// A decimal integer with blanks around it allowed; nullopt for anything else.
std::optional<int> parseStyleInteger(std::string_view text);

// A question's data line that cannot be used as written: the group it came
// from (0 for "a@" .. 4 for "e@") and what is wrong, in words for the
// learner and the author.
struct StyleDefect {
    int group = 0;
    std::string what;
    bool operator==(const StyleDefect&) const = default;
};

}  // namespace tovalo
