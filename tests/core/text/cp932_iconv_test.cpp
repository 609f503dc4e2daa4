// The CP932 codec answers from tables; these tests hold it to what glibc's
// iconv gives for the same bytes, with the substitution rules of cp932.h
// applied wherever iconv stops.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/text/cp932.h"

using namespace tovalo::text;
using ::testing::IsEmpty;

namespace {

class Descriptor {
  public:
    Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Descriptor() { iconv_close(cd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Converts as far as iconv goes; where it stops, `substitute` appends a
// stand-in and says how many input bytes that covers.
template <class Substitute>
std::string throughIconv(iconv_t cd, std::string_view in, Substitute substitute) {
    std::string out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char buf[512];
        char* dst = buf;
        std::size_t room = sizeof buf;
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, dst);
        if (r != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        const std::size_t skip = substitute(std::string_view(src, left), out);
        src += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

// An undefined lead/trail pair is one character; anything else that iconv
// stops at is one byte.
std::size_t undecodable(std::string_view rest) {
    if (rest.size() < 2 || !isLeadByte(static_cast<unsigned char>(rest[0]))) {
        return 1;
    }
    const auto trail = static_cast<unsigned char>(rest[1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
}

// The code point and length of the UTF-8 sequence `rest` starts with, 0
// when it starts with none. UTF-8 is what isValidUtf8 accepts; its
// sequences are prefix-free, so the shortest valid prefix is the one.
std::size_t sequenceLength(std::string_view rest, char32_t* cp) {
    for (std::size_t n = 1; n <= 4 && n <= rest.size(); ++n) {
        if (isValidUtf8(rest.substr(0, n))) {
            const auto b0 = static_cast<unsigned char>(rest[0]);
            char32_t v = n == 1 ? b0 : b0 & (0x7F >> n);
            for (std::size_t i = 1; i < n; ++i) {
                v = v << 6 | (static_cast<unsigned char>(rest[i]) & 0x3F);
            }
            *cp = v;
            return n;
        }
    }
    return 0;
}

struct Reference {
    Descriptor toUtf8{"UTF-8", "CP932"};
    Descriptor toCp932{"CP932", "UTF-8"};

    std::string decode(std::string_view bytes, bool* clean = nullptr) {
        return throughIconv(toUtf8.get(), bytes, [clean](std::string_view rest, std::string& out) {
            if (clean != nullptr) {
                *clean = false;
            }
            out += "\xEF\xBF\xBD";
            return undecodable(rest);
        });
    }

    std::string encode(std::string_view utf8, Unmappable fallback) {
        return throughIconv(
            toCp932.get(), utf8, [fallback](std::string_view rest, std::string& out) {
                char32_t cp = 0xFFFD;
                std::size_t len = sequenceLength(rest, &cp);
                if (len == 0) {
                    len = 1;
                    cp = 0xFFFD;
                }
                out += fallback == Unmappable::Question
                           ? std::string("?")
                           : "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
                return len;
            });
    }
};

std::string hex(std::string_view s) {
    std::string h;
    char b[4];
    for (char c : s) {
        std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned char>(c));
        h += b;
    }
    return h.empty() ? "(empty)" : h.substr(0, h.size() - 1);
}

// Collects differences so that one broken row reads as a short list, not
// as thousands of failures.
class Differences {
  public:
    template <class T>
    void compare(const char* what, std::string_view input, const T& ours, const T& theirs) {
        if (ours == theirs) {
            return;
        }
        if (++count_ <= 20) {
            list_.push_back(std::string(what) + " of [" + hex(input) + "]");
        }
    }
    // The first differences, and how many there were in all.
    std::vector<std::string> list() const {
        auto l = list_;
        if (count_ > 0) {
            l.push_back(std::to_string(count_) + " differences");
        }
        return l;
    }

  private:
    std::vector<std::string> list_;
    int count_ = 0;
};

void compareDecoding(Reference& ref, Differences& diff, std::string_view bytes) {
    bool clean = true;
    const std::string expected = ref.decode(bytes, &clean);
    // All-ASCII text was never converted, only copied.
    bool ascii = true;
    for (char c : bytes) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    diff.compare("decoding", bytes, cp932ToUtf8(bytes), ascii ? std::string(bytes) : expected);

    std::string exact = "left over";
    const bool isExact = cp932ToUtf8Exact(bytes, exact);
    diff.compare("exact decoding", bytes, exact, expected);
    diff.compare("exactness", bytes, isExact,
                 clean && ref.encode(expected, Unmappable::Question) == bytes);
}

void compareEncoding(Reference& ref, Differences& diff, std::string_view utf8) {
    for (Unmappable f : {Unmappable::Question, Unmappable::HtmlReference}) {
        diff.compare(f == Unmappable::Question ? "encoding with ?" : "encoding with &#;", utf8,
                     utf8ToCp932(utf8, f), ref.encode(utf8, f));
    }
}

// UTF-8 form of any value up to 0x1FFFFF, surrogates included, which makes
// them the invalid input they are.
std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | cp >> 6);
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | cp >> 12);
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | cp >> 18);
        s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

}  // namespace

TEST(Cp932AgainstIconv, DecodesEverySingleByteAndEveryPairAlike) {
    Reference ref;
    Differences diff;
    for (unsigned b = 0; b < 256; ++b) {
        compareDecoding(ref, diff, std::string(1, static_cast<char>(b)));
    }
    std::string pair(2, '\0');
    for (unsigned code = 0; code < 0x10000; ++code) {
        pair[0] = static_cast<char>(code >> 8);
        pair[1] = static_cast<char>(code & 0xFF);
        compareDecoding(ref, diff, pair);
    }
    EXPECT_THAT(diff.list(), IsEmpty());
}

TEST(Cp932AgainstIconv, EncodesEveryCodePointAlike) {
    Reference ref;
    Differences diff;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        compareEncoding(ref, diff, utf8Of(cp));
    }
    // Beyond the BMP iconv rejects most code points but not all (it drops
    // some silently). Every one of them is asked of iconv as UCS-4, which is
    // quick; a sample also goes the whole way from UTF-8 with both fallbacks.
    Descriptor fromUcs4("CP932", "UCS-4LE");
    for (char32_t cp = 0x10000; cp <= 0x10FFFF; ++cp) {
        const unsigned char le[4] = {static_cast<unsigned char>(cp),
                                     static_cast<unsigned char>(cp >> 8),
                                     static_cast<unsigned char>(cp >> 16), 0};
        char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(le));
        std::size_t left = sizeof le;
        char buf[8];
        char* dst = buf;
        std::size_t room = sizeof buf;
        iconv(fromUcs4.get(), nullptr, nullptr, nullptr, nullptr);
        const bool converted =
            iconv(fromUcs4.get(), &src, &left, &dst, &room) != static_cast<std::size_t>(-1);
        const std::string utf8 = utf8Of(cp);
        diff.compare("encoding", utf8, utf8ToCp932(utf8),
                     converted ? std::string(buf, dst) : std::string("?"));
        if (cp % 61 == 0) {
            compareEncoding(ref, diff, utf8);
        }
    }
    for (char32_t cp : {0x110000u, 0x1FFFFFu}) {
        compareEncoding(ref, diff, utf8Of(cp));
    }
    EXPECT_THAT(diff.list(), IsEmpty());
}

