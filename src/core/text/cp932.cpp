#include "core/text/cp932.h"

#include "core/text/cp932_tables.h"

#include <iconv.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <vector>

namespace tovalo::text {

using cp932::DecodeTables;
using cp932::decodeTables;
using cp932::kLead;
using cp932::kUndefined;
using cp932::Utf8Char;

namespace {

// The conversions go through tables rather than through iconv: a question
// file has thousands of short fields, and an iconv call costs far more than
// the few bytes it converts. The tables are filled from iconv's own answers
// once per process, so the mapping stays glibc's to the byte: which of the
// duplicate codes a character encodes to, and the compatibility characters
// (U+00A5, U+301C, ...) that encode to a code decoding to something else.

// A single byte is stored as itself and a pair as lead * 256 + trail; a lead
// byte is never below 0x81, so the two cannot be confused, and FF is never a
// lead byte, so FFFF is free to mean "cannot be encoded".
constexpr std::uint16_t kUnencodable = 0xFFFF;

struct EncodeTable {
    std::array<std::uint16_t, 0x10000> code;  // by BMP code point
};

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    enum class Outcome { Converted, Incomplete, Rejected };

    // Converts the whole of `in` as one unit. Both sides of every descriptor
    // used here are stateless, so a failed call leaves nothing behind for the
    // next one and no reset is needed between units.
    Outcome convert(const void* in, std::size_t inLen, void* out, std::size_t& outLen) {
        char* src = static_cast<char*>(const_cast<void*>(in));
        char* dst = static_cast<char*>(out);
        std::size_t dstLeft = outLen;
        const std::size_t r = iconv(cd_, &src, &inLen, &dst, &dstLeft);
        if (r == static_cast<std::size_t>(-1)) {
            return errno == EINVAL ? Outcome::Incomplete : Outcome::Rejected;
        }
        outLen -= dstLeft;
        return inLen == 0 ? Outcome::Converted : Outcome::Rejected;
    }

  private:
    iconv_t cd_;
};

// WCHAR_T is glibc's internal UCS-4, so CP932 converts to and from it in a
// single step, and the code point needs no parsing.
constexpr const char* kCodePoints = "WCHAR_T";

Utf8Char utf8Char(char32_t cp) {
    if (cp < 0x80) {
        return 1u << 24 | cp;
    }
    if (cp < 0x800) {
        return 2u << 24 | (0x80 | (cp & 0x3F)) << 8 | (0xC0 | cp >> 6);
    }
    return 3u << 24 | (0x80 | (cp & 0x3F)) << 16 | (0x80 | (cp >> 6 & 0x3F)) << 8 |
           (0xE0 | cp >> 12);
}

char32_t codePointOf(Utf8Char c) {
    switch (c >> 24) {
        case 1:
            return c & 0x7F;
        case 2:
            return (c & 0x1F) << 6 | (c >> 8 & 0x3F);
        default:
            return (c & 0x0F) << 12 | (c >> 8 & 0x3F) << 6 | (c >> 16 & 0x3F);
    }
}

// The one BMP character `bytes` decode to, else kUndefined (and whether
// iconv wanted more bytes).
Utf8Char decodeUnit(Iconv& conv, const unsigned char* bytes, std::size_t n,
                    bool* incomplete = nullptr) {
    char32_t cp[2];
    std::size_t outLen = sizeof cp;
    const auto outcome = conv.convert(bytes, n, cp, outLen);
    if (incomplete != nullptr) {
        *incomplete = outcome == Iconv::Outcome::Incomplete;
    }
    if (outcome != Iconv::Outcome::Converted || outLen != sizeof(char32_t) || cp[0] > 0xFFFF) {
        return kUndefined;
    }
    return utf8Char(cp[0]);
}

// When iconv cannot be opened every table entry stays undefined; then
// decoding gives replacement characters and encoding gives fallbacks, as the
// failing conversions did before there were tables.
DecodeTables buildDecodeTables() {
    DecodeTables t;
    t.first.fill(kUndefined);
    Iconv conv(kCodePoints, "CP932");
    if (!conv.valid()) {
        return t;
    }
    t.available = true;
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned char one[1] = {static_cast<unsigned char>(b)};
        bool incomplete = false;
        t.first[b] = decodeUnit(conv, one, 1, &incomplete);
        // A lead byte on its own is incomplete rather than undefined.
        if (!incomplete) {
            continue;
        }
        t.first[b] = kLead | static_cast<Utf8Char>(t.pairs.size());
        for (unsigned trail = 0; trail < 256; ++trail) {
            const unsigned char two[2] = {static_cast<unsigned char>(b),
                                          static_cast<unsigned char>(trail)};
            t.pairs.push_back(decodeUnit(conv, two, 2));
        }
    }
    return t;
}

std::unique_ptr<EncodeTable> buildEncodeTable() {
    auto t = std::make_unique<EncodeTable>();
    t->code.fill(kUnencodable);
    Iconv conv("CP932", kCodePoints);
    if (!conv.valid()) {
        return t;
    }
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;  // no UTF-8 input ever carries a surrogate this far
        }
        unsigned char out[4];
        std::size_t outLen = sizeof out;
        if (conv.convert(&cp, sizeof cp, out, outLen) != Iconv::Outcome::Converted) {
            continue;
        }
        if (outLen == 1) {
            t->code[cp] = out[0];
        } else if (outLen == 2 && out[0] != 0 && !(out[0] == 0xFF && out[1] == 0xFF)) {
            t->code[cp] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
        }
    }
    return t;
}

