#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovalo::app {

// The one argument the program takes: a vendor folder name to open with,
// or "d" to show question numbers in the exam caption.
struct CommandLine {
    std::string argument;  // the first argument, lower-cased; empty when none

    [[nodiscard]] bool debugRequested() const { return argument == "d"; }
};

// `arguments` excludes the program name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Question numbers show when the stored "DEBUG" value is "TRUE" or the
// command line asks for them.
bool showsQuestionNumbers(std::string_view debugSetting, const CommandLine& commandLine);

}  // namespace tovalo::app
