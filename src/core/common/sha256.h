#pragma once

#include <string>
#include <string_view>

namespace tovalo {

// The SHA-256 digest of `bytes` in lower-case hexadecimal (FIPS 180-4). Our
// own, so that the program tells a user's edits from shipped files without
// loading a cryptographic library at every start.
std::string sha256Hex(std::string_view bytes);

}  // namespace tovalo
