#pragma once

#include <string>
#include <string_view>

namespace tovalo::text {

// The byte substitution that question files apply to their text lines. It is
// its own inverse: scrambling a stored line gives the readable line and the
// other way round. Works on CP932 bytes, never on decoded text.
std::string scramble(std::string_view line);

// The UTF-8 text of stored bytes: cp932ToUtf8(scramble(stored)) in one pass,
// without the readable CP932 copy in between.
std::string unscrambleToUtf8(std::string_view stored);
// The same into `target`, whose storage is reused when it is large enough.
void unscrambleToUtf8(std::string_view stored, std::string& target);

}  // namespace tovalo::text
