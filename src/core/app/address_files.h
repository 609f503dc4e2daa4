#pragma once

#include <string>
#include <vector>

#include "core/common/result.h"

namespace tovalo::app {

// Small files installed beside the program that hold service addresses,
// one value per line.
inline constexpr const char* kCgiUrlFile = "CGI_URL";
inline constexpr const char* kHistoryServerFile = "His_srv";
inline constexpr const char* kUpdateServerFile = "SRV_INFO";
inline constexpr const char* kNewsFile = "online";

// Every line of an address file, decoded from CP932 and trimmed. A file that
// cannot be read fails with kFileNotFound naming it.
Result<std::vector<std::string>> readAddressLines(const std::string& path);

// The first line; an empty file gives an empty address.
Result<std::string> readFirstAddress(const std::string& path);

}  // namespace tovalo::app
