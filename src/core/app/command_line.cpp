#include "core/app/command_line.h"

#include "core/text/trim.h"

namespace tovalo::app {

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine cl;
    if (!arguments.empty()) {
        cl.argument = text::asciiLower(arguments.front());
    }
    return cl;
}

bool showsQuestionNumbers(std::string_view debugSetting, const CommandLine& commandLine) {
    return debugSetting == "TRUE" || commandLine.debugRequested();
}

}  // namespace tovalo::app
