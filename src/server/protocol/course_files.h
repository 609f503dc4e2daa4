#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>

#include "core/common/result.h"

// The files of a published course as clients receive them.
namespace tovalo::server::protocol {

// A course settings file as clients install it, CP932. Settings kept in
// UTF-8 (as the sample's sources are) are written in CP932 with CR LF; a
// file that is neither UTF-8 nor CP932 fails naming `path`.
Result<std::string> installedSettingsFile(std::string_view bytes, const std::string& path);

// The question file with its line 9, the date line clients compare, made
// `dateLine`; the rest stays byte for byte.
std::string withDateLine(std::string_view qdf, std::string_view dateLine);

// The settings file with the figure list's version (line 2) and each
// figure's number made the given ones, in list order; every other byte
// stays. `figureVersions` holds one number per listed figure.
std::string withFigureVersions(std::string_view ini, std::uint64_t listVersion,
                               std::span<const std::uint64_t> figureVersions);

// Whether a date line starts with the 14 digits "yyyymmddhhmmss" that
// clients compare.
bool isStamp(std::string_view line);

// A "yyyymmddhhmmss" stamp as seconds, read as if it were UTC (it names
// no zone); 0 for anything else.
std::time_t stampTime(std::string_view stamp);

// The "yyyymmddhhmmss" one second after `stamp` (which has that form), for
// a date line that must be later than another one.
std::string secondAfter(std::string_view stamp);

}  // namespace tovalo::server::protocol
