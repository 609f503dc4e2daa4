#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo {

// Question files are kept in the repository and written by authors as
// readable sources: the same lines, in UTF-8, with every scrambled line
// unscrambled. Two conventions keep the round trip exact:
//  - a line that starts with "\" is written escaped: "\\" is a backslash and
//    "\xHH" a raw byte; it is used for lines that would otherwise read as a
//    marker, lines that do not survive CP932 decoding, and lines that start
//    with a backslash;
//  - in a choice block, the line "Null" stands for an empty choice slot, as in
//    the stored file (whose "Null" reads as the absent choice).
// Line ends come out as LF and go back as CR LF.

// The readable source of a stored question file. Fails when the file's line
// structure cannot be read.
Result<std::string> unpackQuestionFile(std::string_view stored, const std::string& path);

// The stored question file (CP932, scrambled text lines, CR LF) of a source.
// Refuses a text line whose stored form would read as a marker or as "none",
// a character CP932 cannot hold, and a result the loader would not accept.
Result<std::string> packQuestionSource(std::string_view source, const std::string& path);

}  // namespace tovalo
