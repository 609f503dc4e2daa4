#pragma once

#include <cstddef>
#include <string_view>

namespace tovalo::text {

// Counting and cutting well-formed UTF-8 by characters, never inside one.

constexpr bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

constexpr std::size_t characterCount(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) {
        n += isContinuationByte(c) ? 0 : 1;
    }
    return n;
}

// The bytes of the first `count` characters (all of `s` when it is shorter).
constexpr std::size_t characterBytes(std::string_view s, std::size_t count) {
    std::size_t i = 0;
    while (count > 0 && i < s.size()) {
        ++i;
        while (i < s.size() && isContinuationByte(s[i])) {
            ++i;
        }
        --count;
    }
    return i;
}

constexpr std::string_view firstCharacters(std::string_view s, std::size_t count) {
    return s.substr(0, characterBytes(s, count));
}

constexpr std::string_view withoutFirstCharacters(std::string_view s, std::size_t count) {
    return s.substr(characterBytes(s, count));
}

}  // namespace tovalo::text
