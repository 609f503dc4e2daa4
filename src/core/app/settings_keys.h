#pragma once

#include <string_view>

#include "core/platform/settings_store.h"

namespace tovalo::app::settings {

// Value names in the per-user settings store. Earlier versions of the program
// wrote the same names, so they must never change.
inline constexpr std::string_view kName = "Name";
inline constexpr std::string_view kOrg = "Org";
inline constexpr std::string_view kEmail = "Email";
inline constexpr std::string_view kSerial = "Serial";
inline constexpr std::string_view kDebug = "DEBUG";
inline constexpr std::string_view kState = "State";
inline constexpr std::string_view kLeft = "Left";
inline constexpr std::string_view kTop = "Top";
inline constexpr std::string_view kWidth = "Width";
inline constexpr std::string_view kHeight = "Height";
inline constexpr std::string_view kPath = "Path";
inline constexpr std::string_view kDefaultDir = "DefaultDir";
inline constexpr std::string_view kProxyServer = "ProxyServer";
inline constexpr std::string_view kProxyPort = "ProxyPort";
inline constexpr std::string_view kLastUpdateYear = "LastUpdateYear";
inline constexpr std::string_view kLastUpdateMonth = "LastUpdateMonth";
inline constexpr std::string_view kLastUpdateDay = "LastUpdateDay";
inline constexpr std::string_view kCdPath = "CD_PATH";
inline constexpr std::string_view kCdPath2 = "CD_PATH2";

// The value each plain key reads as when it was never written. The window
// bounds are not here: their defaults depend on the desktop size
// (see window_placement.h), and the proxy fields show a different prompt on
// each screen that edits them.
struct KeyDefault {
    std::string_view key;
    std::string_view value;
};

inline constexpr KeyDefault kDefaults[] = {
    {kName, ""},   {kOrg, ""},         {kEmail, ""},    {kSerial, ""},    {kDebug, "FALSE"},
    {kState, "0"}, {kDefaultDir, "1"}, {kCdPath, "NA"}, {kCdPath2, "NA"},
};

// The default of `key` from kDefaults; empty for keys without one.
std::string_view defaultFor(std::string_view key);

// Reads `key`, falling back to its default.
std::string read(const platform::SettingsStore& store, std::string_view key);

}  // namespace tovalo::app::settings
