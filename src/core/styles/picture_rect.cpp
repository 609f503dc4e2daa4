#include "core/styles/picture_rect.h"

#include <charconv>

#include "core/text/trim.h"

namespace tovalo {

std::optional<int> parseStyleInteger(std::string_view text) {
    text = text::trim(text);
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

std::optional<PictureRect> parsePictureRect(std::string_view text, std::string* rest) {
    int values[4];
    for (int k = 0; k < 4; ++k) {
        const std::size_t comma = text.find(',');
        const bool last = k == 3;
        std::string_view part = text;
        if (!last || (rest != nullptr && comma != std::string_view::npos)) {
            if (comma == std::string_view::npos) {
                return std::nullopt;
            }
            part = text.substr(0, comma);
            text.remove_prefix(comma + 1);
        }
        const auto v = parseStyleInteger(part);
        if (!v) {
            return std::nullopt;
        }
        values[k] = *v;
    }
    if (rest != nullptr) {
        *rest = std::string(text);
    }
    return PictureRect{values[0], values[1], values[2], values[3]};
}

}  // namespace tovalo
