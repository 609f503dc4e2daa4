#include "core/text/scramble.h"

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

}  // namespace tovalo::text
