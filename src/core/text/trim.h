#pragma once

#include <string>
#include <string_view>

namespace tovalo::text {

// Removes leading and trailing bytes of 0x20 or below (blanks and every
// control character). Multi-byte characters never contain such bytes, in
// CP932 as in UTF-8, so this is safe on both.
constexpr std::string_view trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) {
        ++b;
    }
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) {
        --e;
    }
    return s.substr(b, e - b);
}

inline std::string trimmed(std::string_view s) {
    return std::string(trim(s));
}

// The value of a hexadecimal digit in either case, -1 for any other byte.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// ASCII-only lower case; the file names and keys compared with it are ASCII.
std::string asciiLower(std::string_view s);

// Case-insensitive comparison of ASCII letters, other bytes compared exactly.
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

// A file name that ends in `extension` (".qdf") in any letter case and
// has something before it.
bool hasExtension(std::string_view name, std::string_view extension);

}  // namespace tovalo::text
