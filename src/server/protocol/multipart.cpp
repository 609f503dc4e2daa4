#include "server/protocol/multipart.h"

#include <algorithm>
#include <optional>

#include "core/text/trim.h"

namespace tovalo::server::protocol {

namespace {

Error refused(std::string message) {
    return Error{std::move(message), {}, 0};
}

// The value of `key` among a header's "; key=value" parameters, quoted or
// not; nothing when absent.
std::optional<std::string> parameter(std::string_view header, std::string_view key) {
    std::size_t at = header.find(';');
    while (at != std::string_view::npos) {
        const std::size_t eq = header.find('=', at + 1);
        if (eq == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string name = text::asciiLower(text::trim(header.substr(at + 1, eq - at - 1)));
        std::string value;
        if (eq + 1 < header.size() && header[eq + 1] == '"') {
            // Browsers escape a quote in a file name as %22 and keep
            // backslashes, so a quoted value ends at the next quote.
            const std::size_t close = header.find('"', eq + 2);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            value = std::string(header.substr(eq + 2, close - eq - 2));
            at = header.find(';', close + 1);
        } else {
            at = header.find(';', eq + 1);
            value = std::string(text::trim(header.substr(eq + 1, at - std::min(at, eq + 1))));
            if (at == std::string_view::npos) {
                value = std::string(text::trim(header.substr(eq + 1)));
            }
        }
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

// A file's name as the user chose it, without the folders some browsers send.
std::string baseName(std::string_view name) {
    const std::size_t cut = name.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
}

}  // namespace

Result<std::vector<FormPart>> parseMultipart(std::string_view body, std::string_view contentType) {
    const std::size_t semi = contentType.find(';');
    if (text::asciiLower(text::trim(contentType.substr(0, semi))) != "multipart/form-data") {
        return refused("フォームの形式が multipart/form-data ではありません。");
    }
    const std::optional<std::string> boundary = parameter(contentType, "boundary");
    if (!boundary || boundary->empty() || boundary->size() > 70) {
        return refused("フォームの区切りが正しくありません。");
    }
    const std::string delimiter = "--" + *boundary;
    std::vector<FormPart> parts;
    if (!body.starts_with(delimiter)) {
        return refused("フォームの区切りが正しくありません。");
    }
    std::size_t at = delimiter.size();
    while (true) {
        if (body.substr(at).starts_with("--")) {
            return parts;
        }
        if (!body.substr(at).starts_with("\r\n")) {
            return refused("フォームの区切りが正しくありません。");
        }
        at += 2;
        if (parts.size() == kMaxMultipartParts) {
            return refused("フォームの項目が多すぎます。");
        }
        const std::size_t headEnd = body.find("\r\n\r\n", at);
        if (headEnd == std::string_view::npos || headEnd - at > kMaxPartHeaderBytes) {
            return refused("フォームの項目の見出しが読めません。");
        }
        FormPart part;
        bool named = false;
        std::string_view head = body.substr(at, headEnd - at);
        while (!head.empty()) {
            const std::size_t eol = std::min(head.find("\r\n"), head.size());
            const std::string_view line = head.substr(0, eol);
            head = head.substr(std::min(eol + 2, head.size()));
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos) {
                return refused("フォームの項目の見出しが読めません。");
            }
            const std::string key = text::asciiLower(text::trim(line.substr(0, colon)));
            const std::string_view value = text::trim(line.substr(colon + 1));
            if (key == "content-disposition") {
                if (const std::optional<std::string> name = parameter(value, "name")) {
                    part.name = *name;
                    named = true;
                }
                if (const std::optional<std::string> file = parameter(value, "filename")) {
                    part.isFile = true;
                    part.filename = baseName(*file);
                }
            } else if (key == "content-type") {
                part.contentType = std::string(value);
            }
        }
        if (!named) {
            return refused("名前のないフォームの項目があります。");
        }
        const std::size_t dataStart = headEnd + 4;
        const std::size_t next = body.find("\r\n" + delimiter, dataStart);
        if (next == std::string_view::npos) {
            return refused("フォームが途中で切れています。");
        }
        part.data = std::string(body.substr(dataStart, next - dataStart));
        parts.push_back(std::move(part));
        at = next + 2 + delimiter.size();
    }
}

std::string partValue(const std::vector<FormPart>& parts, std::string_view name) {
    for (const FormPart& p : parts) {
        if (p.name == name) {
            return p.data;
        }
    }
    return {};
}

}  // namespace tovalo::server::protocol
