#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovalo::app {

// What a command line asks for that needs no window, nor a display: these
// are answered before the application object exists.
enum class TerminalRequest { None, Help, Version };

// "--help"/"-h" or "--version" anywhere among `arguments` (which exclude
// the program name); help wins when both are given.
TerminalRequest terminalRequest(const std::vector<std::string>& arguments);

// The text `tovalo --help` prints.
std::string helpText(std::string_view version);

}  // namespace tovalo::app