TEST(Cp932AgainstIconv, EncodesMalformedUtf8Alike) {
    Reference ref;
    Differences diff;
    // Every two-byte input: overlong and cut-short forms, stray continuation
    // bytes, bytes that never occur in UTF-8.
    std::string two(2, '\0');
    for (unsigned code = 0; code < 0x10000; ++code) {
        two[0] = static_cast<char>(code >> 8);
        two[1] = static_cast<char>(code & 0xFF);
        compareEncoding(ref, diff, two);
    }
    // Three- and four-byte leads with every second byte and the third and
    // fourth at the edges of the continuation range or missing.
    const std::vector<std::string> tails = {"",  "\x80",     "\xBF",     "\x7F",    "\xC0",
                                            "A", "\x80\x80", "\xBF\xBF", "\x80\x41"};
    for (unsigned lead = 0xE0; lead <= 0xFF; ++lead) {
        for (unsigned second = 0; second < 256; ++second) {
            for (const std::string& tail : tails) {
                std::string s{static_cast<char>(lead), static_cast<char>(second)};
                compareEncoding(ref, diff, s + tail);
            }
        }
    }
    EXPECT_THAT(diff.list(), IsEmpty());
}

TEST(Cp932AgainstIconv, MixedTextWithBadSequencesAtStartMiddleAndEnd) {
    Reference ref;
    Differences diff;
    const std::string text = utf8ToCp932("ネットワーク基礎ｱｲｳ①");
    const std::vector<std::string> cp932Inputs = {
        "",
        "plain ASCII, C:\\path~",
        "\x85\x40" + text,                     // undefined pair first
        text + "\x85\x41" + text,              // undefined pair whose trail is a letter
        text + "\x81\x20" + text,              // lead byte before a space
        text + "\x81\x7F" + "z",               // lead byte before DEL
        text + "\x80\xA0\xFD\xFE\xFF" + text,  // bytes that are never characters
        text + "\x89",                         // lone lead byte at the end
        "\x89",
        "\x81\x81\x81",                      // leads pairing with leads, one left over
        "\xED\x40\xFA\x5C\x87\x90\x81\xE0",  // codes defined twice
        "\xF0\x40\xF9\xFC",                  // user-defined area
        std::string("a\0b\x82\xA0", 5),
    };
    for (const std::string& s : cp932Inputs) {
        compareDecoding(ref, diff, s);
    }
    const std::vector<std::string> utf8Inputs = {
        "",
        "\xEF\xBB\xBF"
        "先頭のBOM",
        "\xC0\xAF"
        "テキスト",                      // overlong at the start
        "テキスト\xED\xA0\x80テキスト",  // surrogate inside
        "テキスト\xE3\x81",              // cut short at the end
        "テキスト\xE3\x81z",             // cut short inside
        "\xF0\x9F\x98\x80"
        "絵文字\xF0\x9F\x98\x80",
        "\xFF\xEF\xBB\xBF"
        "BOM after a bad byte",
        // characters that encode to a code which decodes to another one
        "\u00A5\u203E\u2014\u2016\u2212\u301C\u00A2\u00A3\u00AC",
        std::string("a\0b", 3),
    };
    for (const std::string& s : utf8Inputs) {
        compareEncoding(ref, diff, s);
    }
    // Random strings over the bytes where the rules meet, fixed seed.
    const std::string interesting = std::string(
        "\x00\x0A\x40\x41\x5C\x7E\x7F\x80\x81\x82\x85\x87\x9F\xA0\xA1\xBF\xC0\xC2"
        "\xDF\xE0\xE3\xED\xEF\xF0\xF4\xF5\xFA\xFC\xFD\xFF",
        30);
    std::mt19937 rng(20240611);
    for (int n = 0; n < 20000; ++n) {
        std::string s(rng() % 24, '\0');
        for (char& c : s) {
            c = rng() % 2 ? interesting[rng() % interesting.size()] : static_cast<char>(rng());
        }
        compareDecoding(ref, diff, s);
        compareEncoding(ref, diff, s);
    }
    EXPECT_THAT(diff.list(), IsEmpty());
}
