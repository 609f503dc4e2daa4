#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tovalo {

// A text of the question file as lines (the file keeps CR LF between them).
std::vector<std::string> textLines(std::string_view text);
// Lines as a memo holds them: each one followed by CR LF.
std::string memoText(const std::vector<std::string>& lines);

// Drops the text's leading empty lines and then, when the first line is an
// "<INCLUDE IMG>" line, takes it off and returns its names (at most four).
std::vector<std::string> takeFigureLine(std::vector<std::string>& lines);

// Where the program opens figure `name` of a course: the vendor's
// question folder (ending in "/") + "img/" + name.
std::string figurePath(const std::string& questionDir, const std::string& name);

// The "【参照】" block of the answer view, line by line: plain text or
// HTML (formatKind 2). Titles that are blank and pages "0" add no line.
std::vector<std::string> answerReferenceLines(const std::array<std::string, 4>& refText,
                                              const std::array<std::string, 4>& refPage,
                                              int formatKind);

// The letter a support page gives choice slot 1..10: the katakana under
// the "ｱ" label style, A..J under every other.
std::string supportLetter(int slot, std::string_view labelStyle);

}  // namespace tovalo
