#pragma once

#include <string>
#include <string_view>

namespace tovalo::text {

// Files are Windows-31J (CP932): that is the code page the question files,
// settings files and generated pages are written in. In memory everything is
// UTF-8; these two functions are the edge.

// Decodes CP932 bytes. A byte sequence CP932 does not define becomes U+FFFD,
// so a damaged line still shows as much of its text as can be read.
std::string cp932ToUtf8(std::string_view bytes);

// Decodes and reports whether encoding the result again gives back exactly
// `bytes` (false for undefined sequences and for the few codes CP932 maps twice).
bool cp932ToUtf8Exact(std::string_view bytes, std::string& utf8);

// Decodes and reports whether every sequence is one CP932 defines. Unlike
// the exact check it takes either code of a character CP932 maps twice, as
// text typed into a browser may arrive with either.
bool cp932ToUtf8Defined(std::string_view bytes, std::string& utf8);

enum class Unmappable {
    Question,       // "?" in place of a character CP932 cannot hold
    HtmlReference,  // "&#NNNN;" in generated pages, so the browser still shows it
};

// Encodes UTF-8 text. Invalid UTF-8 input bytes are treated like unmappable characters.
std::string utf8ToCp932(std::string_view utf8, Unmappable fallback = Unmappable::Question);

// True when `utf8` is well-formed UTF-8.
bool isValidUtf8(std::string_view utf8);

// Appends the UTF-8 bytes of `cp`; a surrogate or a value past U+10FFFF
// appends nothing and returns false.
bool appendUtf8(std::string& out, char32_t cp);

// True for a byte that starts a double-byte CP932 character. Its trail byte
// may be any of 0x40..0xFC, ASCII letters and "@" among them, so a scan for
// ASCII in CP932 bytes steps over such pairs.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace tovalo::text