// Built at the first use, once, whichever thread gets there first.
const EncodeTable& encodeTable() {
    static const std::unique_ptr<EncodeTable> table = buildEncodeTable();
    return *table;
}

// CP932 has nothing beyond the BMP, but iconv does not simply reject every
// such code point (it drops the Unicode tag characters, for one). They are
// rare in text, so iconv answers for them one at a time instead of a table
// of a million entries. Returns false when iconv rejects `cp`.
bool encodeBeyondBmp(char32_t cp, std::string& out) {
    thread_local Iconv conv("CP932", kCodePoints);
    unsigned char bytes[8];
    std::size_t len = sizeof bytes;
    if (!conv.valid() || conv.convert(&cp, sizeof cp, bytes, len) != Iconv::Outcome::Converted) {
        return false;
    }
    out.append(reinterpret_cast<const char*>(bytes), len);
    return true;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// How many bytes one replacement character stands for: an undefined
// double-byte code counts as one character, so its trail byte does not show
// up as a stray ASCII letter.
std::size_t undecodableLength(const unsigned char* rest, std::size_t n) {
    if (n >= 2) {
        const unsigned char trail = rest[1];
        const bool trailByte = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
        if (isLeadByte(rest[0]) && trailByte) {
            return 2;
        }
    }
    return 1;
}

// Decodes `bytes`; returns false when anything was undefined or, when
// kExact, a character would encode to other bytes than it came from.
template <bool kExact>
bool decode(std::string_view bytes, std::string& utf8) {
    const DecodeTables& t = decodeTables();
    const Utf8Char* const first = t.first.data();
    const Utf8Char* const pairs = t.pairs.data();
    const std::uint16_t* const encoded = kExact ? encodeTable().code.data() : nullptr;
    const cp932::DecodeBuffer buf(bytes.size());
    char* out = buf.data();
    bool clean = true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p != end) {
        const unsigned char* const unit = p;
        Utf8Char c = first[*p++];
        if (c >= kLead) {
            c = p != end ? pairs[(c & 0xFFFF) + *p++] : kUndefined;
        }
        if (c == kUndefined) [[unlikely]] {
            clean = false;
            out = std::copy(kReplacement.begin(), kReplacement.end(), out);
            p = unit + undecodableLength(unit, end - unit);
            continue;
        }
        if constexpr (kExact) {
            const unsigned code = p - unit == 1 ? unit[0] : unit[0] << 8 | unit[1];
            clean = clean && encoded[codePointOf(c)] == code;
        }
        out = cp932::putUtf8Char(out, c);
    }
    utf8.assign(buf.data(), out);
    return clean;
}

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view s, char32_t* codePoint) {
    if (s.empty()) {
        return 0;
    }
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t len;
    char32_t cp;
    if (b0 < 0x80) {
        *codePoint = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() < len) {
        return 0;
    }
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    *codePoint = cp;
    return len;
}

bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

const DecodeTables& cp932::decodeTables() {
    static const DecodeTables tables = buildDecodeTables();
    return tables;
}

std::string cp932ToUtf8(std::string_view bytes) {
    // Most lines of a question file are plain ASCII; they need no conversion.
    // Without a CP932 converter at all the bytes are the best there is.
    if (isAscii(bytes) || !decodeTables().available) {
        return std::string(bytes);
    }
    std::string utf8;
    decode<false>(bytes, utf8);
    return utf8;
}

bool cp932ToUtf8Exact(std::string_view bytes, std::string& utf8) {
    return decode<true>(bytes, utf8);
}

bool cp932ToUtf8Defined(std::string_view bytes, std::string& utf8) {
    return decode<false>(bytes, utf8);
}

std::string utf8ToCp932(std::string_view utf8, Unmappable fallback) {
    const EncodeTable& table = encodeTable();
    std::string out;
    out.reserve(utf8.size());  // a character CP932 holds never takes more bytes than in UTF-8
    while (!utf8.empty()) {
        char32_t cp = 0xFFFD;
        const std::size_t len = utf8SequenceLength(utf8, &cp);
        utf8.remove_prefix(len == 0 ? 1 : len);
        if (len == 0) {
            cp = 0xFFFD;  // a byte that is not UTF-8 stands for one unknown character
        } else if (cp >= 0x10000) {
            if (encodeBeyondBmp(cp, out)) {
                continue;
            }
        } else if (const std::uint16_t code = table.code[cp]; code != kUnencodable) {
            if (code >= 0x100) {
                out += static_cast<char>(code >> 8);
            }
            out += static_cast<char>(code & 0xFF);
            continue;
        }
        if (fallback == Unmappable::HtmlReference) {
            out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
        } else {
            out += '?';
        }
    }
    return out;
}

bool isValidUtf8(std::string_view utf8) {
    while (!utf8.empty()) {
        char32_t cp;
        const std::size_t len = utf8SequenceLength(utf8, &cp);
        if (len == 0) {
            return false;
        }
        utf8.remove_prefix(len);
    }
    return true;
}

bool appendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        return false;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return true;
}

}  // namespace tovalo::text
