#include "core/text/cp932.h"

#include <iconv.h>
#include <cerrno>

namespace tovalo::text {
namespace {

// iconv_open is far dearer than a conversion, so each thread keeps one
// descriptor per direction for its whole life.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return cd_;
    }

  private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// How many bytes one replacement character stands for: an undefined
// double-byte code counts as one character, so its trail byte does not show
// up as a stray ASCII letter.
std::size_t undecodableLength(std::string_view rest) {
    if (rest.size() >= 2) {
        const auto lead = static_cast<unsigned char>(rest[0]);
        const auto trail = static_cast<unsigned char>(rest[1]);
        const bool trailByte = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
        if (isLeadByte(lead) && trailByte) {
            return 2;
        }
    }
    return 1;
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

// Runs iconv over `in`; on a sequence it cannot convert it calls
// onBad(remaining input, output) which appends a substitute and returns how
// many input bytes to skip.
template <class OnBad>
std::string convert(Converter& conv, std::string_view in, OnBad onBad) {
    std::string out;
    if (in.empty()) {
        return out;
    }
    out.resize(in.size() * 2 + 16);
    std::size_t used = 0;
    iconv_t cd = conv.get();
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: the bytes at src cannot be converted.
        out.resize(used);
        const std::size_t skip = onBad(std::string_view(src, srcLeft), out);
        used = out.size();
        out.resize(used + srcLeft * 2 + 16);
        src += skip;
        srcLeft -= skip;
        cd = conv.get();
    }
    out.resize(used);
    return out;
}

}  // namespace

namespace {
bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}
}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
    // Most lines of a question file are plain ASCII; they need no conversion.
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    Converter& conv = decoder();
    if (!conv.valid()) {
        return std::string(bytes);
    }
    return convert(conv, bytes, [](std::string_view rest, std::string& out) {
        out += kReplacement;
        return undecodableLength(rest);
    });
}

bool cp932ToUtf8Exact(std::string_view bytes, std::string& utf8) {
    bool clean = true;
    Converter& conv = decoder();
    utf8 = convert(conv, bytes, [&clean](std::string_view rest, std::string& out) {
        clean = false;
        out += kReplacement;
        return undecodableLength(rest);
    });
    return clean && utf8ToCp932(utf8) == bytes;
}

std::string utf8ToCp932(std::string_view utf8, Unmappable fallback) {
    Converter& conv = encoder();
    return convert(conv, utf8, [fallback](std::string_view rest, std::string& out) {
        char32_t cp = 0xFFFD;
        std::size_t len = utf8SequenceLength(rest, &cp);
        if (len == 0) {
            len = 1;
            cp = 0xFFFD;
        }
        if (fallback == Unmappable::HtmlReference) {
            out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
        } else {
            out += '?';
        }
        return len;
    });
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

}  // namespace tovalo::text
