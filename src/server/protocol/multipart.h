#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

// multipart/form-data bodies, which browsers send for forms that carry
// files. The body as a whole is bounded by the server's limits; these bound
// what is inside it.
namespace tovalo::server::protocol {

inline constexpr std::size_t kMaxMultipartParts = 200;
inline constexpr std::size_t kMaxPartHeaderBytes = 8 * 1024;

struct FormPart {
    std::string name;
    std::string filename;  // "" for a plain field; a file's name as sent, without folders
    bool isFile = false;   // a file input, chosen or not
    std::string contentType;
    std::string data;  // the bytes as sent
};

// The parts of `body` in the order sent. `contentType` is the header's
// value, which names the boundary. Refuses, with a message in Japanese,
// another media type, a missing or overlong boundary, a part without a
// name, too many parts or headers, and a body that ends before its closing
// boundary.
Result<std::vector<FormPart>> parseMultipart(std::string_view body, std::string_view contentType);

// The data of the first part called `name`; "" when there is none.
std::string partValue(const std::vector<FormPart>& parts, std::string_view name);

}  // namespace tovalo::server::protocol
