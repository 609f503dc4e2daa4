#include "core/text/scramble.h"

#include "core/text/cp932.h"
#include "core/text/cp932_tables.h"

namespace tovalo::text {
namespace {

unsigned char rotateLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'M') || (c >= 'a' && c <= 'm')) {
        return c + 13;
    }
    if ((c >= 'N' && c <= 'Z') || (c >= 'n' && c <= 'z')) {
        return c - 13;
    }
    return c;
}

// Every change below keeps the lead byte at 0x80 or above, so scrambling
// pairs the bytes of a line the same way in both directions.
void scramblePair(unsigned char& lead, unsigned char& trail) {
    if (lead == 0x83) {
        if (trail >= 0x40 && trail <= 0x4F) {
            trail += 0x10;
        } else if (trail >= 0x50 && trail <= 0x5F) {
            trail -= 0x10;
        } else if (trail >= 0x60 && trail <= 0x6F) {
            trail += 0x20;
        } else if (trail >= 0x80 && trail <= 0x8F) {
            trail -= 0x20;
        }
        return;
    }
    if (lead == 0x82) {
        if (trail >= 0xA0 && trail <= 0xBF) {
            trail += 0x20;
        } else if (trail >= 0xC0 && trail <= 0xDF) {
            trail -= 0x20;
        }
        return;
    }
    if (trail < 0x40) {
        return;
    }
    if (lead >= 0x89 && lead <= 0x8F) {
        lead += 0x10;
    } else if (lead >= 0x99 && lead <= 0x9F) {
        lead -= 0x10;
    } else if (lead >= 0x90 && lead <= 0x97) {
        lead += 0x50;
    } else if (lead >= 0xE0 && lead <= 0xE7) {
        lead -= 0x50;
    }
}

// Decoding tables for stored bytes: an ASCII byte's entry is the character
// of the letter it is rotated to, and the row of a lead byte holds, for each
// stored trail, the character of the pair the rules turn the two into. A
// lead byte pairs with the next byte in both the scrambling and CP932, so
// the two stay in step. Everything else (a byte of 0x80 or above that CP932
// reads alone, a pair CP932 does not define, a lead byte at the end) is left
// undefined here and taken the long way, scrambling first.
struct StoredTables {
    std::array<cp932::Utf8Char, 256> first;
    std::vector<cp932::Utf8Char> pairs;
};

StoredTables buildStoredTables() {
    const cp932::DecodeTables& plain = cp932::decodeTables();
    StoredTables t;
    t.first.fill(cp932::kUndefined);
    for (unsigned b = 0; b < 0x80; ++b) {
        const cp932::Utf8Char c = plain.first[rotateLetter(static_cast<unsigned char>(b))];
        t.first[b] = c >= cp932::kLead ? cp932::kUndefined : c;
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
        if (plain.first[b] < cp932::kLead) {
            continue;
        }
        t.first[b] = cp932::kLead | static_cast<cp932::Utf8Char>(t.pairs.size());
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            auto readableLead = static_cast<unsigned char>(b);
            auto readableTrail = static_cast<unsigned char>(trail);
            scramblePair(readableLead, readableTrail);
            const cp932::Utf8Char row = plain.first[readableLead];
            t.pairs.push_back(row >= cp932::kLead ? plain.pairs[(row & 0xFFFF) + readableTrail]
                                                  : cp932::kUndefined);
        }
    }
    return t;
}

}  // namespace

std::string scramble(std::string_view line) {
    std::string out(line);
    const std::size_t n = out.size();
    std::size_t i = 0;
    while (i < n) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x80) {
            out[i] = static_cast<char>(rotateLetter(c));
            ++i;
            continue;
        }
        if (i + 1 == n) {
            // A lone lead byte at the end pairs with a zero byte that is not
            // kept; no rule changes a lead whose trail is zero, so it stays.
            break;
        }
        auto t = static_cast<unsigned char>(out[i + 1]);
        scramblePair(c, t);
        out[i] = static_cast<char>(c);
        out[i + 1] = static_cast<char>(t);
        i += 2;
    }
    return out;
}

std::string unscrambleToUtf8(std::string_view stored) {
    std::string out;
    unscrambleToUtf8(stored, out);
    return out;
}

void unscrambleToUtf8(std::string_view stored, std::string& target) {
    static const StoredTables t = buildStoredTables();
    const cp932::Utf8Char* const first = t.first.data();
    const cp932::Utf8Char* const pairs = t.pairs.data();
    const cp932::DecodeBuffer buf(stored.size());
    char* out = buf.data();
    const auto* p = reinterpret_cast<const unsigned char*>(stored.data());
    const auto* const end = p + stored.size();
    while (p != end) {
        cp932::Utf8Char c = first[*p];
        // Japanese text is mostly runs of double-byte characters. Four of
        // them in a row are decoded together: the eight bytes are known to
        // pair up once every other one is a lead byte, and then no character
        // waits on a branch about the one before it.
        if (c >= cp932::kLead && end - p >= 8) {
            const cp932::Utf8Char r1 = first[p[2]];
            const cp932::Utf8Char r2 = first[p[4]];
            const cp932::Utf8Char r3 = first[p[6]];
            if ((r1 & r2 & r3) >= cp932::kLead) {
                const cp932::Utf8Char c0 = pairs[(c & 0xFFFF) + p[1]];
                const cp932::Utf8Char c1 = pairs[(r1 & 0xFFFF) + p[3]];
                const cp932::Utf8Char c2 = pairs[(r2 & 0xFFFF) + p[5]];
                const cp932::Utf8Char c3 = pairs[(r3 & 0xFFFF) + p[7]];
                if ((c0 == cp932::kUndefined) | (c1 == cp932::kUndefined) |
                    (c2 == cp932::kUndefined) | (c3 == cp932::kUndefined)) [[unlikely]] {
                    target = cp932ToUtf8(scramble(stored));
                    return;
                }
                out = cp932::putUtf8Char(out, c0);
                out = cp932::putUtf8Char(out, c1);
                out = cp932::putUtf8Char(out, c2);
                out = cp932::putUtf8Char(out, c3);
                p += 8;
                continue;
            }
        }
        ++p;
        if (c >= cp932::kLead) {
            c = p != end ? pairs[(c & 0xFFFF) + *p++] : cp932::kUndefined;
        }
        if (c == cp932::kUndefined) [[unlikely]] {
            target = cp932ToUtf8(scramble(stored));
            return;
        }
        out = cp932::putUtf8Char(out, c);
    }
    target.assign(buf.data(), out);
}

}  // namespace tovalo::text
